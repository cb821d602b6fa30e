#pragma once
// Where the service's pipe lives on Linux and how its messages travel.
//
// A full pipe name "\\host\PIPE\name" is reached in one of two ways:
//  - host "." (this machine): an AF_UNIX SOCK_SEQPACKET socket at
//    $VELTRIX_PIPE_DIR/<name> (default /run/kavotronik). One send is one message.
//  - any other host (names, "localhost", IP literals): TCP to that host on port
//    $VELTRIX_PIPE_PORT (default kDefaultTcpPort). Each message travels with its
//    own 4-byte little-endian length in front, so that one read still returns one
//    whole message.
// The simulated service and the client share these definitions.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace veltrix {
namespace transport {

inline constexpr char kPipeDirVariable[] = "VELTRIX_PIPE_DIR";
inline constexpr char kPipePortVariable[] = "VELTRIX_PIPE_PORT";
inline constexpr char kDefaultPipeDir[] = "/run/kavotronik";
inline constexpr std::uint16_t kDefaultTcpPort = 47631;

// Largest message either side accepts on TCP; a longer announced length is a
// broken stream, not a message.
inline constexpr std::size_t kMaxTcpMessage = 64 * 1024;
inline constexpr std::size_t kTcpPrefixSize = 4;

// The host and pipe parts of "\\host\PIPE\name"; nothing when the name is not of that form.
struct PipeAddress {
    std::string host;
    std::string pipe;
    bool IsLocal() const { return host == "."; }
};
std::string FullPipeName(const std::string& host, const std::string& pipe);
std::optional<PipeAddress> ParseFullPipeName(const std::string& fullName);

// Directory of the local sockets and the TCP port, from the environment or the defaults.
std::string PipeDirectory();
std::uint16_t TcpPort();
std::string LocalSocketPath(const std::string& pipe);

// A remote host as the user writes it, with an optional port: "name", "name:port",
// "192.0.2.7:port", "[2001:db8::7]:port" or a bare IPv6 address. Without a port,
// TcpPort(). Nothing when the port is not a number from 1 to 65535 or the host is empty.
struct HostPort {
    std::string host;
    std::uint16_t port = kDefaultTcpPort;

    bool operator==(const HostPort&) const = default;
};
std::optional<HostPort> SplitHostPort(const std::string& text);

// Frames one message for TCP: the length prefix followed by the bytes.
std::vector<std::uint8_t> FrameTcpMessage(std::span<const std::uint8_t> message);

// Collects TCP bytes and cuts whole messages out of them.
class TcpDeframer {
  public:
    // Adds received bytes. Returns false when the stream announces a message longer
    // than kMaxTcpMessage (the stream is then unusable).
    bool Append(std::span<const std::uint8_t> bytes);
    // The next whole message, if one has arrived completely.
    std::optional<std::vector<std::uint8_t>> Pop();
    // Whether the first message has arrived whole; its payload size.
    bool HasWholeMessage() const;
    std::size_t FirstMessageSize() const;
    // The payload of the first whole message (empty when there is none).
    std::span<const std::uint8_t> FirstMessage() const;
    // Payload bytes of all whole messages waiting.
    std::size_t BytesInWholeMessages() const;
    void Clear() { buffer_.clear(); }

  private:
    // Payload size of the message whose prefix starts at `at`, if that message is whole.
    std::optional<std::size_t> WholeMessageAt(std::size_t at) const;
    std::vector<std::uint8_t> buffer_;
};

}  // namespace transport
}  // namespace veltrix
