#include "gui/diagram/diagram_painter.h"

#include <QColor>
#include <QPainter>
#include <QPen>
#include <QRect>
#include <array>
#include <cstddef>
#include <vector>

#include "gui/diagram/diagram_layouts.h"
#include "gui/diagram/diagram_pictures.h"

namespace veltrix {

namespace {

// The drawing tools' colours.
constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kBracketGrey = 0xFF7F7F7F;
constexpr QRgb kCableRed = 0xFFFF0000;
constexpr QRgb kCablePale = 0xFFFFAAAA;
constexpr QRgb kMarkGreen = 0xFF00B400;
constexpr QRgb kSetBlue = 0xFF0000FF;
constexpr QRgb kVeilShown = 0xB4FFFFFF;
constexpr QRgb kVeilHidden = 0x00FFFFFF;
constexpr QRgb kSpareFill = 0xB40000FF;

// Drive places: the picture's top left at (x, 66); the place that veils and frames
// cover is 24 x 34; its top centre, where set lines start, is (x + 13, 66).
constexpr int kDriveTop = 66;
constexpr int kPlaceWidth = 24;
constexpr int kPlaceHeight = 34;
constexpr int kDriveCentre = 13;

constexpr QPoint kCablePicturesAt{21, 101};

constexpr std::uint8_t kSetView = 8;

// RAID type codes of a selected set.
constexpr std::uint8_t kStripe = 0;
constexpr std::uint8_t kMirror = 1;
constexpr std::uint8_t kMirrorStripe = 2;
constexpr std::uint8_t kSpare = 3;
constexpr std::uint8_t kJbod = 4;
constexpr std::uint8_t kRaid5 = 16;

// Mirror-Stripe: where each port's line ends.
constexpr std::array<QPoint, 4> kMirrorStripeEnds{QPoint(76, 44), QPoint(76, 54), QPoint(94, 38),
                                                  QPoint(94, 28)};
// JBOD: the stack picture for 1 to 4 members.
constexpr std::array<int, 4> kStacks{picture_id::kStack1, picture_id::kStack2, picture_id::kStack3,
                                     picture_id::kStack4};

// Pens keep Qt's square caps, so every segment covers its end points.
QPen MakePen(QRgb colour, int width, Qt::PenStyle style = Qt::SolidLine) {
    return QPen(QBrush(QColor::fromRgba(colour)), width, style);
}

QRect Place(int x) {
    return {x, kDriveTop, kPlaceWidth, kPlaceHeight};
}

// What the drawing reads of the record's port words.
class Ports {
  public:
    explicit Ports(const DiagramState& record) : record_(record) {
        int sum = 0;
        for (const std::uint16_t word : record.portsB) {
            sum += word;
        }
        anyMarked_ = sum != 0;
    }
    // A drive is shown exactly when word A is 1 (several bits: a port multiplier).
    bool Present(std::size_t n) const { return record_.portsA.at(n) == 1; }
    // The port is selected, or a member of the selected set, exactly when word B is 1.
    bool Marked(std::size_t n) const { return record_.portsB.at(n) == 1; }
    bool Unmarked(std::size_t n) const { return record_.portsB.at(n) == 0; }
    // Some word B is not 0, a mark or not.
    bool AnyMarked() const { return anyMarked_; }

