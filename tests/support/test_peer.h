#pragma once
// A bare service end for channel tests: listens on the local socket or on TCP
// loopback the way the service does, accepts one client and sends or receives whole
// messages. The channel under test talks to real sockets, nothing is mocked.

#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "protocol/transport.h"

namespace veltrix::testing {

enum class Transport { Local, Tcp };

// A fresh directory for local sockets, set as the channel's pipe directory.
class TempPipeDir {
  public:
    TempPipeDir();
    ~TempPipeDir();
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

class TestPeer {
  public:
    explicit TestPeer(Transport transport, const std::string& pipeName = "TESTPIPE");
    ~TestPeer();

    // Host name the client uses to reach this peer.
    std::string host() const { return transport_ == Transport::Local ? "." : "127.0.0.1"; }
    const std::string& pipeName() const { return pipeName_; }

    // Accepts the next client (blocking).
    void accept();
    void send(const std::vector<std::uint8_t>& message);
    // Sends bytes as they are: on TCP without a length prefix (a message cut short).
    void sendRaw(const std::vector<std::uint8_t>& bytes);
    // Receives one whole message; nothing when the client closed.
    std::optional<std::vector<std::uint8_t>> receive();
    void closeClient();
    void closeListener();

  private:
    Transport transport_;
    std::string pipeName_;
    std::optional<TempPipeDir> dir_;
    int listener_ = -1;
    int client_ = -1;
    transport::TcpDeframer deframer_;
};

}  // namespace veltrix::testing
