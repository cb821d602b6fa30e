#include "protocol/protocol.h"

#include <algorithm>

#include "protocol/bytes.h"

namespace veltrix {

std::uint32_t ServiceMessage::code() const {
    return ByteView(raw).u32(0);
}

std::uint16_t ServiceMessage::length() const {
    return ByteView(raw).u16(4);
}

void ServiceMessage::setCode(std::uint32_t value) {
    PutU32(raw, 0, value);
}

void ServiceMessage::setLength(std::uint16_t value) {
    PutU16(raw, 4, value);
}

void ServiceMessage::setRequest(std::uint32_t value, std::span<const std::uint8_t> bytes) {
    setCode(value);
    setData(bytes);
}

void ServiceMessage::setData(std::span<const std::uint8_t> bytes) {
    const std::size_t n = std::min(bytes.size(), kMaxData);
    std::copy_n(bytes.begin(), n, data().begin());
    setLength(static_cast<std::uint16_t>(n));
}

std::size_t ServiceMessage::wireSize() const {
    return kHeaderSize + std::min<std::size_t>(length(), kMaxData);
}

std::string ServiceMessage::text(std::size_t capacity) const {
    std::size_t n = std::min<std::size_t>(length(), kMaxData);
    n = std::min(n, received > kHeaderSize ? received - kHeaderSize : std::size_t{0});
    n = std::min(n, capacity > 0 ? capacity - 1 : std::size_t{0});
    return ByteView(data()).text(0, n);
}

std::uint32_t ServiceMessage::number() const {
    const std::size_t n = std::min<std::size_t>(length(), 4);
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < n; ++i) {
        value |= static_cast<std::uint32_t>(data()[i]) << (8 * i);
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

std::string ServiceConfig::logFileNameText() const {
    const auto end = std::find(logFileName.begin(), logFileName.end(), '\0');
    return std::string(logFileName.begin(), end);
}

void ServiceConfig::setLogFileName(std::string_view name) {
    logFileName.fill('\0');
    const std::size_t n = std::min(name.size(), kLogFileNameSize - 1);
    std::copy_n(name.begin(), n, logFileName.begin());
}

bool SendsFullServiceConfig(std::uint16_t major, std::uint16_t minor, std::uint16_t build) {
    return major > 3 || (major == 3 && (minor > 0 || (minor == 0 && build > 2)));
}

void ServiceConfig::applyReply(std::span<const std::uint8_t> data) {
    const ByteView in(data);
    versionMajor = in.u16(0);
    versionMinor = in.u16(2);
    versionBuild = in.u16(4);
    versionRevision = in.u16(6);
    reserved = in.u16(8);
    configFlags = in.u8(10);
    if (!SendsFullServiceConfig(versionMajor, versionMinor, versionBuild)) {
        return;
    }
    for (std::size_t i = 0; i < kLogFileNameSize; ++i) {
        logFileName[i] = static_cast<char>(in.u8(kVersionPartSize + i));
    }
}

std::array<std::uint8_t, ServiceConfig::kSize> ServiceConfig::encode() const {
    ByteWriter w;
    w.u16(versionMajor).u16(versionMinor).u16(versionBuild).u16(versionRevision);
    w.u16(reserved).u8(configFlags);
    for (char c : logFileName) {
        w.u8(static_cast<std::uint8_t>(c));
    }
    std::array<std::uint8_t, kSize> out{};
    std::copy(w.data().begin(), w.data().end(), out.begin());
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
    t.year = in.u16(0);
    t.month = in.u16(2);
    t.dayOfWeek = in.u16(4);
    t.day = in.u16(6);
    t.hour = in.u16(8);
    t.minute = in.u16(10);
    t.second = in.u16(12);
    t.milliseconds = in.u16(14);
    return t;
}

std::array<std::uint8_t, SystemTime::kSize> SystemTime::encode() const {
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
    s.errorCode = in.u16(16);
    s.nothingNew = in.u8(18);
    s.text = in.text(19, kTextSize);
    return s;
}

std::array<std::uint8_t, MailStatus::kSize> MailStatus::encode() const {
    ByteWriter w;
    w.bytes(time.encode()).u16(errorCode).u8(nothingNew).fixedText(text, kTextSize - 1);
    std::array<std::uint8_t, kSize> out{};
    std::copy(w.data().begin(), w.data().end(), out.begin());
    return out;
}

}  // namespace veltrix
