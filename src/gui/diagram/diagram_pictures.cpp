#include "gui/diagram/diagram_pictures.h"

#include <QColor>
#include <QImageReader>
#include <QString>
#include <cstddef>

// The resources live in a static library: registered by hand before the first use.
static void RegisterPictureResources() {
    Q_INIT_RESOURCE(pictures);
}

namespace veltrix {

namespace {

void EnsureResources() {
    static const bool kRegistered = [] {
        RegisterPictureResources();
        return true;
    }();
    (void)kRegistered;
}

}  // namespace

QImage LoadPicture(int id) {
    EnsureResources();
    // Read as PNG only: a reader that guesses the format loads and asks every image
    // plugin first, which costs the start-up time and memory.
    QImageReader reader(QStringLiteral(":/pictures/%1.png").arg(id), "png");
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

QPixmap KeyedPicture(int id) {
    QImage image = LoadPicture(id);
    if (image.isNull()) {
        return {};
    }
    image = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = qRgb(255, 0, 255);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (line[x] == key) {
                line[x] = qRgba(0, 0, 0, 0);
            }
        }
    }
    return QPixmap::fromImage(image);
}

}  // namespace veltrix
