// The error log view, shown from the menu.
#include "ui/mainwindow/main_window.h"

namespace veltrix {

void CKavoGUIDlg::OnShowErrorLog() {}

}  // namespace veltrix
