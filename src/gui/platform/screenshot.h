#pragma once
// Screenshots of windows, also of ones that are not on a screen.

#include <string>

class QWidget;

namespace veltrix::platform {

// Renders `widget` and saves it as a PNG file, at `scale` device pixels per logical
// pixel (2: as on a screen scaled by 2); false when the file cannot be written.
bool SavePng(QWidget& widget, const std::string& path, double scale = 1.0);

}  // namespace veltrix::platform
