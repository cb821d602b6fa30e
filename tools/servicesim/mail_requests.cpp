// E-mail notification: the settings (an acknowledged exchange of data messages),
// the levels, the status of the last mail and, from the versions that brought them,
// the SMTP authentication and TLS settings.

#include <string>

#include "servicesim/engine.h"
#include "servicesim/request.h"

namespace veltrix::sim {

namespace {

// A text reply reaches the client through a 104-byte buffer.
constexpr std::size_t kMailTextReply = 103;

}  // namespace

void ServiceEngine::AcceptData(ByteView data) {
    const std::size_t index = session_.dataIndex++;
    --session_.dataExpected;
    switch (session_.ackCode) {
        case MAIL_SET_SETTINGS: {
            std::string* texts[] = {&mail_.senderName, &mail_.senderAddress, &mail_.userName,
                                    &mail_.password,   &mail_.server,        &mail_.recipient};
            if (index < 6) {
                *texts[index] = DataText(data, ServiceMessage::kMaxData);
            } else if (index == 6) {
                const std::uint8_t flags = data.U8(0);
                if ((flags & 0x02) != 0) {
                    ++testMails_;  // the test mail goes out once; the bit is not kept
                }
                mail_.flags = static_cast<std::uint8_t>(flags & ~0x02u);
            }
            break;
        }
        case SMTP_SET_AUTH: {
            std::uint32_t* values[] = {&mail_.authMethod, &mail_.port, &mail_.legacySsl};
            if (index < 3) {
                *values[index] = DataNumber(data);
            }
            break;
        }
        case SMTP_SET_TLS: {
            std::uint32_t* values[] = {&mail_.connectionType, &mail_.tlsProtocol};
            if (index < 2) {
                *values[index] = DataNumber(data);
            }
            break;
        }
        default:
            break;
    }
}

// The SMTP commands exist from the versions that brought them; an older service does
// not know them and answers nothing.
bool ServiceEngine::KnowsSmtp(std::uint32_t sinceVersion) const {
    return ServiceVersionNumber(Config()) >= sinceVersion;
}

void ServiceEngine::OnMailGetSettings(Request& request) {
    for (const std::string* text : {&mail_.senderName, &mail_.senderAddress, &mail_.userName,
                                    &mail_.password, &mail_.server, &mail_.recipient}) {
        request.ReplyText(*text, kMailTextReply);
    }
    request.Reply(std::span(&mail_.flags, 1));
}

void ServiceEngine::OnMailSetSettings(Request& request) {
    Acknowledge(request, 7);
}

void ServiceEngine::OnMailSetLevel(Request& request) {
    mail_.level = DataNumber(request.data);
}

void ServiceEngine::OnMailGetLevel(Request& request) {
    request.ReplyU32(mail_.level);
}

void ServiceEngine::OnMailSetLevel2(Request& request) {
    mail_.level2 = DataNumber(request.data);
}

void ServiceEngine::OnMailGetLevel2(Request& request) {
    request.ReplyU32(mail_.level2);
}

void ServiceEngine::OnGetMailStatus(Request& request) {
    MailStatus status;
    if (pendingMail_) {
        status = *pendingMail_;
        pendingMail_.reset();
    } else {
        status.time = WallTime(request.nowMs);
        status.nothingNew = 1;
    }
    request.Reply(status.Encode());
}

void ServiceEngine::OnSmtpGetAuth(Request& request) {
    if (KnowsSmtp(kVersionSmtpAuth)) {
        request.ReplyU32(mail_.authMethod);
        request.ReplyU32(mail_.port);
        request.ReplyU32(mail_.legacySsl);
    }
}

void ServiceEngine::OnSmtpSetAuth(Request& request) {
    if (KnowsSmtp(kVersionSmtpAuth)) {
        Acknowledge(request, 3);
    }
}

void ServiceEngine::OnSmtpGetTls(Request& request) {
    if (KnowsSmtp(kVersionSmtpTls)) {
        request.ReplyU32(mail_.connectionType);
        request.ReplyU32(mail_.tlsProtocol);
    }
}

void ServiceEngine::OnSmtpSetTls(Request& request) {
    if (KnowsSmtp(kVersionSmtpTls)) {
        Acknowledge(request, 2);
    }
}

}  // namespace veltrix::sim
