#include "ui/resources/icons.h"

#include <QColor>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QRadialGradient>
#include <QRectF>
#include <array>
#include <optional>

#include "ui/resources/main_window_ids.h"

namespace veltrix {

namespace {

// The drawing is made on a 64 x 64 grid and scaled to the asked size.
constexpr qreal kGrid = 64.0;

struct Palette {
    QColor driveLight;  // top of each drive body
    QColor driveDark;   // bottom of each drive body
    QColor outline;
    QColor led;  // activity light on each drive
    QColor dot;  // status dot in the lower right corner
};

std::optional<Palette> PaletteFor(int iconId) {
    switch (iconId) {
        case icon_id::kApplication:
            return Palette{QColor(0x5c, 0x9d, 0xf0), QColor(0x1f, 0x4f, 0xa8),
                           QColor(0x12, 0x2a, 0x5c), QColor(0x7f, 0xe0, 0xff),
                           QColor(0xf5, 0xa6, 0x23)};
        case icon_id::kConnected:
            return Palette{QColor(0xc8, 0xcf, 0xd8), QColor(0x6e, 0x78, 0x86),
                           QColor(0x33, 0x3a, 0x44), QColor(0x5f, 0xd3, 0x5f),
                           QColor(0x2e, 0xb8, 0x3c)};
        case icon_id::kDisconnected:
            return Palette{QColor(0xb4, 0xb4, 0xb4), QColor(0x70, 0x70, 0x70),
                           QColor(0x3c, 0x3c, 0x3c), QColor(0x90, 0x90, 0x90),
                           QColor(0xd3, 0x2f, 0x2f)};
        default:
            return std::nullopt;
    }
}

// A stack of three drives, each with an activity light, and a round status dot.
void DrawDriveStack(QPainter& painter, const Palette& palette) {
    constexpr qreal kLeft = 6.0;
    constexpr qreal kWidth = 46.0;
    constexpr qreal kHeight = 14.0;
    constexpr std::array<qreal, 3> kTops = {8.0, 24.0, 40.0};

    for (const qreal top : kTops) {
        const QRectF body(kLeft, top, kWidth, kHeight);
        QLinearGradient shade(body.topLeft(), body.bottomLeft());
        shade.setColorAt(0.0, palette.driveLight);
        shade.setColorAt(1.0, palette.driveDark);
        painter.setPen(QPen(palette.outline, 2.0));
        painter.setBrush(shade);
        painter.drawRoundedRect(body, 3.0, 3.0);

        // Slot line and activity light on the drive's face.
        painter.setPen(QPen(palette.outline, 1.5, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(kLeft + 6.0, top + kHeight / 2.0),
                         QPointF(kLeft + 28.0, top + kHeight / 2.0));
        painter.setPen(Qt::NoPen);
        painter.setBrush(palette.led);
        painter.drawEllipse(QPointF(kLeft + kWidth - 7.0, top + kHeight / 2.0), 2.5, 2.5);
    }

    // The status dot overlaps the lower right corner with a light rim, so it stays
    // visible on both dark and light panels.
    const QPointF centre(48.0, 48.0);
    constexpr qreal kRadius = 12.0;
    QRadialGradient glow(centre - QPointF(3.0, 3.0), kRadius * 1.4);
    glow.setColorAt(0.0, palette.dot.lighter(150));
    glow.setColorAt(1.0, palette.dot.darker(120));
    painter.setPen(QPen(QColor(255, 255, 255, 230), 2.5));
    painter.setBrush(glow);
    painter.drawEllipse(centre, kRadius, kRadius);
}

}  // namespace

QPixmap ProgramPixmap(int iconId, int size) {
    const std::optional<Palette> palette = PaletteFor(iconId);
    if (!palette || size <= 0) {
        return {};
    }
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / kGrid, size / kGrid);
    DrawDriveStack(painter, *palette);
    painter.end();
    return pixmap;
}

QIcon ProgramIcon(int iconId) {
    if (!PaletteFor(iconId)) {
        return {};
    }
    QIcon icon;
    for (const int size : {16, 22, 32, 48, 64, 128}) {
        icon.addPixmap(ProgramPixmap(iconId, size));
    }
    return icon;
}

}  // namespace veltrix
