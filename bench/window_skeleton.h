#pragma once
// A reference for the start-up and idle benchmarks: the main window's kinds of
// controls, in its layout and at its size, without any of the program (no session,
// settings, picture files, menus' actions or buses). What it costs beyond a bare
// dialog is what Qt Widgets charges for such a window; the program's own share is the
// rest.

class QDialog;

namespace veltrix::bench {

// Fills `dialog` with the skeleton and gives it the main window's size.
void BuildWindowSkeleton(QDialog& dialog);

}  // namespace veltrix::bench
