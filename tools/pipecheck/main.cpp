// pipecheck: connects to the monitoring service, logs in and prints what it is.
//
//   pipecheck [--host HOST] [--password PASSWORD]
//
// A quick way to see that a service (real or simulated) answers on this machine.

#include <array>
#include <cstdio>
#include <cstring>
#include <string>

#include "protocol/bytes.h"
#include "protocol/protocol.h"
#include "protocol/service_channel.h"

using namespace veltrix;

namespace {

void Exchange(ServiceChannel& pipe, ServiceMessage& message) {
    pipe.Write(message.raw.data(), message.WireSize());
    message.Clear();
    message.received = pipe.Read(message.raw.data(), message.raw.size());
}

}  // namespace

int main(int argc, char** argv) {
    std::string host = ".";
    std::string password = "kavo";
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--host" && i + 1 < argc) {
            host = argv[++i];
        } else if (arg == "--password" && i + 1 < argc) {
            password = argv[++i];
        } else {
            std::printf("usage: pipecheck [--host HOST] [--password PASSWORD]\n");
            return arg == "--help" ? 0 : 2;
        }
    }

    ServiceChannel pipe;
    try {
        ServiceChannel::ServerAvailable(host, kServicePipeName, 1000);
        pipe.Open(host, kServicePipeName);

        const auto login = BuildLoginBlock(password);
        pipe.Write(login.data(), login.size());
        std::array<std::uint8_t, ServiceMessage::kSize> reply{};
        const std::size_t got = pipe.Read(reply.data(), reply.size());
        if (!IsLoginAccepted(std::span(reply).first(got))) {
            std::printf("pipecheck: login refused (wrong password)\n");
            return 1;
        }

        ServiceMessage message;
        message.SetRequest(GET_SERVICE_CONFIG);
        Exchange(pipe, message);
        ServiceConfig config;
        config.ApplyReply(message.Data());
        std::printf("service version %u.%u.%u.%u (number %u)\n", config.versionMajor,
                    config.versionMinor, config.versionBuild, config.versionRevision,
                    ServiceVersionNumber(config));
        std::printf("host log file: %s (%s)\n", config.LogFileNameText().c_str(),
                    config.HostLogEnabled() ? "on" : "off");

        message.SetRequest(GET_CONTROLLER_COUNT);
        Exchange(pipe, message);
        std::printf("controllers: %u\n", ByteView(message.Data()).U32(0));

        message.SetRequest(LOGOFF);
        pipe.Write(message.raw.data(), message.WireSize());
    } catch (const ChannelError& e) {
        std::printf("pipecheck: error %u: %s\n", e.errorCode, e.GetErrorMessage().c_str());
        return 1;
    }
    return 0;
}
