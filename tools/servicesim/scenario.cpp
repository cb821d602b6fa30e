#include "servicesim/scenario.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <limits>
#include <map>
#include <set>
#include <sstream>

#include <nlohmann/json.hpp>

namespace veltrix::sim {

namespace {

using nlohmann::json;

[[noreturn]] void Fail(const std::string& path, const std::string& what) {
    throw ScenarioError(path + ": " + what);
}

std::string Join(const std::string& path, const std::string& key) {
    return path.empty() ? key : path + "." + key;
}

std::string Index(const std::string& path, std::size_t i) {
    return path + "[" + std::to_string(i) + "]";
}

// A number from a JSON number or a text ("0x1F", "42").
std::uint64_t ToUnsigned(const json& value, const std::string& path, std::uint64_t max) {
    std::uint64_t n = 0;
    if (value.is_number_unsigned()) {
        n = value.get<std::uint64_t>();
    } else if (value.is_number_integer()) {
        const auto v = value.get<std::int64_t>();
        if (v < 0) {
            Fail(path, "must not be negative");
        }
        n = static_cast<std::uint64_t>(v);
    } else if (value.is_string()) {
        const std::string text = value.get<std::string>();
        std::size_t used = 0;
        try {
            n = std::stoull(text, &used, 0);
        } catch (const std::exception&) {
            Fail(path, "\"" + text + "\" is not a number");
        }
        if (used != text.size() || text.empty() || text[0] == '-') {
            Fail(path, "\"" + text + "\" is not a number");
        }
    } else {
        Fail(path, "expected an unsigned number");
    }
    if (n > max) {
        Fail(path, "value " + std::to_string(n) + " is above the limit " + std::to_string(max));
    }
    return n;
}

// Reads the members of one JSON object and refuses keys it does not know.
class ObjectReader {
  public:
    ObjectReader(const json& object, std::string path) : object_(object), path_(std::move(path)) {
        if (!object_.is_object()) {
            Fail(path_, "expected an object");
        }
    }

    bool has(const std::string& key) {
        seen_.insert(key);
        return object_.contains(key);
    }

    const json& at(const std::string& key) {
        seen_.insert(key);
        return object_.at(key);
    }

    std::string path(const std::string& key) const { return Join(path_, key); }
    const std::string& path() const { return path_; }

    template <typename T>
    void number(const std::string& key, T& out) {
        if (has(key)) {
            out = static_cast<T>(
                ToUnsigned(object_.at(key), path(key), std::numeric_limits<T>::max()));
        }
    }
    template <typename T>
    void number(const std::string& key, T& out, std::uint64_t max) {
        if (has(key)) {
            out = static_cast<T>(ToUnsigned(object_.at(key), path(key), max));
        }
    }
    template <typename T>
    void number(const std::string& key, std::optional<T>& out) {
        if (has(key)) {
            out = static_cast<T>(
                ToUnsigned(object_.at(key), path(key), std::numeric_limits<T>::max()));
        }
    }
    template <typename T>
    T required(const std::string& key, std::uint64_t max = std::numeric_limits<T>::max()) {
        if (!has(key)) {
            Fail(path_, "missing \"" + key + "\"");
        }
        return static_cast<T>(ToUnsigned(object_.at(key), path(key), max));
    }

    void flag(const std::string& key, bool& out) {
        if (!has(key)) {
            return;
        }
        const json& v = object_.at(key);
        if (v.is_boolean()) {
            out = v.get<bool>();
        } else {
            out = ToUnsigned(v, path(key), 1) != 0;
        }
    }

    void text(const std::string& key, std::string& out, std::size_t maxLength) {
        if (!has(key)) {
            return;
        }
        const json& v = object_.at(key);
        if (!v.is_string()) {
            Fail(path(key), "expected a text");
        }
        out = v.get<std::string>();
        if (out.size() > maxLength) {
            Fail(path(key), "longer than " + std::to_string(maxLength) + " characters");
        }
    }

