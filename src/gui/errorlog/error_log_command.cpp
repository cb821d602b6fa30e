#include "gui/errorlog/error_log_command.h"

#include "gui/errorlog/error_log_dialog.h"
#include "watch/host_monitor.h"

namespace veltrix {

ErrorLogCommand::ErrorLogCommand(HostMonitor& monitor, QWidget* window)
    : monitor_(&monitor), window_(window) {}

ErrorLogCommand::~ErrorLogCommand() = default;

void ErrorLogCommand::Run() {
    ErrorLogDialog& view = View();
    view.show();
    view.raise();
    view.activateWindow();
}

void ErrorLogCommand::ShowMonitor(HostMonitor& monitor) {
    if (&monitor != monitor_) {
        view_.reset();
        monitor_ = &monitor;
    }
}

ErrorLogDialog& ErrorLogCommand::View() {
    if (!view_) {
        // A window of its own that belongs to the main window: that one runs modally,
        // and only the windows it owns take input beside it.
        view_ = std::make_unique<ErrorLogDialog>(&monitor_->ErrorLog(), window_);
        QObject::connect(monitor_, &HostMonitor::ErrorLogAdded, view_.get(),
                         &ErrorLogDialog::AddLogLine);
    }
    return *view_;
}

}  // namespace veltrix
