#include "ui/platform/screenshot.h"

#include <QPixmap>
#include <QString>
#include <QWidget>

namespace veltrix::platform {

bool SavePng(QWidget& widget, const std::string& path) {
    return widget.grab().save(QString::fromStdString(path), "PNG");
}

}  // namespace veltrix::platform
