// The service's host log file settings.
#include "gui/mainwindow/main_window.h"
#include "gui/settings/host_log_file_dialog.h"
#include "session/error_sites.h"
#include "texts/string_ids.h"
#include "texts/strings.h"

namespace veltrix {

void MainWindow::OnHostLogFile() {
    if (!state_.isConnected) {
        ui_.ShowMessage(LoadString(ids::kHostNotConnected));
        return;
    }
    // A BIOS update holds the channel: the exchange could not take place.
    const auto busy = [this](int site) {
        return [this, site] {
            QMetaObject::invokeMethod(
                this, [this, site] { ui_.ShowMessage(ErrorText(ids::kServiceWriteError, site)); },
                Qt::QueuedConnection);
        };
    };
    // The dialog opens on the window's thread once the record has been read; a failed
    // read shows its own messages and no dialog.
    const auto edit = [this, busy](const ServiceConfig& read) {
        HostLogFileDialog dialog(ui_, HostLogFileFormFor(read), "  " + settings_.hostName, this);
        if (ui_.RunModal(dialog) != QDialog::Accepted) {
            return;
        }
        const ServiceConfig changed = HostLogFileRecord(read, dialog.Form());
        session_->Converse(
            [changed](ServiceLink&, StatusRequests& requests) {
                requests.SendHostLogFile(changed);
            },
            busy(request_site::kHostLogFileWrite));
    };
    session_->Converse(
        [this, edit](ServiceLink&, StatusRequests& requests) {
            ServiceConfig read;
            if (requests.RequestServiceConfig(read)) {
                QMetaObject::invokeMethod(
                    this, [edit, read] { edit(read); }, Qt::QueuedConnection);
            }
        },
        busy(request_site::kServiceConfigWrite));
}

}  // namespace veltrix
