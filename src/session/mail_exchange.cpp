#include "session/mail_exchange.h"

#include <array>
#include <span>

#include "session/status_requests.h"
#include "texts/string_ids.h"
#include "texts/strings.h"

namespace veltrix {

namespace {

// Texts are taken whole, up to the message's limit: nothing the service holds is cut
// on its way through the dialog and back.
constexpr std::size_t kTextCapacity = ServiceMessage::kMaxData + 1;

// A step failed; the conversation ends with this result.
struct StepFailed {
    MailExchangeResult result;
};

std::array<std::uint8_t, 4> FourBytes(std::uint32_t value) {
    return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

class Steps {
  public:
    explicit Steps(MailChannel& channel) : channel_(channel) {}

    ServiceMessage& Message() { return channel_.Message(); }

    void Request(std::uint32_t code, std::span<const std::uint8_t> data = {}) {
        Message().SetRequest(code, data);
    }
    // The length and data of a message after an acknowledgement; its code stays the
    // acknowledgement's.
    void Data(std::span<const std::uint8_t> data) { Message().SetData(data); }

    // Write or read a message; a failure shows the write or read error text.
    void Send(int site, int stringId = ids::kServiceWriteError) {
        Run([this] { channel_.Send(); }, site, stringId);
    }
    void Receive(int site, int stringId = ids::kServiceReadError) {
        Run([this] { channel_.Receive(); }, site, stringId);
    }
    // Message read mode, not waiting or waiting; a failure shows the channel's text.
    void SwitchToMessages(bool blocking, int site) {
        Run([this, blocking] { channel_.SetMode(false, blocking); }, site, 0);
    }
    // Gives the service up to 500 ms to start replying (whether it did is not asked),
    // then switches the read mode.
    void WaitAndSwitch(bool blocking, int site) {
        Run(
            [this, blocking] {
                static_cast<void>(channel_.WaitForResponse(kSmtpReplyWaitMs));
                channel_.SetMode(false, blocking);
            },
            site, 0);
    }
    void Pause() { channel_.Pause(kMailReplyPause); }

    std::uint32_t ReceiveNumber(int site) {
        Receive(site);
        return Message().Number();
    }
    void SendNumber(std::uint32_t value, int site) {
        Data(FourBytes(value));
        Send(site);
    }

  private:
    // `stringId` 0: the message is the channel's own text.
    template <typename Operation>
    void Run(Operation&& operation, int site, int stringId) {
        try {
            operation();
        } catch (const ChannelError& e) {
            if (e.errorCode == win32::ERROR_OPERATION_ABORTED) {
                throw StepFailed{{MailExchangeResult::Status::Cancelled, {}}};
            }
            const std::string text =
                stringId != 0 ? ErrorText(stringId, site) : SiteText(e.GetErrorMessage(), site);
            throw StepFailed{{MailExchangeResult::Status::Failed, text}};
        }
    }

    MailChannel& channel_;
};

std::span<const std::uint8_t> Bytes(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// Runs `conversation` under `pipeBusy`, released on every way out.
template <typename Conversation>
MailExchangeResult Guarded(MailChannel& channel, Conversation&& conversation) {
    const PipeBusyLock busy(channel.Link());
    if (!busy.Held()) {
        return {MailExchangeResult::Status::Busy, {}};
    }
    try {
        Steps steps(channel);
        conversation(steps);
    } catch (const StepFailed& failed) {
        return failed.result;
    }
    return {};
}

}  // namespace

MailExchangeResult ReadMailSettings(MailChannel& channel, std::uint32_t serviceVersion,
                                    MailSettingsValues& out) {
    using namespace mail_site;
    MailSettingsValues read;
    MailExchangeResult result = Guarded(channel, [&](Steps& steps) {
        steps.Request(MAIL_GET_SETTINGS);
        steps.Send(kGetSettingsWrite);
        steps.SwitchToMessages(false, kGetSettingsSwitch1);
        steps.SwitchToMessages(true, kGetSettingsSwitch2);
        steps.Pause();
        for (std::string* text : {&read.senderName, &read.senderAddress, &read.userName,
                                  &read.password, &read.server, &read.recipient}) {
            steps.Receive(kGetSettingsRead);
            *text = steps.Message().Text(kTextCapacity);
        }
        steps.Receive(kGetSettingsRead);
        read.SetFlags(steps.Message().Data()[0]);

        steps.Request(MAIL_GET_LEVEL);
        steps.Send(kGetLevelWrite);
        read.mailLevel = MailLevelFromWire(steps.ReceiveNumber(kGetLevelRead));

        steps.Request(MAIL_GET_LEVEL2);
        steps.Send(kGetLevel2Write);
        read.level2 = steps.ReceiveNumber(kGetLevel2Read);

        if (serviceVersion < kVersionSmtpAuth) {
            return;
        }
        read.hasSmtpOptions = true;
        steps.Request(SMTP_GET_AUTH);
        steps.Send(kGetAuthWrite);
        steps.WaitAndSwitch(false, kGetAuthWait1);
        steps.WaitAndSwitch(true, kGetAuthWait2);
        steps.Pause();
        read.smtp.authMethod = steps.ReceiveNumber(kGetAuthRead);
        read.smtp.port = steps.ReceiveNumber(kGetAuthRead);
        read.smtp.legacySsl = steps.ReceiveNumber(kGetAuthRead);

        if (serviceVersion < kVersionSmtpTls) {
            return;
        }
        read.hasTlsOptions = true;
        steps.Request(SMTP_GET_TLS);
        steps.Send(kGetTlsWrite);
        steps.WaitAndSwitch(false, kGetTlsWait1);
        steps.WaitAndSwitch(true, kGetTlsWait2);
        steps.Pause();
        read.smtp.connectionType = steps.ReceiveNumber(kGetTlsRead);
        read.smtp.tlsProtocol = steps.ReceiveNumber(kGetTlsRead);
    });
    if (result.status == MailExchangeResult::Status::Done) {
        out = read;
    }
    return result;
}

MailExchangeResult WriteMailSettings(MailChannel& channel, const MailSettingsValues& values) {
    using namespace mail_site;
    return Guarded(channel, [&](Steps& steps) {
        steps.Request(MAIL_SET_SETTINGS);
        steps.Send(kSetSettings);
        // The acknowledgement is part of the writing step and reported as such.
        steps.Receive(kSetSettings, ids::kServiceWriteError);
        for (const std::string* text : {&values.senderName, &values.senderAddress, &values.userName,
                                        &values.password, &values.server, &values.recipient}) {
            steps.Data(Bytes(*text));
            steps.Send(kSetSettings);
        }
        const std::array<std::uint8_t, 1> flags{values.FlagsByte()};
        steps.Data(flags);
        steps.Send(kSetSettings);

        steps.Request(MAIL_SET_LEVEL, FourBytes(MailLevelToWire(values.mailLevel)));
        steps.Send(kSetLevel);
        steps.Request(MAIL_SET_LEVEL2, FourBytes(values.level2));
        steps.Send(kSetLevel2);

        if (!values.hasSmtpOptions) {
            return;
        }
        steps.Request(SMTP_SET_AUTH);
        steps.Send(kSetSmtp);
        steps.Receive(kSetSmtp, ids::kServiceWriteError);
        steps.SendNumber(values.smtp.authMethod, kSetSmtp);
        steps.SendNumber(values.smtp.port, kSetSmtp);
        steps.SendNumber(values.smtp.legacySsl, kSetSmtp);
        if (!values.hasTlsOptions) {
            return;
        }
        steps.Request(SMTP_SET_TLS);
        steps.Send(kSetSmtp);
        steps.Receive(kSetSmtp, ids::kServiceWriteError);
        steps.SendNumber(values.smtp.connectionType, kSetSmtp);
        steps.SendNumber(values.smtp.tlsProtocol, kSetSmtp);
    });
}

}  // namespace veltrix
