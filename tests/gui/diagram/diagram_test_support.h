#pragma once
// Helpers for checking the diagram picture's pixels.

#include <QImage>
#include <QPoint>
#include <QRect>
#include <array>
#include <cstdint>
#include <string>

#include "gui/diagram/diagram_state.h"

namespace veltrix::testing {

inline constexpr QRgb kWhite = 0xFFFFFFFF;
inline constexpr QRgb kRed = 0xFFFF0000;
inline constexpr QRgb kPaleRed = 0xFFFFAAAA;
inline constexpr QRgb kGreen = 0xFF00B400;
inline constexpr QRgb kBlue = 0xFF0000FF;
inline constexpr QRgb kGrey = 0xFF7F7F7F;

using Words = std::array<std::uint16_t, 4>;

// A record for model `code` with words A and B; kind 8 is the set view.
DiagramState Record(std::uint32_t code, Words a, Words b = {}, std::uint8_t kind = 2,
                    std::uint8_t raidType = 0);

// A fresh picture with the record drawn into it.
QImage Drawn(const DiagramState& record);

// Whether the pixel at `at`, or one of its neighbours within `radius`, has `colour`.
bool Near(const QImage& image, QPoint at, QRgb colour, int radius = 1);

// How many pixels of `area` have `colour`.
int Count(const QImage& image, const QRect& area, QRgb colour);

// Whether `area` of `image` shows `picture` (placed at the area's top left) pixel for
// pixel, except pixels that have the colour `except`; an empty text when it does,
// else where it does not.
std::string Shows(const QImage& image, const QRect& area, const QImage& picture, QRgb except = 0);

// `under` seen through a white veil with alpha 0xB4 (within 1 per channel of it).
bool IsVeiled(QRgb seen, QRgb under);

// A human-readable colour.
std::string Hex(QRgb colour);

}  // namespace veltrix::testing
