#include "protocol/transport.h"

#include <cstdlib>
#include <string_view>

#include "protocol/bytes.h"

namespace veltrix {
namespace transport {

std::string FullPipeName(const std::string& host, const std::string& pipe) {
    return "\\\\" + host + "\\PIPE\\" + pipe;
}

std::optional<PipeAddress> ParseFullPipeName(const std::string& fullName) {
    std::string_view rest(fullName);
    if (!rest.starts_with("\\\\")) {
        return std::nullopt;
    }
    rest.remove_prefix(2);
    const auto hostEnd = rest.find('\\');
    if (hostEnd == std::string_view::npos || hostEnd == 0) {
        return std::nullopt;
    }
    PipeAddress address;
    address.host = std::string(rest.substr(0, hostEnd));
    rest.remove_prefix(hostEnd + 1);
    constexpr std::string_view kPipe = "PIPE\\";
    if (rest.size() <= kPipe.size()) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < kPipe.size(); ++i) {
        // Windows compares the PIPE part without regard to case.
        const char c = rest[i];
        const char upper = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
        if (upper != kPipe[i]) {
            return std::nullopt;
        }
    }
    rest.remove_prefix(kPipe.size());
    // A pipe name becomes a file name in the socket directory: no path separators.
    if (rest.find('/') != std::string_view::npos || rest.find('\\') != std::string_view::npos ||
        rest == "." || rest == "..") {
        return std::nullopt;
    }
    address.pipe = std::string(rest);
    return address;
}

std::string PipeDirectory() {
    const char* dir = std::getenv(kPipeDirVariable);
    return (dir != nullptr && *dir != '\0') ? std::string(dir) : std::string(kDefaultPipeDir);
}

std::uint16_t TcpPort() {
    const char* value = std::getenv(kPipePortVariable);
    if (value == nullptr || *value == '\0') {
        return kDefaultTcpPort;
    }
    char* end = nullptr;
    const long port = std::strtol(value, &end, 10);
    if (*end != '\0' || port < 1 || port > 65535) {
        return kDefaultTcpPort;
    }
    return static_cast<std::uint16_t>(port);
}

namespace {

std::optional<std::uint16_t> ParsePort(std::string_view text) {
    if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != text.npos) {
        return std::nullopt;
    }
    const long port = std::strtol(std::string(text).c_str(), nullptr, 10);
    if (port < 1 || port > 65535) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(port);
}

}  // namespace

std::optional<HostPort> SplitHostPort(const std::string& text) {
    std::string_view host(text);
    std::string_view port;
    if (host.starts_with('[')) {
        const auto close = host.find(']');
        if (close == host.npos) {
            return std::nullopt;
        }
        port = host.substr(close + 1);
        host = host.substr(1, close - 1);
        if (!port.empty() && !port.starts_with(':')) {
            return std::nullopt;
        }
        if (!port.empty()) {
            port.remove_prefix(1);
            if (port.empty()) {
                return std::nullopt;
            }
        }
    } else if (const auto colon = host.find(':');
               colon != host.npos && host.find(':', colon + 1) == host.npos) {
        port = host.substr(colon + 1);  // one colon: name:port; more: a bare IPv6 address
        host = host.substr(0, colon);
        if (port.empty()) {
            return std::nullopt;
        }
    }
    if (host.empty()) {
        return std::nullopt;
    }
    HostPort result{.host = std::string(host), .port = TcpPort()};
    if (!port.empty()) {
        const auto number = ParsePort(port);
        if (!number) {
            return std::nullopt;
        }
        result.port = *number;
    }
    return result;
}

std::string LocalSocketPath(const std::string& pipe) {
    return PipeDirectory() + "/" + pipe;
}

std::vector<std::uint8_t> FrameTcpMessage(std::span<const std::uint8_t> message) {
    ByteWriter w;
    w.U32(static_cast<std::uint32_t>(message.size()));
    w.Bytes(message);
    return w.Take();
}

bool TcpDeframer::Append(std::span<const std::uint8_t> bytes) {
    buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
    // Check every announced length we can already see.
    std::size_t at = 0;
    while (at + kTcpPrefixSize <= buffer_.size()) {
        const std::size_t length = ByteView(buffer_).U32(at);
        if (length > kMaxTcpMessage) {
            return false;
        }
        at += kTcpPrefixSize + length;
    }
    return true;
}

std::optional<std::size_t> TcpDeframer::WholeMessageAt(std::size_t at) const {
    if (at + kTcpPrefixSize > buffer_.size()) {
        return std::nullopt;
    }
    const std::size_t length = ByteView(buffer_).U32(at);
    if (buffer_.size() - at - kTcpPrefixSize < length) {
        return std::nullopt;
    }
    return length;
}

bool TcpDeframer::HasWholeMessage() const {
    return WholeMessageAt(0).has_value();
}

std::size_t TcpDeframer::FirstMessageSize() const {
    return WholeMessageAt(0).value_or(0);
}

std::span<const std::uint8_t> TcpDeframer::FirstMessage() const {
    const auto length = WholeMessageAt(0);
    if (!length) {
        return {};
    }
    return std::span(buffer_).subspan(kTcpPrefixSize, *length);
}

std::size_t TcpDeframer::BytesInWholeMessages() const {
    std::size_t total = 0;
    std::size_t at = 0;
    while (auto length = WholeMessageAt(at)) {
        total += *length;
        at += kTcpPrefixSize + *length;
    }
    return total;
}

std::optional<std::vector<std::uint8_t>> TcpDeframer::Pop() {
    const auto length = WholeMessageAt(0);
    if (!length) {
        return std::nullopt;
    }
    const auto first = buffer_.begin() + static_cast<std::ptrdiff_t>(kTcpPrefixSize);
    std::vector<std::uint8_t> message(first, first + static_cast<std::ptrdiff_t>(*length));
    buffer_.erase(buffer_.begin(), first + static_cast<std::ptrdiff_t>(*length));
    return message;
}

}  // namespace transport
}  // namespace veltrix
