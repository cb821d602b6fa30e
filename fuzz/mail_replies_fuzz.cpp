// Feeds arbitrary service replies to both e-mail conversations: the settings read
// (texts, flags, both levels, the SMTP and TLS numbers), then the write of what was
// read. The first input byte picks the service's version; after it each reply is a
// 16-bit little-endian size and that many bytes. When the input runs out the channel
// fails as a broken connection does.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "session/mail_exchange.h"
#include "session/mail_settings.h"

namespace {

using namespace veltrix;

class ReplayChannel : public MailChannel {
  public:
    ReplayChannel(ServiceLink& link, std::span<const std::uint8_t> replies)
        : MailChannel(link), replies_(replies) {}

    void Send() override {}
    void Receive() override {
        ServiceMessage& message = Message();
        message.Clear();
        if (replies_.size() < 2) {
            throw ChannelError(win32::ERROR_BROKEN_PIPE, "broken");
        }
        const std::size_t wanted = replies_[0] | (std::size_t{replies_[1]} << 8);
        replies_ = replies_.subspan(2);
        const std::size_t n = std::min({wanted, replies_.size(), message.raw.size()});
        std::copy_n(replies_.begin(), n, message.raw.begin());
        message.received = n;
        replies_ = replies_.subspan(n);
    }
    void SetMode(bool, bool) override {}
    bool WaitForResponse(std::uint32_t) override { return true; }
    void Pause(std::chrono::milliseconds) override {}

  private:
    std::span<const std::uint8_t> replies_;
};

constexpr std::array<std::uint32_t, 3> kVersions{3000000, kVersionSmtpAuth, kVersionSmtpTls};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::span<const std::uint8_t> bytes(data, size);
    ServiceLink link;
    ReplayChannel channel(link, bytes.subspan(1));
    MailSettingsValues values;
    const MailExchangeResult read =
        ReadMailSettings(channel, kVersions[data[0] % kVersions.size()], values);
    if (read.status == MailExchangeResult::Status::Done) {
        (void)values.SwitchOffWhenIncomplete();
        (void)WriteMailSettings(channel, values);
    }
    return 0;
}
