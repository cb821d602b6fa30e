#pragma once
// The layouts of the controller diagram, one per controller model: where the card,
// its bracket, the drives and the cable lines go in the 188 x 171 picture.

#include <QLine>
#include <QPoint>
#include <array>
#include <cstdint>

namespace veltrix {

struct DiagramLayout {
    std::uint32_t modelCode = 0;
    int cardPicture = 0;
    QPoint card;
    // Two grey segments: the bracket's tab and its edge.
    std::array<QLine, 2> bracket{};
    // 2: ports 0 and 1 only; 4: ports 0 to 3.
    int portCount = 0;
    // Left edge of each port's drive place; the places are at y = 66.
    std::array<int, 4> driveX{};
    // Cable pictures instead of cable lines.
    bool cablePictures = false;
    // Per port, the four points of its three cable segments, from the card up to the
    // drive.
    std::array<std::array<QPoint, 4>, 4> cables{};
};

// The layout for a model code; nullptr for a code that has none (0 included).
const DiagramLayout* FindLayout(std::uint32_t modelCode);

}  // namespace veltrix
