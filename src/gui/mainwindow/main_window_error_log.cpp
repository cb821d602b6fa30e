// The error log view, shown from the menu.
#include "gui/errorlog/error_log_dialog.h"
#include "gui/mainwindow/main_window.h"

namespace veltrix {

void MainWindow::OnShowErrorLog() {
    errorLogView_->show();
    errorLogView_->raise();
    errorLogView_->activateWindow();
}

const std::vector<LogEntry>& MainWindow::ErrorLogEntries() const {
    return errorLogView_->Entries();
}

}  // namespace veltrix
