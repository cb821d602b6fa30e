#include "gui/settings/service_password_command.h"

#include "gui/platform/dialog_ui.h"
#include "gui/settings/service_password_dialog.h"
#include "session/error_sites.h"
#include "texts/string_ids.h"
#include "texts/strings.h"
#include "watch/conversation_job.h"

namespace veltrix {

void StartServicePasswordCommand(const ServicePasswordTarget& target, platform::DialogUi& ui,
                                 QWidget* window) {
    if (!target.connected) {
        ui.ShowMessage(LoadString(ids::kHostNotConnected));
        return;
    }
    ServicePasswordDialog dialog(ui, window);
    dialog.currentPassword = target.currentPassword;
    if (ui.RunModal(dialog) != QDialog::Accepted) {
        return;
    }
    const std::string password = dialog.NewPassword();
    if (password != dialog.RepeatedPassword()) {
        ui.ShowMessage(LoadString(ids::kPasswordReentryInvalid));
        return;
    }
    // The window logs in with the new password from now on, also when sending it
    // fails: the next login can then be refused until the old one is typed again.
    target.keep(password, false);
    auto* job = ConversationJob::Start(
        target.monitor,
        [password](ServiceLink&, StatusRequests& requests) {
            // A failure shows its own messages; the field keeps its old text then.
            return requests.SendServicePassword(password) ? ConversationResult{}
                                                          : ConversationResult::Failure({});
        },
        request_site::kPasswordWrite);
    QObject::connect(job, &ConversationJob::Finished, job,
                     [&ui, keep = target.keep, password](const ConversationResult& result) {
                         if (result.IsDone()) {
                             keep(password, true);
                         } else if (const std::string text = result.ErrorMessage(); !text.empty()) {
                             ui.ShowMessage(text);
                         }
                     });
}

}  // namespace veltrix
