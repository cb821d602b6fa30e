#include "diagram_test_support.h"

#include <cstdio>
#include <cstdlib>

#include "gui/diagram/diagram_painter.h"

namespace veltrix::testing {

DiagramState Record(std::uint32_t code, Words a, Words b, std::uint8_t kind,
                    std::uint8_t raidType) {
    DiagramState state;
    state.modelCode = code;
    state.portsA = a;
    state.portsB = b;
    state.selectionKind = kind;
    state.raidType = raidType;
    return state;
}

QImage Drawn(const DiagramState& record) {
    QImage picture = DiagramPainter::NewPicture();
    DiagramPainter::DrawDiagram(record, picture);
    return picture;
}

bool Near(const QImage& image, QPoint at, QRgb colour, int radius) {
    for (int dy = -radius; dy <= radius; ++dy) {
        for (int dx = -radius; dx <= radius; ++dx) {
            const QPoint p = at + QPoint(dx, dy);
            if (image.valid(p) && image.pixel(p) == colour) {
                return true;
            }
        }
    }
    return false;
}

int Count(const QImage& image, const QRect& area, QRgb colour) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            count += image.pixel(x, y) == colour ? 1 : 0;
        }
    }
    return count;
}

std::string Shows(const QImage& image, const QRect& area, const QImage& picture, QRgb except) {
    if (picture.isNull()) {
        return "no picture";
    }
    for (int y = 0; y < area.height(); ++y) {
        for (int x = 0; x < area.width(); ++x) {
            const QRgb seen = image.pixel(area.left() + x, area.top() + y);
            const QRgb wanted = picture.pixel(x, y);
            if (seen != wanted && (except == 0 || seen != except)) {
                return "at (" + std::to_string(area.left() + x) + ", " +
                       std::to_string(area.top() + y) + "): " + Hex(seen) + " instead of " +
                       Hex(wanted);
            }
        }
    }
    return {};
}

bool IsVeiled(QRgb seen, QRgb under) {
    const auto blend = [](int channel) { return (channel * (255 - 0xB4) + 255 * 0xB4) / 255; };
    return std::abs(qRed(seen) - blend(qRed(under))) <= 1 &&
           std::abs(qGreen(seen) - blend(qGreen(under))) <= 1 &&
           std::abs(qBlue(seen) - blend(qBlue(under))) <= 1 && qAlpha(seen) == 255;
}

std::string Hex(QRgb colour) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", colour);
    return text;
}

}  // namespace veltrix::testing
