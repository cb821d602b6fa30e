// The error log view, shown from the menu.
#include "ui/mainwindow/kavo_error_log_view.h"
#include "ui/mainwindow/main_window.h"

namespace veltrix {

void CKavoGUIDlg::OnShowErrorLog() {
    errorLogView_->show();
    errorLogView_->raise();
    errorLogView_->activateWindow();
}

const std::vector<LogEntry>& CKavoGUIDlg::ErrorLogEntries() const {
    return errorLogView_->Entries();
}

}  // namespace veltrix
