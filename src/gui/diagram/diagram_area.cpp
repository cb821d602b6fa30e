#include "gui/diagram/diagram_area.h"

#include <QAccessibleWidget>
#include <QPainter>
#include <cmath>

#include "gui/diagram/diagram_painter.h"

namespace veltrix {

namespace {

// A screen reader meets the picture as an image, with its name and its description.
QAccessibleInterface* PictureAccessible(const QString& /*className*/, QObject* object) {
    auto* area = dynamic_cast<DiagramArea*>(object);
    return area != nullptr ? new QAccessibleWidget(area, QAccessible::Graphic) : nullptr;
}

}  // namespace

DiagramArea::DiagramArea(QWidget* parent)
    : QWidget(parent), picture_(DiagramPainter::NewPicture()) {
    static const bool kFactoryInstalled = [] {
        QAccessible::installFactory(PictureAccessible);
        return true;
    }();
    (void)kFactoryInstalled;
    setFixedSize(DiagramPainter::kPictureSize);
    // Every pixel is painted: nothing behind the widget needs drawing first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void DiagramArea::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QRect area(QPoint(0, 0), DiagramPainter::kPictureSize);
    // Opaque: whatever the picture leaves transparent shows black.
    painter.fillRect(area, Qt::black);
    // Whole-number scales repeat pixels, so lines stay sharp; others are smoothed.
    const qreal ratio = devicePixelRatioF();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, ratio != std::floor(ratio));
    painter.drawImage(area, picture_);
}

void PictureDiagramView::Draw(const DiagramState& state) {
    if (area_ == nullptr) {
        return;
    }
    DiagramPainter::DrawDiagram(state, area_->Picture());
    area_->update();
}

}  // namespace veltrix
