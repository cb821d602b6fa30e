#pragma once
// Runs the simulated service on a private pipe directory and logs a ServiceLink in,
// over the local socket or TCP, for tests that exchange real messages.

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>

#include "protocol/protocol.h"
#include "servicesim/service_sim.h"
#include "session/service_link.h"
#include "support/test_peer.h"

namespace veltrix::testing {

class SimSession {
  public:
    SimSession(sim::Scenario scenario, Transport transport)
        : transport_(transport), sim_(std::move(scenario)) {
        sim::ServiceSimOptions options;
        options.pipeDir = dir_.path();
        options.listenTcp = transport == Transport::Tcp;
        options.manualClock = true;
        sim_.Start(options);
        if (transport == Transport::Tcp) {
            ::setenv(transport::kPipePortVariable, std::to_string(sim_.TcpPort()).c_str(), 1);
        }
    }
    ~SimSession() {
        sim_.Stop();
        ::unsetenv(transport::kPipePortVariable);
    }

    std::string host() const { return transport_ == Transport::Local ? "." : "127.0.0.1"; }
    sim::ServiceSim& sim() { return sim_; }

    // Opens the pipe and logs in; true when the service accepted the password.
    bool login(ServiceLink& link, const std::string& password = "kavo") {
        ServiceChannel::ServerAvailable(host(), kServicePipeName, 1000);
        link.pipe.Open(host(), kServicePipeName);
        const auto block = BuildLoginBlock(password);
        link.pipe.Write(block.data(), block.size());
        std::array<std::uint8_t, ServiceMessage::kSize> reply{};
        const std::size_t got = link.pipe.Read(reply.data(), reply.size());
        return IsLoginAccepted(std::span(reply).first(got));
    }

  private:
    Transport transport_;
    TempPipeDir dir_;
    sim::ServiceSim sim_;
};

}  // namespace veltrix::testing
