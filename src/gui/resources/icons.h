#pragma once
// The program's icons, drawn at run time: the application icon, the two
// notification-area icons of one host (connected, not connected) and the three of
// several hosts (all well, a set problem, a host not reached). Ids are those of icon_id
// in resources/main_window_ids.h; any other id gives a null icon or pixmap.

#include <QIcon>
#include <QPixmap>

namespace veltrix {

// The icon in sizes of 16, 22, 32, 48, 64 and 128 pixels, each drawn when first asked
// for.
QIcon ProgramIcon(int iconId);

// One square pixmap of `size` pixels with a transparent background.
QPixmap ProgramPixmap(int iconId, int size);

}  // namespace veltrix
