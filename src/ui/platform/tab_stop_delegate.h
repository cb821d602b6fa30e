#pragma once
// Paints list rows whose text is tab-separated as columns aligned at tab stops.

#include <QStyledItemDelegate>
#include <vector>

namespace veltrix::platform {

class TabStopDelegate : public QStyledItemDelegate {
  public:
    explicit TabStopDelegate(QObject* parent = nullptr);

    // Stops in pixels from the start of the row's text.
    void SetStops(std::vector<int> stopsPx) { stops_ = std::move(stopsPx); }
    const std::vector<int>& Stops() const { return stops_; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

  protected:
    // Draws one piece of the row; `rect` starts at the piece's column.
    virtual void DrawSegment(QPainter* painter, const QRect& rect, const QString& text,
                             const QStyleOptionViewItem& option) const;

  private:
    std::vector<int> stops_;
};

}  // namespace veltrix::platform
