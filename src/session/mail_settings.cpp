#include "session/mail_settings.h"

namespace veltrix {

std::uint8_t MailSettingsValues::FlagsByte() const {
    std::uint8_t flags = 0;
    if (mailActive) {
        flags |= mail_flag::kActive;
    }
    if (sendTestMail) {
        flags |= mail_flag::kTestMail;
    }
    if (bootUpMessages) {
        flags |= mail_flag::kBootUp;
    }
    return flags;
}

void MailSettingsValues::SetFlags(std::uint8_t flags) {
    mailActive = (flags & mail_flag::kActive) != 0;
    bootUpMessages = (flags & mail_flag::kBootUp) != 0;
    // Only ever set by the user, for one write.
    sendTestMail = false;
}

bool MailSettingsValues::SwitchOffWhenIncomplete() {
    if (FlagsByte() == 0 || (!senderAddress.empty() && !server.empty() && !recipient.empty())) {
        return false;
    }
    mailActive = false;
    sendTestMail = false;
    bootUpMessages = false;
    return true;
}

std::uint32_t MailLevelToWire(int level) {
    switch (level) {
        case 1:
            return 20;
        case 2:
            return 40;
        default:
            return 0;
    }
}

int MailLevelFromWire(std::uint32_t value) {
    if (value >= 40) {
        return 2;
    }
    return value >= 20 ? 1 : 0;
}

}  // namespace veltrix