    const json* array(const std::string& key) {
        if (!has(key)) {
            return nullptr;
        }
        const json& v = object_.at(key);
        if (!v.is_array()) {
            Fail(path(key), "expected an array");
        }
        return &v;
    }

    // Every key must have been asked for: a misspelt key is an error, not a default.
    void done() const {
        for (const auto& item : object_.items()) {
            if (!seen_.contains(item.key())) {
                Fail(path_, "unknown key \"" + item.key() + "\"");
            }
        }
    }

  private:
    const json& object_;
    std::string path_;
    std::set<std::string> seen_;
};

void ReadAddress(ObjectReader& r, std::uint8_t& channel, std::uint8_t& pmPort) {
    channel = r.required<std::uint8_t>("channel", 7);
    pmPort = 0;
    r.number("pmPort", pmPort, 15);
}

EventSpec ReadEvent(const json& j, const std::string& path) {
    ObjectReader r(j, path);
    EventSpec e;
    r.number("controller", e.controller);
    r.number("deviceIndex", e.deviceIndex);
    r.number("port", e.port);
    r.number("setIndex", e.setIndex);
    r.number("drive", e.drive);
    e.code = r.required<std::uint32_t>("code");
    r.done();
    return e;
}

Timing ReadTiming(ObjectReader& r) {
    Timing t;
    t.atMs = r.required<std::uint64_t>("at");
    if (r.has("after")) {
        const json& v = r.at("after");
        const std::string anchor = v.is_string() ? v.get<std::string>() : std::string();
        if (anchor == "start") {
            t.anchor = Anchor::Start;
        } else if (anchor == "login") {
            t.anchor = Anchor::Login;
        } else {
            Fail(r.path("after"), "expected \"start\" or \"login\"");
        }
    }
    r.number("every", t.everyMs);
    return t;
}

std::vector<std::uint8_t> ReadHex(const std::string& text, const std::string& path) {
    std::vector<std::uint8_t> out;
    int high = -1;
    for (char c : text) {
        if (std::isspace(static_cast<unsigned char>(c)) != 0) {
            continue;
        }
        if (std::isxdigit(static_cast<unsigned char>(c)) == 0) {
            Fail(path, "not a hexadecimal digit: '" + std::string(1, c) + "'");
        }
        const int digit = std::isdigit(static_cast<unsigned char>(c)) != 0
                              ? c - '0'
                              : std::tolower(static_cast<unsigned char>(c)) - 'a' + 10;
        if (high < 0) {
            high = digit;
        } else {
            out.push_back(static_cast<std::uint8_t>(high * 16 + digit));
            high = -1;
        }
    }
    if (high >= 0) {
        Fail(path, "odd number of hexadecimal digits");
    }
    return out;
}

std::vector<std::uint8_t> ReadFile(const std::string& file, const std::string& path) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        Fail(path, "cannot read \"" + file + "\"");
    }
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A reply code that must mean "end" or "error" to the client: above 100.
std::uint32_t ReadEndCode(ObjectReader& r, const std::string& key, std::uint32_t code) {
    r.number(key, code);
    if (code <= 100) {
        Fail(r.path(key), "must be above 100 (0..100 are progress)");
    }
    return code;
}

FlashSpec ReadFlash(const json& j, const std::string& path, const std::string& baseDir) {
    static const std::map<std::string, FlashSpec::Content> kContents = {
        {"biosImage", FlashSpec::Content::BiosImage},
        {"pattern", FlashSpec::Content::Pattern},
        {"fill", FlashSpec::Content::Fill},
    };
    ObjectReader r(j, path);
    FlashSpec f;
    r.number("chipId", f.chipId);
    r.text("chipName", f.chipName, ServiceMessage::kMaxData);
    r.number("size", f.size, kMaxFlashSize);
    const std::uint32_t size = FlashRomSize(f);
    r.number("fill", f.fill);
    if (r.has("content")) {
        std::string content;
        r.text("content", content, 64);
        const auto found = kContents.find(content);
        if (found == kContents.end()) {
            Fail(r.path("content"), "expected \"biosImage\", \"pattern\" or \"fill\"");
        }
        f.content = found->second;
    }
    const bool hex = r.has("imageHex");
    const bool file = r.has("imageFile");
    if (hex || file) {
        if (r.has("content") || (hex && file)) {
            Fail(path, "give one of \"content\", \"imageHex\" and \"imageFile\"");
        }
        f.content = FlashSpec::Content::Bytes;
    }
    if (hex) {
        std::string text;
        r.text("imageHex", text, std::numeric_limits<std::size_t>::max());
        f.image = ReadHex(text, r.path("imageHex"));
    }
    if (file) {
        std::string name;
        r.text("imageFile", name, 4096);
        if (!name.empty() && name[0] != '/') {
            name = baseDir + "/" + name;
        }
        f.image = ReadFile(name, r.path("imageFile"));
    }
    if (f.image.size() > size) {
        Fail(r.path(hex ? "imageHex" : "imageFile"), "image of " + std::to_string(f.image.size()) +
                                                         " bytes does not fit the " +
                                                         std::to_string(size) + "-byte flash ROM");
    }
    for (const char* key : {"biosVersion", "imageVendorId", "imageDeviceId", "imageSize"}) {
        if (r.has(key) && f.content != FlashSpec::Content::BiosImage) {
            Fail(r.path(key), "only for the generated BIOS image (\"content\": \"biosImage\")");
        }
    }
    r.number("biosVersion", f.biosVersion);
    r.number("imageVendorId", f.imageVendorId);
    r.number("imageDeviceId", f.imageDeviceId);
    r.number("imageSize", f.imageSize, size);
    f.readEndCode = ReadEndCode(r, "readEndCode", f.readEndCode);
    r.number("readBlockSize", f.readBlockSize, kFlashBlockSize);
    if (f.readBlockSize == 0) {
        Fail(r.path("readBlockSize"), "must be at least 1");
    }
    FlashFaults& faults = f.faults;
    if (r.has("writeErrorAt")) {
        const std::uint32_t blocks = size / kFlashBlockSize;
        if (blocks == 0) {
            Fail(r.path("writeErrorAt"), "the flash ROM has no whole block");
        }
        faults.writeErrorAt = r.required<std::uint32_t>("writeErrorAt", blocks - 1);
    }
    faults.writeErrorCode = ReadEndCode(r, "writeErrorCode", faults.writeErrorCode);
    r.flag("writesIgnored", faults.writesIgnored);
    r.flag("versionIoError", faults.versionIoError);
    r.number("eraseMs", faults.eraseMs, 3600000);
    r.done();
    return f;
}

DriveSpec ReadDrive(const json& j, const std::string& path) {
    ObjectReader r(j, path);
    DriveSpec d;
    ReadAddress(r, d.channel, d.pmPort);
    r.text("model", d.model, 40);
    r.text("serial", d.serial, 20);
    r.text("firmware", d.firmware, 8);
    r.number("capacity", d.capacity, (std::uint64_t{1} << 48) - 1);
    r.number("linkFlags", d.linkFlags);
    r.number("sataGeneration", d.sataGeneration);
    r.number("smartFlags", d.smartFlags);
    r.number("portState", d.portState);
    r.number("extraValue", d.extraValue);
    r.flag("present", d.present);
    r.done();
    return d;
}

RaidSetSpec ReadSet(const json& j, const std::string& path) {
    ObjectReader r(j, path);
    RaidSetSpec s;
    ReadAddress(r, s.channel, s.pmPort);
    r.number("port", s.port);
    r.number("type", s.raidType);
    r.number("deviceNumber", s.deviceNumber);
    r.number("capacity", s.capacity);
    r.number("priority", s.priority);
    r.number("driveCount", s.driveCount);
    r.number("stateFlags", s.stateFlags);
    r.number("chunkSize", s.chunkSize);
    r.number("raidFlags", s.raidFlags);
    r.flag("present", s.present);
    if (const json* members = r.array("members")) {
        if (members->size() > 4) {
            Fail(r.path("members"), "at most four members");
        }
        for (std::size_t i = 0; i < members->size(); ++i) {
            s.members[i] = static_cast<std::uint8_t>(
                ToUnsigned((*members)[i], Index(r.path("members"), i), 0xFF));
        }
    }
    r.done();
    return s;
}

RebuildSpec ReadRebuild(const json& j, const std::string& path) {
    ObjectReader r(j, path);
    RebuildSpec b;
    r.flag("active", b.active);
    r.number("setPort", b.setPort);
    r.number("startPosition", b.startPosition);
    r.number("sectorsPerSecond", b.sectorsPerSecond);
    r.number("endPosition", b.endPosition);
    if (r.has("completionEvent")) {
        b.completionEvent = ReadEvent(r.at("completionEvent"), r.path("completionEvent"));
    }
    r.number("completedStateFlags", b.completedStateFlags);
    r.done();
    return b;
}

ControllerSpec ReadController(const json& j, const std::string& path, const std::string& baseDir) {
    ObjectReader r(j, path);
    ControllerSpec c;
    r.number("vendorId", c.vendorId);
    r.number("deviceId", c.deviceId);
    r.text("name", c.name, 20);
    r.text("driverVersion", c.driverVersion, 4);
    r.number("biosVersion", c.biosVersion);
    r.number("channelCount", c.channelCount);
    r.flag("jbod", c.jbod);
    r.flag("raid5", c.raid5);
    r.flag("portMultiplier", c.portMultiplier);
    r.number("deviceCount", c.deviceCount);
    r.number("raidSetCount", c.raidSetCount);
    if (const json* drives = r.array("drives")) {
        std::set<std::pair<int, int>> seen;
        for (std::size_t i = 0; i < drives->size(); ++i) {
            const std::string at = Index(r.path("drives"), i);
            c.drives.push_back(ReadDrive((*drives)[i], at));
            if (!seen.insert({c.drives.back().channel, c.drives.back().pmPort}).second) {
                Fail(at, "a second drive at the same address");
            }
        }
    }
    if (const json* sets = r.array("raidSets")) {
        std::set<std::pair<int, int>> seen;
        for (std::size_t i = 0; i < sets->size(); ++i) {
            const std::string at = Index(r.path("raidSets"), i);
            c.sets.push_back(ReadSet((*sets)[i], at));
            if (!seen.insert({c.sets.back().channel, c.sets.back().pmPort}).second) {
                Fail(at, "a second RAID set at the same address");
            }
        }
    }
    if (r.has("rebuild")) {
        c.rebuild = ReadRebuild(r.at("rebuild"), r.path("rebuild"));
    }
    if (r.has("flash")) {
        c.flash = ReadFlash(r.at("flash"), r.path("flash"), baseDir);
    }
    r.done();
    return c;
}

Effect ReadEffect(const json& j, const std::string& path) {
    static const std::map<std::string, Effect::Kind> kKinds = {
        {"removeDrive", Effect::Kind::RemoveDrive},   {"restoreDrive", Effect::Kind::RestoreDrive},
        {"setDrive", Effect::Kind::SetDrive},         {"removeSet", Effect::Kind::RemoveSet},
        {"restoreSet", Effect::Kind::RestoreSet},     {"setSet", Effect::Kind::SetSet},
        {"startRebuild", Effect::Kind::StartRebuild}, {"stopRebuild", Effect::Kind::StopRebuild},
    };
    ObjectReader r(j, path);
    Effect e;
    std::string kind;
    r.text("kind", kind, 64);
    const auto found = kKinds.find(kind);
    if (found == kKinds.end()) {
        Fail(r.path("kind"), "unknown effect \"" + kind + "\"");
    }
    e.kind = found->second;
    e.controller = r.required<std::uint8_t>("controller");
    switch (e.kind) {
        case Effect::Kind::StartRebuild:
            r.number("setPort", e.setPort);
            r.number("position", e.position);
            break;
        case Effect::Kind::StopRebuild:
            break;
        default:
            ReadAddress(r, e.channel, e.pmPort);
            if (e.kind == Effect::Kind::SetDrive) {
                r.number("portState", e.portState);
                r.number("smartFlags", e.smartFlags);
            } else if (e.kind == Effect::Kind::SetSet) {
                r.number("stateFlags", e.stateFlags);
            }
            break;
    }
    r.done();
    return e;
}

SystemTime ReadTime(const json& j, const std::string& path) {
    ObjectReader r(j, path);
    SystemTime t;
    r.number("year", t.year);
    r.number("month", t.month);
    r.number("dayOfWeek", t.dayOfWeek);
    r.number("day", t.day);
    r.number("hour", t.hour);
    r.number("minute", t.minute);
    r.number("second", t.second);
    r.number("milliseconds", t.milliseconds);
    r.done();
    return t;
}

MailSettings ReadMail(const json& j, const std::string& path) {
    ObjectReader r(j, path);
    MailSettings m;
    // A text reply reaches the client through a 104-byte buffer.
    constexpr std::size_t kText = 103;
    r.text("senderName", m.senderName, kText);
    r.text("senderAddress", m.senderAddress, kText);
    r.text("userName", m.userName, kText);
    r.text("password", m.password, kText);
    r.text("server", m.server, kText);
    r.text("recipient", m.recipient, kText);
    r.number("flags", m.flags);
    r.number("level", m.level);
    r.number("level2", m.level2);
    r.number("authMethod", m.authMethod);
    r.number("port", m.port);
    r.number("legacySsl", m.legacySsl);
    r.number("connectionType", m.connectionType);
    r.number("tlsProtocol", m.tlsProtocol);
    r.done();
    return m;
}

FaultSpec ReadFault(const json& j, const std::string& path) {
    static const std::map<std::string, FaultSpec::Kind> kKinds = {
        {"silent", FaultSpec::Kind::Silent},       {"late", FaultSpec::Kind::Late},
        {"close", FaultSpec::Kind::Close},         {"short", FaultSpec::Kind::Short},
        {"oversized", FaultSpec::Kind::Oversized}, {"drop", FaultSpec::Kind::Drop},
        {"length", FaultSpec::Kind::Length},       {"code", FaultSpec::Kind::Code},
        {"patch", FaultSpec::Kind::Patch},
    };
    ObjectReader r(j, path);
    FaultSpec f;
    if (!r.has("command")) {
        Fail(path, "missing \"command\"");
    }
    const json& command = r.at("command");
    if (command.is_string()) {
        const auto byName = CommandCodeByName(command.get<std::string>());
        f.code =
            byName
                ? *byName
                : static_cast<std::uint32_t>(ToUnsigned(command, r.path("command"), 0xFFFFFFFFu));
    } else {
        f.code = static_cast<std::uint32_t>(ToUnsigned(command, r.path("command"), 0xFFFFFFFFu));
    }
    std::string kind;
    r.text("kind", kind, 64);
    const auto found = kKinds.find(kind);
    if (found == kKinds.end()) {
        Fail(r.path("kind"), "unknown fault \"" + kind + "\"");
    }
    f.kind = found->second;
    if (r.has("count")) {
        f.count = static_cast<int>(ToUnsigned(r.at("count"), r.path("count"), 1000000));
    }
    r.number("delayMs", f.delayMs);
    r.number("bytes", f.bytes, 1024 * 1024);
    if (r.has("after") && f.kind != FaultSpec::Kind::Drop) {
        Fail(r.path("after"), "only a \"drop\" fault counts replies");
    }
    r.number("after", f.after, 1000000);
    r.number("value", f.value);
    r.number("offset", f.offset, 1024 * 1024);
    if (r.has("hex")) {
        std::string hex;
        r.text("hex", hex, 2 * 1024 * 1024);
        f.data = ReadHex(hex, r.path("hex"));
    }
    if (f.kind == FaultSpec::Kind::Oversized && f.bytes == 0) {
        f.bytes = 1200;
    }
    r.done();
    return f;
}

bool HasDrive(const ControllerSpec& c, std::uint8_t channel, std::uint8_t pmPort) {
    return std::any_of(c.drives.begin(), c.drives.end(), [&](const DriveSpec& d) {
        return d.channel == channel && d.pmPort == pmPort;
    });
}

bool HasSet(const ControllerSpec& c, std::uint8_t channel, std::uint8_t pmPort) {
    return std::any_of(c.sets.begin(), c.sets.end(), [&](const RaidSetSpec& s) {
        return s.channel == channel && s.pmPort == pmPort;
    });
}

bool HasSetPort(const ControllerSpec& c, std::uint8_t port) {
    return std::any_of(c.sets.begin(), c.sets.end(),
                       [&](const RaidSetSpec& s) { return s.portByte() == port; });
}

// Effects name controllers and addresses that must exist.
void CheckEffect(const Scenario& s, const Effect& e, const std::string& path) {
    if (e.controller >= s.controllers.size()) {
        Fail(path, "no controller " + std::to_string(e.controller));
    }
    const ControllerSpec& c = s.controllers[e.controller];
    switch (e.kind) {
        case Effect::Kind::RemoveDrive:
        case Effect::Kind::RestoreDrive:
        case Effect::Kind::SetDrive:
            if (!HasDrive(c, e.channel, e.pmPort)) {
                Fail(path, "no drive at that address");
            }
            break;
        case Effect::Kind::RemoveSet:
        case Effect::Kind::RestoreSet:
        case Effect::Kind::SetSet:
            if (!HasSet(c, e.channel, e.pmPort)) {
                Fail(path, "no RAID set at that address");
            }
            break;
        case Effect::Kind::StartRebuild:
            if (!c.rebuild.endPosition && !HasSetPort(c, e.setPort.value_or(c.rebuild.setPort))) {
                Fail(path, "no RAID set with that port and no rebuild endPosition");
            }
            break;
        case Effect::Kind::StopRebuild:
            break;
    }
}

}  // namespace

