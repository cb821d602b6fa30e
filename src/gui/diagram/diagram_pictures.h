#pragma once
// The pictures compiled into the program: the controller cards, the drive, the cable
// runs and disk cylinders of the controller diagram, and the main window's logo and
// badge. Each is known by its resource id.

#include <QImage>
#include <QPixmap>

namespace veltrix {

namespace picture_id {
// Controller cards seen from the side, one per model.
inline constexpr int kCardAlder = 135;
inline constexpr int kCardCedar = 136;
inline constexpr int kCardFir = 137;
inline constexpr int kCardElm = 138;
inline constexpr int kCardHazel = 166;
inline constexpr int kCardBirch = 168;
inline constexpr int kCardPine = 169;
inline constexpr int kCardLarchLime = 178;
inline constexpr int kCardOak = 181;
inline constexpr int kCardMaple = 182;
// A drive at a port.
inline constexpr int kDrive = 157;
// Cable runs of the card with cable pictures: both, the right-hand one (ports 0 and
// 1), the left-hand one (ports 2 and 3).
inline constexpr int kCablesBoth = 170;
inline constexpr int kCableRight = 171;
inline constexpr int kCableLeft = 172;
// Set pictures: one cylinder, two cylinders one in a frame, stacks of 1 to 4.
inline constexpr int kCylinder = 162;
inline constexpr int kMirror = 158;
inline constexpr int kStack1 = 163;
inline constexpr int kStack2 = 159;
inline constexpr int kStack3 = 160;
inline constexpr int kStack4 = 161;
// The window's logo and its BETA badge, both on magenta.
inline constexpr int kLogo = 165;
inline constexpr int kBetaBadge = 174;
}  // namespace picture_id

// The picture with resource id `id` at its natural size, opaque; a null image for an
// id that has no picture.
QImage LoadPicture(int id);

// The picture with its magenta pixels (255, 0, 255) transparent, for the window.
QPixmap KeyedPicture(int id);

}  // namespace veltrix
