// The error log view, shown from the menu. It is made when first shown: until then
// the window keeps the lines, so that nothing hidden is built at start-up.
#include "gui/errorlog/error_log_dialog.h"
#include "gui/mainwindow/main_window.h"

#include <utility>

namespace veltrix {

void MainWindow::OnShowErrorLog() {
    ErrorLogDialog& view = ErrorLogView();
    view.show();
    view.raise();
    view.activateWindow();
}

ErrorLogDialog& MainWindow::ErrorLogView() {
    if (!errorLogView_) {
        // A window of its own that belongs to this one: the main window runs modally,
        // and only the windows it owns take input beside it.
        errorLogView_ = std::make_unique<ErrorLogDialog>(std::exchange(errorLogLines_, {}), this);
    }
    return *errorLogView_;
}

void MainWindow::AddErrorLogLine(const LogEntry& entry) {
    if (errorLogView_) {
        errorLogView_->AddLogLine(entry);
    } else {
        errorLogLines_.push_back(entry);
    }
}

const std::vector<LogEntry>& MainWindow::ErrorLogEntries() const {
    return errorLogView_ ? errorLogView_->Entries() : errorLogLines_;
}

}  // namespace veltrix
