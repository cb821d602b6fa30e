// The e-mail notification settings of the service: read them, let the user edit them
// in the e-mail dialog, write them back.
//
// Reading and writing are conversations on the session's thread, each holding the busy
// flag for its length; the dialog is open in between, while the poll cycle goes on.
// The window is never blocked: each exchange is a conversation job whose result comes
// back on the window's thread.

#include "gui/mail/mail_settings_command.h"

#include <QPointer>
#include <QTimer>

#include "gui/mail/mail_settings_dialog.h"
#include "gui/mail/password_confirm_dialog.h"
#include "gui/platform/dialog_ui.h"
#include "session/mail_exchange.h"
#include "session/service_link.h"
#include "session/status_requests.h"
#include "texts/string_ids.h"
#include "texts/strings.h"
#include "watch/conversation_job.h"
#include "watch/host_monitor.h"

namespace veltrix {

namespace {

// While another exchange holds the channel, each phase asks again every 100 ms, for at
// most 10 s.
constexpr int kBusyRetryMs = 100;
constexpr int kBusyRetries = 100;
constexpr char kCommandName[] = "mailSettingsCommand";

using Status = MailExchangeResult::Status;

// One run of the command, from the reading to the end of the writing. A child of the
// window: the session's results reach it only while it and the window exist.
class MailSettingsCommand : public QObject {
  public:
    MailSettingsCommand(HostMonitor& monitor, platform::DialogUi& ui, std::uint32_t serviceVersion,
                        QWidget* window)
        : QObject(window),
          monitor_(&monitor),
          ui_(ui),
          serviceVersion_(serviceVersion),
          window_(window) {
        setObjectName(QLatin1String(kCommandName));
    }

    void Read(int attempt = 0) {
        const std::uint32_t version = serviceVersion_;
        Start(
            [version](ServiceLink& link, StatusRequests&) {
                MailChannel channel(link);
                MailSettingsValues values;
                return Outcome(ReadMailSettings(channel, version, values), values,
                               mail_site::kGetSettingsWrite);
            },
            mail_site::kGetSettingsWrite,
            [this, attempt](const ConversationResult& result) { OnRead(result, attempt); });
    }

  private:
    // A mail exchange's result as the job's: the values it read or wrote as payload.
    static ConversationResult Outcome(const MailExchangeResult& result,
                                      const MailSettingsValues& values, int busySite) {
        switch (result.status) {
            case Status::Done:
                return ConversationResult::Read(QVariant::fromValue(values));
            case Status::Busy:
                return ConversationResult::Busy(busySite);
            case Status::Cancelled:
                // The program is ending: nothing to show.
                return ConversationResult::Failure({});
            case Status::Failed:
                break;
        }
        return ConversationResult::Failure(result.message);
    }

    // Runs `work` as a job whose end reaches `done` while this run exists.
    template <typename Done>
    void Start(ConversationJob::Work work, int busySite, Done done) {
        if (monitor_.isNull()) {
            Finish();  // the host went while the dialog was open
            return;
        }
        auto* job = ConversationJob::Start(*monitor_, std::move(work), busySite);
        connect(job, &ConversationJob::Finished, this, done);
    }

    void OnRead(const ConversationResult& result, int attempt) {
        if (result.IsBusy() && attempt < kBusyRetries) {
            QTimer::singleShot(kBusyRetryMs, this, [this, attempt] { Read(attempt + 1); });
            return;
        }
        if (result.IsDone()) {
            EditAndWrite(result.payload.value<MailSettingsValues>());
            return;
        }
        Report(result);
        Finish();
    }

    void EditAndWrite(const MailSettingsValues& read) {
        MailSettingsDialog dialog(read, ui_, window_);
        if (ui_.RunModal(dialog) != QDialog::Accepted) {
            Finish();
            return;
        }
        MailSettingsValues values = dialog.Values();
        // A changed password that the field's own confirmation did not see (OK or
        // Enter straight from the field) is confirmed now.
        if (dialog.PasswordText() != dialog.ConfirmedPassword()) {
            PasswordConfirmDialog confirm(window_);
            if (ui_.RunModal(confirm) == QDialog::Rejected ||
                confirm.Text() != dialog.PasswordText()) {
                ui_.ShowMessage(LoadString(ids::kPasswordCorrupted));
                values.password = read.password;
            }
        }
        if (values.SwitchOffWhenIncomplete()) {
            ui_.ShowMessage(LoadString(ids::kMailEntriesIncomplete));
        }
        Write(values);
    }

    void Write(const MailSettingsValues& values, int attempt = 0) {
        Start(
            [values](ServiceLink& link, StatusRequests&) {
                MailChannel channel(link);
                return Outcome(WriteMailSettings(channel, values), values, mail_site::kSetSettings);
            },
            mail_site::kSetSettings,
            [this, values, attempt](const ConversationResult& result) {
                OnWritten(result, values, attempt);
            });
    }

    void OnWritten(const ConversationResult& result, const MailSettingsValues& values,
                   int attempt) {
        if (result.IsBusy() && attempt < kBusyRetries) {
            QTimer::singleShot(kBusyRetryMs, this,
                               [this, values, attempt] { Write(values, attempt + 1); });
            return;
        }
        Report(result);
        Finish();
    }

    // A failed step's message; a channel that stayed busy is a request that could not
    // be written (the job's busy site).
    void Report(const ConversationResult& result) {
        if (const std::string text = result.ErrorMessage(); !text.empty()) {
            ui_.ShowMessage(text);
        }
    }

    void Finish() {
        setObjectName(QString());
        deleteLater();
    }

    QPointer<HostMonitor> monitor_;
    platform::DialogUi& ui_;
    const std::uint32_t serviceVersion_;
    QWidget* window_;
};

}  // namespace

void StartMailSettingsCommand(HostMonitor& monitor, platform::DialogUi& ui,
                              std::uint32_t serviceVersion, QWidget* window) {
    // One run at a time: a second choice while the settings are read does nothing.
    if (window->findChild<QObject*>(QLatin1String(kCommandName), Qt::FindDirectChildrenOnly) !=
        nullptr) {
        return;
    }
    auto* command = new MailSettingsCommand(monitor, ui, serviceVersion, window);
    command->Read();
}

}  // namespace veltrix
