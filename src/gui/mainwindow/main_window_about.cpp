// The About box, and the program's own version it shows.
#include "gui/about/about_dialog.h"
#include "gui/mainwindow/main_window.h"
#include "gui/platform/service_mode.h"

namespace veltrix {

void MainWindow::SetOwnVersion(const ProductVersion& version) {
    clientVersion_ = version;
    ShowBetaBadge(clientVersion_.revision != 0);
}

void MainWindow::ReadOwnVersion(const std::string& fileName) {
    FileVersionInfo info;
    info.Load(fileName);
    SetOwnVersion(info.Product());
}

void MainWindow::OnAbout() {
    AboutDialog box(ui_, this);
    box.SetVersionTexts(
        ProductVersionText(clientVersion_),
        ServiceVersionText(state_.isConnected, state_.serviceConfig, state_.serviceVersion));
    platform::serviceKeyState = 4;
    ui_.RunModal(box);
    platform::serviceKeyState = 0;
}

}  // namespace veltrix
