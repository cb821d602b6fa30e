// The e-mail notification settings of the service: read them, let the user edit them
// in the e-mail dialog, write them back.
//
// Reading and writing are conversations on the session's thread, each holding the busy
// flag for its length; the dialog is open in between, while the poll cycle goes on.
// The window is never blocked: results come back as queued calls.

#include "gui/mail/mail_settings_command.h"

#include <QMetaObject>
#include <QTimer>

#include "gui/mail/mail_settings_dialog.h"
#include "gui/mail/password_confirm_dialog.h"
#include "gui/platform/dialog_ui.h"
#include "session/mail_exchange.h"
#include "session/service_link.h"
#include "session/service_session.h"
#include "session/status_requests.h"
#include "texts/string_ids.h"
#include "texts/strings.h"

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
    MailSettingsCommand(ServiceSession& session, platform::DialogUi& ui,
                        std::uint32_t serviceVersion, QWidget* window)
        : QObject(window),
          session_(session),
          ui_(ui),
          serviceVersion_(serviceVersion),
          window_(window) {
        setObjectName(QLatin1String(kCommandName));
    }

    void Read(int attempt = 0) {
        session_.Converse(
            [this, attempt](ServiceLink& link, StatusRequests&) {
                MailChannel channel(link);
                MailSettingsValues values;
                const MailExchangeResult result =
                    ReadMailSettings(channel, serviceVersion_, values);
                Post([this, result, values, attempt] { OnRead(result, values, attempt); });
            },
            [this, attempt] {
                Post([this, attempt] { OnRead({Status::Busy, {}}, {}, attempt); });
            });
    }

  private:
    // Runs `work` on the window's thread.
    template <typename Work>
    void Post(Work&& work) {
        QMetaObject::invokeMethod(this, std::forward<Work>(work), Qt::QueuedConnection);
    }

    void OnRead(const MailExchangeResult& result, const MailSettingsValues& values, int attempt) {
        if (result.status == Status::Busy && attempt < kBusyRetries) {
            QTimer::singleShot(kBusyRetryMs, this, [this, attempt] { Read(attempt + 1); });
            return;
        }
        if (result.status == Status::Done) {
            EditAndWrite(values);
            return;
        }
        Report(result, mail_site::kGetSettingsWrite);
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
        session_.Converse(
            [this, values, attempt](ServiceLink& link, StatusRequests&) {
                MailChannel channel(link);
                const MailExchangeResult result = WriteMailSettings(channel, values);
                Post([this, result, values, attempt] { OnWritten(result, values, attempt); });
            },
            [this, values, attempt] {
                Post([this, values, attempt] { OnWritten({Status::Busy, {}}, values, attempt); });
            });
    }

    void OnWritten(const MailExchangeResult& result, const MailSettingsValues& values,
                   int attempt) {
        if (result.status == Status::Busy && attempt < kBusyRetries) {
            QTimer::singleShot(kBusyRetryMs, this,
                               [this, values, attempt] { Write(values, attempt + 1); });
            return;
        }
        Report(result, mail_site::kSetSettings);
        Finish();
    }

    // A failed step's message; a channel that stayed busy is a request that could not
    // be written (`busySite`). Nothing for a program that is ending.
    void Report(const MailExchangeResult& result, int busySite) {
        if (result.status == Status::Failed) {
            ui_.ShowMessage(result.message);
        } else if (result.status == Status::Busy) {
            ui_.ShowMessage(ErrorText(ids::kServiceWriteError, busySite));
        }
    }

    void Finish() {
        setObjectName(QString());
        deleteLater();
    }

    ServiceSession& session_;
    platform::DialogUi& ui_;
    const std::uint32_t serviceVersion_;
    QWidget* window_;
};

}  // namespace

void StartMailSettingsCommand(ServiceSession& session, platform::DialogUi& ui,
                              std::uint32_t serviceVersion, QWidget* window) {
    // One run at a time: a second choice while the settings are read does nothing.
    if (window->findChild<QObject*>(QLatin1String(kCommandName), Qt::FindDirectChildrenOnly) !=
        nullptr) {
        return;
    }
    auto* command = new MailSettingsCommand(session, ui, serviceVersion, window);
    command->Read();
}

}  // namespace veltrix