std::uint8_t RaidSetSpec::portByte() const {
    return port.value_or(static_cast<std::uint8_t>((channel & 0x07) | (pmPort << 4)));
}

std::uint32_t FlashSizeForChip(std::uint32_t chipId) {
    switch (chipId) {
        case 0x1F03:
        case 0x1F5D:
        case 0xBFB4:
        case 0xBFD4:
            return 0x10000;
        case 0x0120:
        case 0x1F04:
        case 0x1F05:
        case 0x1FD5:
        case 0x2020:
        case 0x9D1C:
        case 0xBFB5:
        case 0xBFD5:
        case 0xDAC1:
            return 0x20000;
        case 0x1240:
            return 0x40000;
        case 0x014F:
        case 0x1340:
        case 0x1380:
        case 0x7F4F:
        case 0xBFD7:
        case 0x1320C2:
            return 0x80000;
        default:
            return 0;
    }
}

bool IsNoFlashChip(std::uint32_t chipId) {
    return chipId == 0x0000 || chipId == 0x55AA || chipId == 0xA5A5 || chipId == 0xABCD ||
           chipId == 0xFFFF;
}

std::uint32_t FlashRomSize(const FlashSpec& flash) {
    if (flash.size) {
        return *flash.size;
    }
    if (IsNoFlashChip(flash.chipId)) {
        return 0;
    }
    const std::uint32_t known = FlashSizeForChip(flash.chipId);
    return known != 0 ? known : kUnknownChipFlashSize;
}

