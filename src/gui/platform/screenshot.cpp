#include "gui/platform/screenshot.h"

#include <QPixmap>
#include <QString>
#include <QWidget>

namespace veltrix::platform {

bool SavePng(QWidget& widget, const std::string& path, double scale) {
    if (scale == 1.0) {
        return widget.grab().save(QString::fromStdString(path), "PNG");
    }
    QPixmap pixmap(widget.size() * scale);
    pixmap.setDevicePixelRatio(scale);
    pixmap.fill(Qt::transparent);
    widget.render(&pixmap);
    return pixmap.save(QString::fromStdString(path), "PNG");
}

}  // namespace veltrix::platform