  private:
    const DiagramState& record_;
    bool anyMarked_ = false;
};

void DrawCard(QPainter& p, const DiagramLayout& layout) {
    p.drawImage(layout.card, LoadPicture(layout.cardPicture));
    p.setPen(MakePen(kBracketGrey, 2));
    p.drawLines(layout.bracket.data(), static_cast<int>(layout.bracket.size()));
}

void DrawDrive(QPainter& p, const QImage& drive, const DiagramLayout& layout, std::size_t n) {
    p.drawImage(QPoint(layout.driveX.at(n), kDriveTop), drive);
}

// The card with cable pictures: the right-hand run for ports 0 and 1, then both runs,
// or the left-hand one alone, for ports 2 and 3.
void DrawCablePictures(QPainter& p, const DiagramLayout& layout, const Ports& ports,
                       const QImage& drive) {
    const bool rightRun = ports.Present(0) || ports.Present(1);
    if (rightRun) {
        p.drawImage(kCablePicturesAt, LoadPicture(picture_id::kCableRight));
        for (const std::size_t n : {0U, 1U}) {
            if (ports.Present(n)) {
                DrawDrive(p, drive, layout, n);
            }
        }
    }
    if (ports.Present(2) || ports.Present(3)) {
        p.drawImage(kCablePicturesAt,
                    LoadPicture(rightRun ? picture_id::kCablesBoth : picture_id::kCableLeft));
        for (const std::size_t n : {2U, 3U}) {
            if (ports.Present(n)) {
                DrawDrive(p, drive, layout, n);
            }
        }
    }
}

// Each present drive with its three red segments: dotted and pale while something
// else is selected, solid otherwise.
void DrawCableLines(QPainter& p, const DiagramLayout& layout, const Ports& ports,
                    const QImage& drive) {
    const QPen solid = MakePen(kCableRed, 1);
    const QPen dotted = MakePen(kCablePale, 1, Qt::DotLine);
    for (std::size_t n = 0; n < static_cast<std::size_t>(layout.portCount); ++n) {
        if (!ports.Present(n)) {
            continue;
        }
        p.setPen(ports.AnyMarked() && ports.Unmarked(n) ? dotted : solid);
        DrawDrive(p, drive, layout, n);
        const std::array<QPoint, 4>& points = layout.cables.at(n);
        for (std::size_t i = 0; i + 1 < points.size(); ++i) {
            p.drawLine(points.at(i), points.at(i + 1));
        }
    }
}

// A green ring around each marked place in normal view; every other place is veiled
// when something is marked, whether a drive is there or not.
void DrawMarksAndVeils(QPainter& p, const DiagramLayout& layout, const Ports& ports, bool setView) {
    const QColor veil = QColor::fromRgba(ports.AnyMarked() ? kVeilShown : kVeilHidden);
    p.setPen(MakePen(kMarkGreen, 2));
    p.setBrush(Qt::NoBrush);
    for (std::size_t n = 0; n < static_cast<std::size_t>(layout.portCount); ++n) {
        const int x = layout.driveX.at(n);
        if (ports.Marked(n)) {
            if (!setView) {
                p.drawEllipse(QRect(x - 5, 61, 34, 44));
            }
        } else {
            p.fillRect(Place(x), veil);
        }
    }
}

// A member's two blue segments: up from its place's top centre to the end point's
// height, then across to the end point.
void DrawMemberLine(QPainter& p, const DiagramLayout& layout, std::size_t n, QPoint end) {
    const int x = layout.driveX.at(n) + kDriveCentre;
    p.drawLine(x, kDriveTop, x, end.y());
    p.drawLine(x, end.y(), end.x(), end.y());
}

// The selected set's picture and its members' lines; the members are the marked
// ports of the layout, in port order.
void DrawSet(QPainter& p, const DiagramLayout& layout, const Ports& ports, std::uint8_t raidType) {
    std::vector<std::size_t> members;
    for (std::size_t n = 0; n < static_cast<std::size_t>(layout.portCount); ++n) {
        if (ports.Marked(n)) {
            members.push_back(n);
        }
    }
    p.setPen(MakePen(kSetBlue, 2));
    p.setBrush(Qt::NoBrush);
    switch (raidType) {
        case kStripe:
        case kRaid5:
            p.drawImage(QPoint(70, 10), LoadPicture(picture_id::kCylinder));
            for (const std::size_t n : members) {
                DrawMemberLine(p, layout, n, QPoint(90, 35));
            }
            p.drawEllipse(QRect(87, 32, 5, 5));
            break;
        case kMirror:
            p.drawImage(QPoint(60, 0), LoadPicture(picture_id::kMirror));
            for (const std::size_t n : members) {
                const bool original = n == members.front() && n <= 2;
                DrawMemberLine(p, layout, n, original ? QPoint(94, 35) : QPoint(76, 49));
            }
            break;
        case kMirrorStripe:
            p.drawImage(QPoint(60, 0), LoadPicture(picture_id::kMirror));
            for (const std::size_t n : members) {
                DrawMemberLine(p, layout, n, kMirrorStripeEnds.at(n));
            }
            break;
        case kSpare:
            for (const std::size_t n : members) {
                const QRect place = Place(layout.driveX.at(n));
                p.fillRect(place, QColor::fromRgba(kSpareFill));
                p.drawRect(place);
            }
            break;
        case kJbod: {
            if (members.empty() || members.size() > kStacks.size()) {
                break;
            }
            p.drawImage(QPoint(40, 2), LoadPicture(kStacks.at(members.size() - 1)));
            const bool four = members.size() == 4;
            for (std::size_t k = 0; k < members.size(); ++k) {
                // With four members the second and the fourth end further in.
                const int x = four && k % 2 == 1 ? 52 : 55;
                DrawMemberLine(p, layout, members[k], QPoint(x, 54 - 14 * static_cast<int>(k)));
            }
            break;
        }
        default:
            break;
    }
}

}  // namespace

QImage DiagramPainter::NewPicture() {
    QImage picture(kPictureSize, QImage::Format_ARGB32);
    picture.fill(QColor::fromRgba(kWhite));
    return picture;
}

void DiagramPainter::DrawDiagram(const DiagramState& record, QImage& picture) {
    if (picture.isNull()) {
        return;
    }
    picture.fill(QColor::fromRgba(kWhite));
    const DiagramLayout* layout = FindLayout(record.modelCode);
    if (layout == nullptr) {
        return;
    }
    QPainter p(&picture);
    if (!p.isActive()) {
        return;
    }
    // Aliased, so every pixel is where the layout puts it.
    p.setRenderHint(QPainter::Antialiasing, false);
    const Ports ports(record);
    const bool setView = record.selectionKind == kSetView;

    DrawCard(p, *layout);
    const QImage drive = LoadPicture(picture_id::kDrive);
    if (layout->cablePictures) {
        DrawCablePictures(p, *layout, ports, drive);
    } else {
        DrawCableLines(p, *layout, ports, drive);
    }
    DrawMarksAndVeils(p, *layout, ports, setView);
    if (setView) {
        DrawSet(p, *layout, ports, record.raidType);
    }
}

}  // namespace veltrix
