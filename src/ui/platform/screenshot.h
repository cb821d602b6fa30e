#pragma once
// Screenshots of windows, also of ones that are not on a screen.

#include <string>

class QWidget;

namespace veltrix::platform {

// Renders `widget` and saves it as a PNG file; false when the file cannot be written.
bool SavePng(QWidget& widget, const std::string& path);

}  // namespace veltrix::platform
