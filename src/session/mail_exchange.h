#pragma once
// The two conversations of the e-mail settings: reading them from the service
// (commands 1000, 1006, 1010, 1012, 1014) and writing them back (1001, 1005, 1009,
// 1013, 1015). Each runs on the session's thread, takes `pipeBusy` for its whole
// length and releases it on every way out; between the two the user edits the
// values while the poll cycle goes on.
//
// A failed step ends the conversation at once. Its message is the read or write
// error text, or the channel's own text for a failed mode switch or wait, and the
// step's error number; the caller shows it.

#include <chrono>
#include <cstdint>
#include <string>

#include "session/mail_settings.h"
#include "session/service_link.h"

namespace veltrix {

// Error numbers of the e-mail exchange ("Error #KGD-...").
namespace mail_site {
inline constexpr int kGetSettingsWrite = 1069;
inline constexpr int kGetSettingsSwitch1 = 1083;
inline constexpr int kGetSettingsSwitch2 = 1096;
inline constexpr int kGetSettingsRead = 1155;
inline constexpr int kGetLevelWrite = 1172;
inline constexpr int kGetLevelRead = 1186;
inline constexpr int kGetLevel2Write = 1212;
inline constexpr int kGetLevel2Read = 1226;
inline constexpr int kGetAuthWrite = 1254;
inline constexpr int kGetAuthWait1 = 1269;
inline constexpr int kGetAuthWait2 = 1283;
inline constexpr int kGetAuthRead = 1304;
inline constexpr int kGetTlsWrite = 1326;
inline constexpr int kGetTlsWait1 = 1341;
inline constexpr int kGetTlsWait2 = 1355;
inline constexpr int kGetTlsRead = 1376;
inline constexpr int kSetSettings = 1398;
inline constexpr int kSetLevel = 1423;
inline constexpr int kSetLevel2 = 1448;
inline constexpr int kSetSmtp = 1480;
}  // namespace mail_site

// How long the service gets to prepare its replies before they are read, and how long
// the reads wait for the SMTP values to arrive.
inline constexpr std::chrono::milliseconds kMailReplyPause{1000};
inline constexpr std::uint32_t kSmtpReplyWaitMs = 500;

// The channel operations the exchange uses, on the session's link. Tests derive from
// it to make one chosen operation fail.
class MailChannel {
  public:
    explicit MailChannel(ServiceLink& link) : link_(link) {}
    virtual ~MailChannel() = default;
    MailChannel(const MailChannel&) = delete;
    MailChannel& operator=(const MailChannel&) = delete;

    ServiceLink& Link() { return link_; }
    ServiceMessage& Message() { return link_.message; }

    virtual void Send() { link_.SendMessage(); }
    virtual void Receive() { link_.ReceiveMessage(); }
    virtual void SetMode(bool byteMode, bool blocking) { link_.pipe.SetMode(byteMode, blocking); }
    virtual bool WaitForResponse(std::uint32_t timeoutMs) {
        return link_.pipe.WaitForResponse(timeoutMs);
    }
    virtual void Pause(std::chrono::milliseconds duration) { link_.Pause(duration); }

  private:
    ServiceLink& link_;
};

struct MailExchangeResult {
    enum class Status {
        Done,
        // `pipeBusy` was held by another exchange: nothing was sent; ask again later.
        Busy,
        // A step failed; `message` says which.
        Failed,
        // The program is ending: the channel's waits were cancelled. Nothing to show.
        Cancelled,
    };
    Status status = Status::Done;
    std::string message;
};

// Reads all settings the service of version number `serviceVersion` knows into `out`
// (which starts from defaults: empty texts, flags and levels 0).
MailExchangeResult ReadMailSettings(MailChannel& channel, std::uint32_t serviceVersion,
                                    MailSettingsValues& out);

// Writes `values` back: texts and flags, both levels, and the SMTP and TLS values when
// `values` says the service knows them.
MailExchangeResult WriteMailSettings(MailChannel& channel, const MailSettingsValues& values);

}  // namespace veltrix
