#pragma once
// The menu's host log file settings of the service: the record read, edited in the
// dialog and written back, each exchange a conversation job.

#include <string>

class QWidget;

namespace veltrix {

class HostMonitor;

namespace platform {
class DialogUi;
}

// Reads the record from `monitor`'s service (when `connected`), opens the dialog over
// `window` once it is there, and writes the changes. `hostName` is the host shown.
void StartHostLogFileCommand(HostMonitor& monitor, bool connected, const std::string& hostName,
                             platform::DialogUi& ui, QWidget* window);

}  // namespace veltrix
