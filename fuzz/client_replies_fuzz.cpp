// Feeds arbitrary bytes to everything the client decodes from the service: the
// status records, the login reply, the message frame's text and number replies, the
// service's configuration, clock and mail status, and the TCP stream framing.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

#include "model/records.h"
#include "protocol/protocol.h"
#include "protocol/transport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace veltrix;
    const std::span<const std::uint8_t> bytes(data, size);

    (void)ControllerInfo::Decode(bytes);
    (void)DeviceRecord::Decode(bytes);
    (void)RaidSetRecord::Decode(bytes);
    (void)RebuildStatus::Decode(bytes);
    (void)EventRecord::Decode(bytes);
    (void)LogEntry::Decode(bytes);
    (void)MailStatus::Decode(bytes);
    (void)SystemTime::Decode(bytes);

    ServiceConfig config;
    config.ApplyReply(bytes);
    (void)config.LogFileNameText();

    ServiceMessage message;
    message.Clear();
    const std::size_t n = std::min(size, message.raw.size());
    std::copy_n(data, n, message.raw.begin());
    message.received = n;
    (void)message.Text(104);
    (void)message.Number();
    (void)IsLoginAccepted(bytes);

    transport::TcpDeframer deframer;
    if (deframer.Append(bytes)) {
        while (deframer.Pop()) {
        }
    }
    return 0;
}
