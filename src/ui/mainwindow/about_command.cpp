// The About box, and the program's own version it shows.
#include "ui/mainwindow/about_dlg.h"
#include "ui/mainwindow/main_window.h"
#include "ui/shell/service_mode.h"

namespace veltrix {

void CKavoGUIDlg::ReadOwnVersion(const std::string& fileName) {
    CFileVersionInfo info;
    info.Load(fileName);
    clientVersion_ = info.Product();
    ShowBetaBadge(clientVersion_.revision != 0);
}

void CKavoGUIDlg::OnAbout() {
    CAboutDlg box(ui_, this);
    box.SetVersionTexts(
        ProductVersionText(clientVersion_),
        ServiceVersionText(state_.isConnected, state_.serviceConfig, state_.serviceVersion));
    serviceKeyState = 4;
    ui_.RunModal(box);
    serviceKeyState = 0;
}

}  // namespace veltrix
