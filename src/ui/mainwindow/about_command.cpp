// The About box.
#include "ui/mainwindow/main_window.h"

namespace veltrix {

void CKavoGUIDlg::OnAbout() {}

}  // namespace veltrix
