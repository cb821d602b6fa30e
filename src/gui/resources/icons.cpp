#include "gui/resources/icons.h"

#include <QColor>
#include <QIconEngine>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QRadialGradient>
#include <QRectF>
#include <algorithm>
#include <array>
#include <map>
#include <optional>

#include "gui/resources/main_window_ids.h"

namespace veltrix {

namespace {

// The drawing is made on a 64 x 64 grid and scaled to the asked size.

struct Palette {
    QColor driveLight;  // top of each drive body
    QColor driveDark;   // bottom of each drive body
    QColor outline;
    QColor led;  // activity light on each drive
    QColor dot;  // status dot in the lower right corner
};

// The drive colours and lights of a watched host that is well, and of one that is not
// reached: the single host's connected and not connected icons, and the hosts' icons.
Palette WellPalette() {
    return {QColor(0xc8, 0xcf, 0xd8), QColor(0x6e, 0x78, 0x86), QColor(0x33, 0x3a, 0x44),
            QColor(0x5f, 0xd3, 0x5f), QColor(0x2e, 0xb8, 0x3c)};
}

Palette UnreachablePalette() {
    return {QColor(0xb4, 0xb4, 0xb4), QColor(0x70, 0x70, 0x70), QColor(0x3c, 0x3c, 0x3c),
            QColor(0x90, 0x90, 0x90), QColor(0xd3, 0x2f, 0x2f)};
}

std::optional<Palette> PaletteFor(int iconId) {
    switch (iconId) {
        case icon_id::kApplication:
            return Palette{QColor(0x5c, 0x9d, 0xf0), QColor(0x1f, 0x4f, 0xa8),
                           QColor(0x12, 0x2a, 0x5c), QColor(0x7f, 0xe0, 0xff),
                           QColor(0xf5, 0xa6, 0x23)};
        case icon_id::kConnected:
        case icon_id::kHostsWell:
            return WellPalette();
        case icon_id::kDisconnected:
        case icon_id::kHostsUnreachable:
            return UnreachablePalette();
        case icon_id::kHostsSetProblem: {
            // Reached, with amber lights and dot: a set wants attention.
            Palette palette = WellPalette();
            palette.led = QColor(0xff, 0xc1, 0x3d);
            palette.dot = QColor(0xf0, 0x8a, 0x00);
            return palette;
        }
        default:
            return std::nullopt;
    }
}

// The hosts' icons show a second stack of drives behind the first, for the other
// machines.
bool ShowsSeveralHosts(int iconId) {
    return iconId == icon_id::kHostsWell || iconId == icon_id::kHostsSetProblem ||
           iconId == icon_id::kHostsUnreachable;
}

// Where the three drives and the status dot lie on the grid; together they fill the
// box kContent.
constexpr qreal kDriveLeft = 6.0;
constexpr qreal kDriveWidth = 46.0;
constexpr qreal kDriveHeight = 14.0;
constexpr std::array<qreal, 3> kDriveTops = {8.0, 24.0, 40.0};
constexpr qreal kDriveCorner = 3.0;
const QPointF kDotCentre(48.0, 48.0);
constexpr qreal kDotRadius = 12.0;
const QRectF kContent(kDriveLeft, kDriveTops[0], 60.0 - kDriveLeft, 60.0 - kDriveTops[0]);
// The stack behind lies up and to the right, its drives peeking out above and beside the
// front stack; with it the picture fills a taller box.
const QPointF kBackOffset(8.0, -8.0);
const QRectF kDrivesBox(kDriveLeft, kDriveTops[0], kDriveWidth,
                        kDriveTops[2] + kDriveHeight - kDriveTops[0]);
const QRectF kSeveralContent = kContent.united(kDrivesBox.translated(kBackOffset));

// The panel behind a tray icon may be black, white or anything between: the picture
// has a dark outline and a light rim around it, each at least one screen pixel wide,
// so one of them always stands against the panel.
const QColor kRim(255, 255, 255);

struct Strokes {
    qreal outline;  // grid units
    qreal rim;      // grid units, outside the outline
};

// The drive bodies of one stack.
QPainterPath Drives() {
    QPainterPath shape;
    for (const qreal top : kDriveTops) {
        shape.addRoundedRect(QRectF(kDriveLeft, top, kDriveWidth, kDriveHeight), kDriveCorner,
                             kDriveCorner);
    }
    return shape;
}

// The outer shape of the picture: the drive bodies and the status dot.
QPainterPath Silhouette() {
    QPainterPath shape = Drives();
    shape.addEllipse(kDotCentre, kDotRadius, kDotRadius);
    return shape.simplified();
}

// The rim: a stroke around the whole shape whose inner half the bodies cover.
void DrawRim(QPainter& painter, const QPainterPath& shape, qreal rimPen) {
    painter.setPen(QPen(kRim, rimPen, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(kRim);
    painter.drawPath(shape);
}

// Three drives, each with a slot line and an activity light on its face.
void DrawDrives(QPainter& painter, const Palette& palette, const Strokes& strokes) {
    for (const qreal top : kDriveTops) {
        const QRectF body(kDriveLeft, top, kDriveWidth, kDriveHeight);
        QLinearGradient shade(body.topLeft(), body.bottomLeft());
        shade.setColorAt(0.0, palette.driveLight);
        shade.setColorAt(1.0, palette.driveDark);
        painter.setPen(QPen(palette.outline, strokes.outline));
        painter.setBrush(shade);
        painter.drawRoundedRect(body, kDriveCorner, kDriveCorner);

        painter.setPen(QPen(palette.outline, 1.5, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(kDriveLeft + 6.0, top + kDriveHeight / 2.0),
                         QPointF(kDriveLeft + 28.0, top + kDriveHeight / 2.0));
        painter.setPen(Qt::NoPen);
        painter.setBrush(palette.led);
        painter.drawEllipse(QPointF(kDriveLeft + kDriveWidth - 7.0, top + kDriveHeight / 2.0), 2.5,
                            2.5);
    }
}

// The status dot overlaps the lower right corner, parted from the drives by the rim's
// colour and outlined like them.
void DrawDot(QPainter& painter, const Palette& palette, const Strokes& strokes, qreal rimPen) {
    painter.setPen(QPen(kRim, rimPen));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(kDotCentre, kDotRadius, kDotRadius);
    QRadialGradient glow(kDotCentre - QPointF(3.0, 3.0), kDotRadius * 1.4);
    glow.setColorAt(0.0, palette.dot.lighter(150));
    glow.setColorAt(1.0, palette.dot.darker(120));
    painter.setPen(QPen(palette.outline, strokes.outline));
    painter.setBrush(glow);
    painter.drawEllipse(kDotCentre, kDotRadius, kDotRadius);
}

// A stack of three drives, each with an activity light, and a round status dot, all on
// a light rim.
void DrawDriveStack(QPainter& painter, const Palette& palette, const Strokes& strokes) {
    const qreal rimPen = strokes.outline + 2.0 * strokes.rim;
    DrawRim(painter, Silhouette(), rimPen);
    DrawDrives(painter, palette, strokes);
    DrawDot(painter, palette, strokes, rimPen);
}

// The hosts' picture: a darker stack of drives behind the front one, both on one rim;
// the front stack's outline parts them (a rim between them would cover the little the
// back stack shows at panel sizes).
void DrawSeveralStacks(QPainter& painter, const Palette& palette, const Strokes& strokes) {
    const qreal rimPen = strokes.outline + 2.0 * strokes.rim;
    DrawRim(painter, Silhouette().united(Drives().translated(kBackOffset)), rimPen);
    Palette back = palette;
    back.driveLight = palette.driveLight.darker(115);
    back.driveDark = palette.driveDark.darker(115);
    painter.save();
    painter.translate(kBackOffset);
    DrawDrives(painter, back, strokes);
    painter.restore();
    DrawDrives(painter, palette, strokes);
    DrawDot(painter, palette, strokes, rimPen);
}

}  // namespace

QPixmap ProgramPixmap(int iconId, int size) {
    const std::optional<Palette> palette = PaletteFor(iconId);
    if (!palette || size <= 0) {
        return {};
    }
    // Outline and rim in screen pixels: a 64-pixel icon has an outline of two and a rim
    // of one and a half, smaller ones never less than one pixel each.
    const qreal outlinePixels = std::max(1.0, size / 32.0);
    const qreal rimPixels = std::max(1.0, size / 42.0);
    // The content with its strokes, and half a pixel to spare, fills the square.
    const qreal margin = outlinePixels / 2.0 + rimPixels + 0.5;
    const bool several = ShowsSeveralHosts(iconId);
    const QRectF content = several ? kSeveralContent : kContent;
    const qreal scale = (size - 2.0 * margin) / std::max(content.width(), content.height());
    const QPointF offset((size - content.width() * scale) / 2.0,
                         (size - content.height() * scale) / 2.0);

    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(offset);
    painter.scale(scale, scale);
    painter.translate(-content.topLeft());
    const Strokes strokes{outlinePixels / scale, rimPixels / scale};
    if (several) {
        DrawSeveralStacks(painter, *palette, strokes);
    } else {
        DrawDriveStack(painter, *palette, strokes);
    }
    painter.end();
    return pixmap;
}

namespace {

constexpr std::array<int, 6> kIconSizes = {16, 22, 32, 48, 64, 128};

// Draws a size the first time it is asked for: most sizes of an icon are never shown,
// and drawing all of them cost the start-up several milliseconds. Every mode and state
// shows the same picture.
class ProgramIconEngine : public QIconEngine {
  public:
    explicit ProgramIconEngine(int iconId) : iconId_(iconId) {}

    QPixmap pixmap(const QSize& size, QIcon::Mode /*mode*/, QIcon::State /*state*/) override {
        const int drawn = DrawnSize(size);
        auto found = drawn_.find(drawn);
        if (found == drawn_.end()) {
            found = drawn_.emplace(drawn, ProgramPixmap(iconId_, drawn)).first;
        }
        const QPixmap& pixmap = found->second;
        if (size.width() >= drawn && size.height() >= drawn) {
            return pixmap;
        }
        return pixmap.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }

    QSize actualSize(const QSize& size, QIcon::Mode /*mode*/, QIcon::State /*state*/) override {
        const int drawn = DrawnSize(size);
        return QSize(drawn, drawn).boundedTo(size);
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        const qreal ratio = painter->device()->devicePixelRatio();
        const QPixmap picture = pixmap(rect.size() * ratio, mode, state);
        painter->drawPixmap(rect, picture);
    }

    QList<QSize> availableSizes(QIcon::Mode /*mode*/, QIcon::State /*state*/) override {
        QList<QSize> sizes;
        for (const int size : kIconSizes) {
            sizes.push_back(QSize(size, size));
        }
        return sizes;
    }

    QIconEngine* clone() const override { return new ProgramIconEngine(*this); }
    QString key() const override { return QStringLiteral("veltrix-program-icon"); }

  private:
    // The smallest drawn size that covers `size`, else the largest.
    static int DrawnSize(const QSize& size) {
        const int wanted = std::max(size.width(), size.height());
        for (const int drawn : kIconSizes) {
            if (drawn >= wanted) {
                return drawn;
            }
        }
        return kIconSizes.back();
    }

    int iconId_;
    std::map<int, QPixmap> drawn_;
};

}  // namespace

QIcon ProgramIcon(int iconId) {
    if (!PaletteFor(iconId)) {
        return {};
    }
    return QIcon(new ProgramIconEngine(iconId));
}

}  // namespace veltrix