std::optional<std::uint32_t> CommandCodeByName(const std::string& name) {
    static const std::map<std::string, std::uint32_t> kCodes = {
        {"login", kLoginFaultCode},
        {"any", kAnyCommandFaultCode},
        {"FLASH_END", FLASH_END},
        {"GET_CONTROLLER_COUNT", GET_CONTROLLER_COUNT},
        {"GET_CONTROLLER_INFO", GET_CONTROLLER_INFO},
        {"GET_DEVICE", GET_DEVICE},
        {"GET_RAID_SET", GET_RAID_SET},
        {"GET_CHANGE_FLAG", GET_CHANGE_FLAG},
        {"GET_CONTROLLER_FLAG", GET_CONTROLLER_FLAG},
        {"GET_REBUILD_STATUS", GET_REBUILD_STATUS},
        {"SET_REBUILD_PRIORITY", SET_REBUILD_PRIORITY},
        {"GET_EVENT", GET_EVENT},
        {"GET_LOG_ENTRY", GET_LOG_ENTRY},
        {"MAIL_GET_SETTINGS", MAIL_GET_SETTINGS},
        {"MAIL_SET_SETTINGS", MAIL_SET_SETTINGS},
        {"MAIL_SET_LEVEL", MAIL_SET_LEVEL},
        {"MAIL_GET_LEVEL", MAIL_GET_LEVEL},
        {"MAIL_SET_LEVEL2", MAIL_SET_LEVEL2},
        {"MAIL_GET_LEVEL2", MAIL_GET_LEVEL2},
        {"GET_MAIL_STATUS", GET_MAIL_STATUS},
        {"SMTP_GET_AUTH", SMTP_GET_AUTH},
        {"SMTP_SET_AUTH", SMTP_SET_AUTH},
        {"SMTP_GET_TLS", SMTP_GET_TLS},
        {"SMTP_SET_TLS", SMTP_SET_TLS},
        {"SET_SERVICE_PASSWORD", SET_SERVICE_PASSWORD},
        {"SET_HOST_LOGFILE", SET_HOST_LOGFILE},
        {"GET_SERVICE_CONFIG", GET_SERVICE_CONFIG},
        {"FLASH_ERASE", FLASH_ERASE},
        {"FLASH_GET_TYPE_ID", FLASH_GET_TYPE_ID},
        {"FLASH_GET_TYPE_NAME", FLASH_GET_TYPE_NAME},
        {"FLASH_READ_START", FLASH_READ_START},
        {"FLASH_WRITE_START", FLASH_WRITE_START},
        {"FLASH_GET_BIOS_VERSION", FLASH_GET_BIOS_VERSION},
        {"FLASH_READ_ACK", FLASH_READ_ACK},
        {"FLASH_WRITE_BLOCK", kFlashWriteBlockFaultCode},
        {"LOGOFF", LOGOFF},
    };
    const auto found = kCodes.find(name);
    if (found == kCodes.end()) {
        return std::nullopt;
    }
    return found->second;
}

