#pragma once
// The program's log category, "veltrix.gui": every diagnostic line of the window's
// folders goes through it, so QT_LOGGING_RULES switches them (for example
// "veltrix.gui.debug=false"). The service's events go to the system journal instead.

#include <QLoggingCategory>

namespace veltrix::platform {

Q_DECLARE_LOGGING_CATEGORY(GuiLog)

}  // namespace veltrix::platform
