#include "gui/hosts/hosts_command.h"

#include <utility>

#include "gui/hosts/hosts_dialog.h"
#include "gui/platform/dialog_ui.h"

namespace veltrix {

HostsCommand::HostsCommand(Reader read, Writer write, platform::DialogUi& ui, QWidget* window)
    : QObject(window), read_(std::move(read)), write_(std::move(write)), ui_(ui), window_(window) {}

void HostsCommand::Run() {
    const std::vector<HostEntry> before = read_();
    HostsDialog dialog(before, ui_, window_);
    if (ui_.RunModal(dialog) != QDialog::Accepted || dialog.Hosts() == before) {
        return;
    }
    const std::vector<HostEntry> hosts = dialog.Hosts();
    write_(hosts);
    emit HostsChanged(hosts);
}

}  // namespace veltrix
