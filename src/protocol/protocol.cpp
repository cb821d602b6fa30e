#include "protocol/protocol.h"

#include <algorithm>

#include "protocol/bytes.h"

namespace veltrix {

std::uint32_t ServiceMessage::Code() const {
    return ByteView(raw).U32(0);
}

std::uint16_t ServiceMessage::Length() const {
    return ByteView(raw).U16(4);
}

void ServiceMessage::SetCode(std::uint32_t value) {
    PutU32(raw, 0, value);
}

void ServiceMessage::SetLength(std::uint16_t value) {
    PutU16(raw, 4, value);
}

void ServiceMessage::SetRequest(std::uint32_t value, std::span<const std::uint8_t> bytes) {
    SetCode(value);
    SetData(bytes);
}

void ServiceMessage::SetData(std::span<const std::uint8_t> bytes) {
    const std::size_t n = std::min(bytes.size(), kMaxData);
    std::copy_n(bytes.begin(), n, Data().begin());
    SetLength(static_cast<std::uint16_t>(n));
}

std::size_t ServiceMessage::WireSize() const {
    return kHeaderSize + std::min<std::size_t>(Length(), kMaxData);
}

std::string ServiceMessage::Text(std::size_t capacity) const {
    std::size_t n = std::min<std::size_t>(Length(), kMaxData);
    n = std::min(n, received > kHeaderSize ? received - kHeaderSize : std::size_t{0});
    n = std::min(n, capacity > 0 ? capacity - 1 : std::size_t{0});
    return ByteView(Data()).Text(0, n);
}

std::uint32_t ServiceMessage::Number() const {
    const std::size_t n = std::min<std::size_t>(Length(), 4);
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < n; ++i) {
        value |= static_cast<std::uint32_t>(Data()[i]) << (8 * i);
    }
    return value;
}

std::array<std::uint8_t, kLoginBlockSize> BuildLoginBlock(std::string_view password) {
    std::array<std::uint8_t, kLoginBlockSize> block{};
    const std::size_t n = std::min(password.size(), kMaxPasswordLength);
    for (std::size_t i = 0; i < n; ++i) {
        block[i] = static_cast<std::uint8_t>(password[i]);
    }
    return block;
}

bool IsLoginAccepted(std::span<const std::uint8_t> reply) {
    return reply.size() >= kLoginAccepted.size() &&
           std::equal(kLoginAccepted.begin(), kLoginAccepted.end(), reply.begin());
}

std::string ServiceConfig::LogFileNameText() const {
    const auto end = std::find(logFileName.begin(), logFileName.end(), '\0');
    return std::string(logFileName.begin(), end);
}

void ServiceConfig::SetLogFileName(std::string_view name) {
    logFileName.fill('\0');
    const std::size_t n = std::min(name.size(), kLogFileNameSize - 1);
    std::copy_n(name.begin(), n, logFileName.begin());
}

bool SendsFullServiceConfig(std::uint16_t major, std::uint16_t minor, std::uint16_t build) {
    return major > 3 || (major == 3 && (minor > 0 || (minor == 0 && build > 2)));
}

void ServiceConfig::ApplyReply(std::span<const std::uint8_t> data) {
    const ByteView in(data);
    versionMajor = in.U16(0);
    versionMinor = in.U16(2);
    versionBuild = in.U16(4);
    versionRevision = in.U16(6);
    reserved = in.U16(8);
    configFlags = in.U8(10);
    if (!SendsFullServiceConfig(versionMajor, versionMinor, versionBuild)) {
        return;
    }
    for (std::size_t i = 0; i < kLogFileNameSize; ++i) {
        logFileName[i] = static_cast<char>(in.U8(kVersionPartSize + i));
    }
}

std::array<std::uint8_t, ServiceConfig::kSize> ServiceConfig::Encode() const {
    ByteWriter w;
    w.U16(versionMajor).U16(versionMinor).U16(versionBuild).U16(versionRevision);
    w.U16(reserved).U8(configFlags);
    for (char c : logFileName) {
        w.U8(static_cast<std::uint8_t>(c));
    }
    std::array<std::uint8_t, kSize> out{};
    std::copy(w.Data().begin(), w.Data().end(), out.begin());
    return out;
}

std::uint32_t ServiceVersionNumber(std::uint16_t major, std::uint16_t minor, std::uint16_t build,
                                   std::uint16_t revision) {
    // Unsigned arithmetic: absurd version words wrap instead of overflowing a signed int.
    std::uint32_t n = ((std::uint32_t{major} * 100u + minor) * 100u + build) * 100u;
    if (n >= kVersionSmtpAuth) {
        n += revision;
    }
    return n;
}

std::uint32_t ServiceVersionNumber(const ServiceConfig& config) {
    return ServiceVersionNumber(config.versionMajor, config.versionMinor, config.versionBuild,
                                config.versionRevision);
}

SystemTime SystemTime::Decode(std::span<const std::uint8_t> bytes) {
    const ByteView in(bytes);
    SystemTime t;
    t.year = in.U16(0);
    t.month = in.U16(2);
    t.dayOfWeek = in.U16(4);
    t.day = in.U16(6);
    t.hour = in.U16(8);
    t.minute = in.U16(10);
    t.second = in.U16(12);
    t.milliseconds = in.U16(14);
    return t;
}

std::array<std::uint8_t, SystemTime::kSize> SystemTime::Encode() const {
    std::array<std::uint8_t, kSize> out{};
    const std::uint16_t words[] = {year, month, dayOfWeek, day, hour, minute, second, milliseconds};
    for (std::size_t i = 0; i < 8; ++i) {
        PutU16(out, 2 * i, words[i]);
    }
    return out;
}

MailStatus MailStatus::Decode(std::span<const std::uint8_t> bytes) {
    const ByteView in(bytes);
    MailStatus s;
    s.time = SystemTime::Decode(bytes);
    s.errorCode = in.U16(16);
    s.nothingNew = in.U8(18);
    s.text = in.Text(19, kTextSize);
    return s;
}

std::array<std::uint8_t, MailStatus::kSize> MailStatus::Encode() const {
    ByteWriter w;
    w.Bytes(time.Encode()).U16(errorCode).U8(nothingNew).FixedText(text, kTextSize - 1);
    std::array<std::uint8_t, kSize> out{};
    std::copy(w.Data().begin(), w.Data().end(), out.begin());
    return out;
}

}  // namespace veltrix
