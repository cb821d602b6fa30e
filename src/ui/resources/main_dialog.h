#pragma once
// The main window's resources: its dialog template (102) and its menu bar (141).

#include "ui/platform/dialog_template.h"
#include "ui/platform/menu_template.h"

namespace veltrix {

// The main window: connection row, controller tabs with the controller area and the
// drive and RAID set lists, the information group, the rebuild controls and the
// controller picture.
platform::DialogTemplate MainDialogTemplate();

// The main window's menu bar: File, Configuration and "?".
platform::MenuTemplate MainMenuTemplate();

}  // namespace veltrix
