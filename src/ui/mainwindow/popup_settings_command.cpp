// The popup settings of the client.
#include "ui/mainwindow/main_window.h"

namespace veltrix {

void CKavoGUIDlg::OnPopupSettings() {}

}  // namespace veltrix
