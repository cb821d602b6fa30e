#pragma once
// The main window's menu bar (141): File, Configuration and "?".

#include "gui/platform/menu_template.h"

namespace veltrix {

platform::MenuTemplate MainMenuTemplate();

}  // namespace veltrix
