#pragma once
// The service's e-mail notification settings as plain values: what the e-mail
// exchange reads from the service, the dialog edits and the exchange writes back.

#include <cstdint>
#include <string>

namespace veltrix {

// Bits of the flags byte.
namespace mail_flag {
inline constexpr std::uint8_t kActive = 0x01;    // e-mail notification on
inline constexpr std::uint8_t kTestMail = 0x02;  // send one test e-mail now
inline constexpr std::uint8_t kBootUp = 0x04;    // status messages at boot
}  // namespace mail_flag

// The SMTP values of the advanced settings, as they travel (32-bit each).
struct SmtpOptions {
    // 0 none, 1 CRAM MD-5, 2 Login, 3 Plain, 4 NTLM, 5 Auto.
    std::uint32_t authMethod = 0;
    std::uint32_t port = 0;
    // Carried through unchanged.
    std::uint32_t legacySsl = 0;
    // 0 Plain Text, 1 SSL/TLS/DTLS, 2 STARTTLS, 3 Auto Upgrade to STARTTLS.
    std::uint32_t connectionType = 0;
    // 0 TLS v2/v3, 1 TLS v 1.0, 2 TLS v 1.1, 3 TLS v 1.2, 4 DTLS v 1.0.
    std::uint32_t tlsProtocol = 0;

    bool operator==(const SmtpOptions&) const = default;
};

struct MailSettingsValues {
    std::string senderName;
    std::string senderAddress;
    std::string userName;
    std::string password;
    std::string server;
    std::string recipient;
    bool mailActive = false;
    bool sendTestMail = false;
    bool bootUpMessages = false;
    // 0 all events, 1 errors and warnings, 2 errors only.
    int mailLevel = 0;
    // The second level exactly as the service gave it; it goes back unchanged.
    std::uint32_t level2 = 0;
    SmtpOptions smtp;
    // The service knows the SMTP commands (1012/1013) and the TLS ones (1014/1015).
    bool hasSmtpOptions = false;
    bool hasTlsOptions = false;

    bool operator==(const MailSettingsValues&) const = default;

    std::uint8_t FlagsByte() const;
    void SetFlags(std::uint8_t flags);
    // E-mail is asked for (on, a test mail or boot-up messages) while the sender
    // address, the server or the recipient is empty: every flag is switched off and
    // the result is true (the settings are written all the same).
    bool SwitchOffWhenIncomplete();
};

// Mail level on the wire: 0, 20 or 40; a value read maps back by ranges.
std::uint32_t MailLevelToWire(int level);
int MailLevelFromWire(std::uint32_t value);

// Texts the dialog takes per field; longer input is refused there, never cut on the way
// to the service.
inline constexpr int kMailTextLimit = 99;

}  // namespace veltrix