Scenario ParseScenario(const std::string& jsonText, const std::string& baseDir) {
    json root;
    try {
        root = json::parse(jsonText);
    } catch (const json::parse_error& e) {
        throw ScenarioError(std::string("invalid JSON: ") + e.what());
    }
    ObjectReader r(root, "scenario");
    Scenario s;
    r.text("password", s.password, kMaxPasswordLength);
    if (r.has("version")) {
        ObjectReader v(r.at("version"), r.path("version"));
        v.number("major", s.versionMajor);
        v.number("minor", s.versionMinor);
        v.number("build", s.versionBuild);
        v.number("revision", s.versionRevision);
        v.done();
    }
    r.number("configReserved", s.configReserved);
    r.number("configFlags", s.configFlags);
    r.text("logFileName", s.logFileName, ServiceConfig::kLogFileNameSize - 1);
    r.number("controllerCount", s.controllerCount);
    if (const json* controllers = r.array("controllers")) {
        if (controllers->size() > 255) {
            Fail(r.path("controllers"), "at most 255 controllers");
        }
        for (std::size_t i = 0; i < controllers->size(); ++i) {
            s.controllers.push_back(
                ReadController((*controllers)[i], Index(r.path("controllers"), i), baseDir));
        }
    }
    for (std::size_t i = 0; i < s.controllers.size(); ++i) {
        const ControllerSpec& c = s.controllers[i];
        if (c.rebuild.active && !c.rebuild.endPosition && !HasSetPort(c, c.rebuild.setPort)) {
            Fail(Index(r.path("controllers"), i) + ".rebuild",
                 "no RAID set with that setPort and no endPosition");
        }
    }
    if (const json* timeline = r.array("timeline")) {
        for (std::size_t i = 0; i < timeline->size(); ++i) {
            const std::string at = Index(r.path("timeline"), i);
            ObjectReader e((*timeline)[i], at);
            TimelineEntry entry;
            entry.timing = ReadTiming(e);
            if (e.has("event")) {
                entry.event = ReadEvent(e.at("event"), e.path("event"));
            }
            if (const json* effects = e.array("effects")) {
                for (std::size_t k = 0; k < effects->size(); ++k) {
                    const std::string effectPath = Index(e.path("effects"), k);
                    entry.effects.push_back(ReadEffect((*effects)[k], effectPath));
                    CheckEffect(s, entry.effects.back(), effectPath);
                }
            }
            e.flag("changeFlag", entry.setChangeFlag);
            e.done();
            s.timeline.push_back(std::move(entry));
        }
    }
    if (const json* log = r.array("errorLog")) {
        for (std::size_t i = 0; i < log->size(); ++i) {
            ObjectReader e((*log)[i], Index(r.path("errorLog"), i));
            TimedLogEntry entry;
            entry.timing = ReadTiming(e);
            e.number("controller", entry.entry.controller);
            e.number("port", entry.entry.port);
            e.number("status", entry.entry.status);
            e.number("command", entry.entry.command);
            e.number("control", entry.entry.control);
            e.number("lba", entry.entry.lba, (std::uint64_t{1} << 48) - 1);
            e.number("sectorCount", entry.entry.sectorCount);
            e.done();
            s.logEntries.push_back(entry);
        }
    }
    if (const json* failures = r.array("mailFailures")) {
        for (std::size_t i = 0; i < failures->size(); ++i) {
            ObjectReader e((*failures)[i], Index(r.path("mailFailures"), i));
            TimedMailFailure entry;
            entry.timing = ReadTiming(e);
            e.number("errorCode", entry.failure.errorCode);
            e.text("text", entry.failure.text, MailStatus::kTextSize - 1);
            if (e.has("time")) {
                entry.failure.time = ReadTime(e.at("time"), e.path("time"));
            }
            e.done();
            s.mailFailures.push_back(std::move(entry));
        }
    }
    if (r.has("mailSettings")) {
        s.mail = ReadMail(r.at("mailSettings"), r.path("mailSettings"));
    }
    if (const json* faults = r.array("faults")) {
        for (std::size_t i = 0; i < faults->size(); ++i) {
            s.faults.push_back(ReadFault((*faults)[i], Index(r.path("faults"), i)));
        }
    }
    r.done();
    return s;
}

Scenario LoadScenario(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw ScenarioError("cannot read scenario file \"" + path + "\"");
    }
    std::stringstream text;
    text << in.rdbuf();
    const auto slash = path.find_last_of('/');
    const std::string baseDir = slash == std::string::npos ? "." : path.substr(0, slash);
    try {
        return ParseScenario(text.str(), baseDir.empty() ? "/" : baseDir);
    } catch (const ScenarioError& e) {
        throw ScenarioError(path + ": " + e.what());
    }
}

}  // namespace veltrix::sim
