#pragma once
// The main window's controller picture: a widget of 188 x 171 logical pixels that
// owns the diagram picture and shows it, opaque and scaled as a whole on screens with
// more device pixels; and the diagram view that draws the window's records into it.

#include <QImage>
#include <QWidget>

#include "gui/diagram/diagram_state.h"

namespace veltrix {

class DiagramArea : public QWidget {
  public:
    // Fixed at the picture's size; the picture starts white.
    explicit DiagramArea(QWidget* parent = nullptr);

    // The picture shown; it keeps the last drawing until it is drawn again.
    QImage& Picture() { return picture_; }
    const QImage& Picture() const { return picture_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QImage picture_;
};

// Draws each record it receives into the picture of its area (none: nothing drawn)
// and has the area repainted.
class PictureDiagramView : public DiagramView {
  public:
    explicit PictureDiagramView(DiagramArea* area = nullptr) : area_(area) {}
    void SetArea(DiagramArea* area) { area_ = area; }
    void Draw(const DiagramState& state) override;

  private:
    DiagramArea* area_;
};

}  // namespace veltrix
