#pragma once
// Draws the controller diagram: the card of the current controller with its bracket,
// the drives on its first four ports with their cables, and what is selected — a
// ring around a selected drive, or the organisation of a selected RAID set.

#include <QImage>
#include <QSize>

#include "gui/diagram/diagram_state.h"

namespace veltrix {

class DiagramPainter {
  public:
    static constexpr QSize kPictureSize{188, 171};

    // A new diagram picture: 188 x 171, 32-bit ARGB, opaque white.
    static QImage NewPicture();

    // Redraws `picture` completely from `record`: white, then for a known model code
    // the card, drives and cables, the marks and veils of the selection and, for a
    // selected set, its picture and lines. A null picture is left alone.
    static void DrawDiagram(const DiagramState& record, QImage& picture);
};

}  // namespace veltrix
