#include "gui/settings/host_log_file_command.h"

#include <QPointer>

#include "gui/platform/dialog_ui.h"
#include "gui/settings/host_log_file_dialog.h"
#include "session/error_sites.h"
#include "texts/string_ids.h"
#include "texts/strings.h"
#include "watch/conversation_job.h"
#include "watch/host_monitor.h"

namespace veltrix {

namespace {

void ShowFailure(platform::DialogUi& ui, const ConversationResult& result) {
    if (const std::string text = result.ErrorMessage(); !text.empty()) {
        ui.ShowMessage(text);
    }
}

void Write(HostMonitor& monitor, platform::DialogUi& ui, const ServiceConfig& changed,
           QWidget* window) {
    auto* job = ConversationJob::Start(
        monitor,
        [changed](ServiceLink&, StatusRequests& requests) {
            // A failed write shows its own messages.
            requests.SendHostLogFile(changed);
            return ConversationResult{};
        },
        request_site::kHostLogFileWrite);
    QObject::connect(job, &ConversationJob::Finished, window,
                     [&ui](const ConversationResult& result) { ShowFailure(ui, result); });
}

}  // namespace

void StartHostLogFileCommand(HostMonitor& monitor, bool connected, const std::string& hostName,
                             platform::DialogUi& ui, QWidget* window) {
    if (!connected) {
        ui.ShowMessage(LoadString(ids::kHostNotConnected));
        return;
    }
    auto* read = ConversationJob::Start(
        monitor,
        [](ServiceLink&, StatusRequests& requests) {
            // A failed read shows its own messages and opens no dialog.
            ServiceConfig config;
            return requests.RequestServiceConfig(config)
                       ? ConversationResult::Read(QVariant::fromValue(config))
                       : ConversationResult::Failure({});
        },
        request_site::kServiceConfigWrite);
    QObject::connect(read, &ConversationJob::Finished, window,
                     [host = QPointer<HostMonitor>(&monitor), &ui, hostName,
                      window](const ConversationResult& result) {
                         if (!result.IsDone()) {
                             ShowFailure(ui, result);
                             return;
                         }
                         const auto config = result.payload.value<ServiceConfig>();
                         HostLogFileDialog dialog(ui, HostLogFileFormFor(config), "  " + hostName,
                                                  window);
                         // The host may have gone while the dialog was open.
                         if (ui.RunModal(dialog) == QDialog::Accepted && host) {
                             Write(*host, ui, HostLogFileRecord(config, dialog.Form()), window);
                         }
                     });
}

}  // namespace veltrix
