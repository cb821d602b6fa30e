#pragma once
// The e-mail notification settings of the service: read them, let the user edit them
// in the e-mail dialog, write them back.

#include <cstdint>

class QWidget;

namespace veltrix {

class HostMonitor;

namespace platform {
class DialogUi;
}

// Starts a run of the command as a child of `window`: the settings are read on the
// session of `monitor`'s thread, the dialog opens on the window's thread, the changes are written
// back. One run at a time: while one runs for `window`, a second call does nothing.
void StartMailSettingsCommand(HostMonitor& monitor, platform::DialogUi& ui,
                              std::uint32_t serviceVersion, QWidget* window);

}  // namespace veltrix
