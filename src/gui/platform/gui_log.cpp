#include "gui/platform/gui_log.h"

namespace veltrix::platform {

Q_LOGGING_CATEGORY(GuiLog, "veltrix.gui")

}  // namespace veltrix::platform
