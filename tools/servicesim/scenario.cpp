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

#include "model/bios_image.h"

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

    bool Has(const std::string& key) {
        seen_.insert(key);
        return object_.contains(key);
    }

    const json& At(const std::string& key) {
        seen_.insert(key);
        return object_.at(key);
    }

    std::string Path(const std::string& key) const { return Join(path_, key); }
    const std::string& Path() const { return path_; }

    template <typename T>
    void Number(const std::string& key, T& out) {
        if (Has(key)) {
            out = static_cast<T>(
                ToUnsigned(object_.at(key), Path(key), std::numeric_limits<T>::max()));
        }
    }
    template <typename T>
    void Number(const std::string& key, T& out, std::uint64_t max) {
        if (Has(key)) {
            out = static_cast<T>(ToUnsigned(object_.at(key), Path(key), max));
        }
    }
    template <typename T>
    void Number(const std::string& key, std::optional<T>& out) {
        if (Has(key)) {
            out = static_cast<T>(
                ToUnsigned(object_.at(key), Path(key), std::numeric_limits<T>::max()));
        }
    }
    template <typename T>
    T Required(const std::string& key, std::uint64_t max = std::numeric_limits<T>::max()) {
        if (!Has(key)) {
            Fail(path_, "missing \"" + key + "\"");
        }
        return static_cast<T>(ToUnsigned(object_.at(key), Path(key), max));
    }

    void Flag(const std::string& key, bool& out) {
        if (!Has(key)) {
            return;
        }
        const json& v = object_.at(key);
        if (v.is_boolean()) {
            out = v.get<bool>();
        } else {
            out = ToUnsigned(v, Path(key), 1) != 0;
        }
    }

    void Text(const std::string& key, std::string& out, std::size_t maxLength) {
        if (!Has(key)) {
            return;
        }
        const json& v = object_.at(key);
        if (!v.is_string()) {
            Fail(Path(key), "expected a text");
        }
        out = v.get<std::string>();
        if (out.size() > maxLength) {
            Fail(Path(key), "longer than " + std::to_string(maxLength) + " characters");
        }
    }

    const json* Array(const std::string& key) {
        if (!Has(key)) {
            return nullptr;
        }
        const json& v = object_.at(key);
        if (!v.is_array()) {
            Fail(Path(key), "expected an array");
        }
        return &v;
    }

    // Every key must have been asked for: a misspelt key is an error, not a default.
    void Done() const {
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
    channel = r.Required<std::uint8_t>("channel", 7);
    pmPort = 0;
    r.Number("pmPort", pmPort, 15);
}

EventSpec ReadEvent(const json& j, const std::string& path) {
    ObjectReader r(j, path);
    EventSpec e;
    r.Number("controller", e.controller);
    r.Number("deviceIndex", e.deviceIndex);
    r.Number("port", e.port);
    r.Number("setIndex", e.setIndex);
    r.Number("drive", e.drive);
    e.code = r.Required<std::uint32_t>("code");
    r.Done();
    return e;
}

Timing ReadTiming(ObjectReader& r) {
    Timing t;
    t.atMs = r.Required<std::uint64_t>("at");
    if (r.Has("after")) {
        const json& v = r.At("after");
        const std::string anchor = v.is_string() ? v.get<std::string>() : std::string();
        if (anchor == "start") {
            t.anchor = Anchor::Start;
        } else if (anchor == "login") {
            t.anchor = Anchor::Login;
        } else {
            Fail(r.Path("after"), "expected \"start\" or \"login\"");
        }
    }
    r.Number("every", t.everyMs);
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
    r.Number(key, code);
    if (code <= 100) {
        Fail(r.Path(key), "must be above 100 (0..100 are progress)");
    }
    return code;
}

// What the ROM holds at the start: "content", or the bytes of "imageHex" or "imageFile".
void ReadFlashContent(ObjectReader& r, const std::string& baseDir, std::uint32_t size,
                      FlashSpec& f) {
    static const std::map<std::string, FlashSpec::Content> kContents = {
        {"biosImage", FlashSpec::Content::BiosImage},
        {"pattern", FlashSpec::Content::Pattern},
        {"fill", FlashSpec::Content::Fill},
    };
    if (r.Has("content")) {
        std::string content;
        r.Text("content", content, 64);
        const auto found = kContents.find(content);
        if (found == kContents.end()) {
            Fail(r.Path("content"), "expected \"biosImage\", \"pattern\" or \"fill\"");
        }
        f.content = found->second;
    }
    const bool hex = r.Has("imageHex");
    const bool file = r.Has("imageFile");
    if (hex || file) {
        if (r.Has("content") || (hex && file)) {
            Fail(r.Path(), "give one of \"content\", \"imageHex\" and \"imageFile\"");
        }
        f.content = FlashSpec::Content::Bytes;
    }
    if (hex) {
        std::string text;
        r.Text("imageHex", text, std::numeric_limits<std::size_t>::max());
        f.image = ReadHex(text, r.Path("imageHex"));
    }
    if (file) {
        std::string name;
        r.Text("imageFile", name, 4096);
        if (!name.empty() && name[0] != '/') {
            name = baseDir + "/" + name;
        }
        f.image = ReadFile(name, r.Path("imageFile"));
    }
    if (f.image.size() > size) {
        Fail(r.Path(hex ? "imageHex" : "imageFile"), "image of " + std::to_string(f.image.size()) +
                                                         " bytes does not fit the " +
                                                         std::to_string(size) + "-byte flash ROM");
    }
}

FlashFaults ReadFlashFaults(ObjectReader& r, std::uint32_t size, FlashFaults faults) {
    if (r.Has("writeErrorAt")) {
        const std::uint32_t blocks = size / kFlashBlockSize;
        if (blocks == 0) {
            Fail(r.Path("writeErrorAt"), "the flash ROM has no whole block");
        }
        faults.writeErrorAt = r.Required<std::uint32_t>("writeErrorAt", blocks - 1);
    }
    faults.writeErrorCode = ReadEndCode(r, "writeErrorCode", faults.writeErrorCode);
    r.Flag("writesIgnored", faults.writesIgnored);
    r.Flag("versionIoError", faults.versionIoError);
    r.Number("eraseMs", faults.eraseMs, 3600000);
    return faults;
}

FlashSpec ReadFlash(const json& j, const std::string& path, const std::string& baseDir) {
    ObjectReader r(j, path);
    FlashSpec f;
    r.Number("chipId", f.chipId);
    r.Text("chipName", f.chipName, ServiceMessage::kMaxData);
    r.Number("size", f.size, kMaxFlashSize);
    const std::uint32_t size = FlashRomSize(f);
    r.Number("fill", f.fill);
    ReadFlashContent(r, baseDir, size, f);
    for (const char* key : {"biosVersion", "imageVendorId", "imageDeviceId", "imageSize"}) {
        if (r.Has(key) && f.content != FlashSpec::Content::BiosImage) {
            Fail(r.Path(key), "only for the generated BIOS image (\"content\": \"biosImage\")");
        }
    }
    r.Number("biosVersion", f.biosVersion);
    r.Number("imageVendorId", f.imageVendorId);
    r.Number("imageDeviceId", f.imageDeviceId);
    r.Number("imageSize", f.imageSize, size);
    f.readEndCode = ReadEndCode(r, "readEndCode", f.readEndCode);
    r.Number("readBlockSize", f.readBlockSize, kFlashBlockSize);
    if (f.readBlockSize == 0) {
        Fail(r.Path("readBlockSize"), "must be at least 1");
    }
    f.faults = ReadFlashFaults(r, size, f.faults);
    r.Done();
    return f;
}

DriveSpec ReadDrive(const json& j, const std::string& path) {
    ObjectReader r(j, path);
    DriveSpec d;
    ReadAddress(r, d.channel, d.pmPort);
    r.Text("model", d.model, 40);
    r.Text("serial", d.serial, 20);
    r.Text("firmware", d.firmware, 8);
    r.Number("capacity", d.capacity, (std::uint64_t{1} << 48) - 1);
    r.Number("linkFlags", d.linkFlags);
    r.Number("sataGeneration", d.sataGeneration);
    r.Number("smartFlags", d.smartFlags);
    r.Number("portState", d.portState);
    r.Number("extraValue", d.extraValue);
    r.Flag("present", d.present);
    r.Done();
    return d;
}

RaidSetSpec ReadSet(const json& j, const std::string& path) {
    ObjectReader r(j, path);
    RaidSetSpec s;
    ReadAddress(r, s.channel, s.pmPort);
    r.Number("port", s.port);
    r.Number("type", s.raidType);
    r.Number("deviceNumber", s.deviceNumber);
    r.Number("capacity", s.capacity);
    r.Number("priority", s.priority);
    r.Number("driveCount", s.driveCount);
    r.Number("stateFlags", s.stateFlags);
    r.Number("chunkSize", s.chunkSize);
    r.Number("raidFlags", s.raidFlags);
    r.Flag("present", s.present);
    if (const json* members = r.Array("members")) {
        if (members->size() > 4) {
            Fail(r.Path("members"), "at most four members");
        }
        for (std::size_t i = 0; i < members->size(); ++i) {
            s.members[i] = static_cast<std::uint8_t>(
                ToUnsigned((*members)[i], Index(r.Path("members"), i), 0xFF));
        }
    }
    r.Done();
    return s;
}

RebuildSpec ReadRebuild(const json& j, const std::string& path) {
    ObjectReader r(j, path);
    RebuildSpec b;
    r.Flag("active", b.active);
    r.Number("setPort", b.setPort);
    r.Number("startPosition", b.startPosition);
    r.Number("sectorsPerSecond", b.sectorsPerSecond);
    r.Number("endPosition", b.endPosition);
    if (r.Has("completionEvent")) {
        b.completionEvent = ReadEvent(r.At("completionEvent"), r.Path("completionEvent"));
    }
    r.Number("completedStateFlags", b.completedStateFlags);
    r.Done();
    return b;
}

ControllerSpec ReadController(const json& j, const std::string& path, const std::string& baseDir) {
    ObjectReader r(j, path);
    ControllerSpec c;
    r.Number("vendorId", c.vendorId);
    r.Number("deviceId", c.deviceId);
    r.Text("name", c.name, 20);
    r.Text("driverVersion", c.driverVersion, 4);
    r.Number("biosVersion", c.biosVersion);
    r.Number("channelCount", c.channelCount);
    r.Flag("jbod", c.jbod);
    r.Flag("raid5", c.raid5);
    r.Flag("portMultiplier", c.portMultiplier);
    r.Number("deviceCount", c.deviceCount);
    r.Number("raidSetCount", c.raidSetCount);
    if (const json* drives = r.Array("drives")) {
        std::set<std::pair<int, int>> seen;
        for (std::size_t i = 0; i < drives->size(); ++i) {
            const std::string at = Index(r.Path("drives"), i);
            c.drives.push_back(ReadDrive((*drives)[i], at));
            if (!seen.insert({c.drives.back().channel, c.drives.back().pmPort}).second) {
                Fail(at, "a second drive at the same address");
            }
        }
    }
    if (const json* sets = r.Array("raidSets")) {
        std::set<std::pair<int, int>> seen;
        for (std::size_t i = 0; i < sets->size(); ++i) {
            const std::string at = Index(r.Path("raidSets"), i);
            c.sets.push_back(ReadSet((*sets)[i], at));
            if (!seen.insert({c.sets.back().channel, c.sets.back().pmPort}).second) {
                Fail(at, "a second RAID set at the same address");
            }
        }
    }
    if (r.Has("rebuild")) {
        c.rebuild = ReadRebuild(r.At("rebuild"), r.Path("rebuild"));
    }
    if (r.Has("flash")) {
        c.flash = ReadFlash(r.At("flash"), r.Path("flash"), baseDir);
    }
    r.Done();
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
    r.Text("kind", kind, 64);
    const auto found = kKinds.find(kind);
    if (found == kKinds.end()) {
        Fail(r.Path("kind"), "unknown effect \"" + kind + "\"");
    }
    e.kind = found->second;
    e.controller = r.Required<std::uint8_t>("controller");
    switch (e.kind) {
        case Effect::Kind::StartRebuild:
            r.Number("setPort", e.setPort);
            r.Number("position", e.position);
            break;
        case Effect::Kind::StopRebuild:
            break;
        default:
            ReadAddress(r, e.channel, e.pmPort);
            if (e.kind == Effect::Kind::SetDrive) {
                r.Number("portState", e.portState);
                r.Number("smartFlags", e.smartFlags);
            } else if (e.kind == Effect::Kind::SetSet) {
                r.Number("stateFlags", e.stateFlags);
            }
            break;
    }
    r.Done();
    return e;
}

SystemTime ReadTime(const json& j, const std::string& path) {
    ObjectReader r(j, path);
    SystemTime t;
    r.Number("year", t.year);
    r.Number("month", t.month);
    r.Number("dayOfWeek", t.dayOfWeek);
    r.Number("day", t.day);
    r.Number("hour", t.hour);
    r.Number("minute", t.minute);
    r.Number("second", t.second);
    r.Number("milliseconds", t.milliseconds);
    r.Done();
    return t;
}

MailSettings ReadMail(const json& j, const std::string& path) {
    ObjectReader r(j, path);
    MailSettings m;
    // A text reply reaches the client through a 104-byte buffer.
    constexpr std::size_t kText = 103;
    r.Text("senderName", m.senderName, kText);
    r.Text("senderAddress", m.senderAddress, kText);
    r.Text("userName", m.userName, kText);
    r.Text("password", m.password, kText);
    r.Text("server", m.server, kText);
    r.Text("recipient", m.recipient, kText);
    r.Number("flags", m.flags);
    r.Number("level", m.level);
    r.Number("level2", m.level2);
    r.Number("authMethod", m.authMethod);
    r.Number("port", m.port);
    r.Number("legacySsl", m.legacySsl);
    r.Number("connectionType", m.connectionType);
    r.Number("tlsProtocol", m.tlsProtocol);
    r.Done();
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
    if (!r.Has("command")) {
        Fail(path, "missing \"command\"");
    }
    const json& command = r.At("command");
    if (command.is_string()) {
        const auto byName = CommandCodeByName(command.get<std::string>());
        f.code =
            byName
                ? *byName
                : static_cast<std::uint32_t>(ToUnsigned(command, r.Path("command"), 0xFFFFFFFFu));
    } else {
        f.code = static_cast<std::uint32_t>(ToUnsigned(command, r.Path("command"), 0xFFFFFFFFu));
    }
    std::string kind;
    r.Text("kind", kind, 64);
    const auto found = kKinds.find(kind);
    if (found == kKinds.end()) {
        Fail(r.Path("kind"), "unknown fault \"" + kind + "\"");
    }
    f.kind = found->second;
    if (r.Has("count")) {
        f.count = static_cast<int>(ToUnsigned(r.At("count"), r.Path("count"), 1000000));
    }
    r.Number("delayMs", f.delayMs);
    r.Number("bytes", f.bytes, 1024 * 1024);
    if (r.Has("after") && f.kind != FaultSpec::Kind::Drop) {
        Fail(r.Path("after"), "only a \"drop\" fault counts replies");
    }
    r.Number("after", f.after, 1000000);
    r.Number("value", f.value);
    r.Number("offset", f.offset, 1024 * 1024);
    if (r.Has("hex")) {
        std::string hex;
        r.Text("hex", hex, 2 * 1024 * 1024);
        f.data = ReadHex(hex, r.Path("hex"));
    }
    if (f.kind == FaultSpec::Kind::Oversized && f.bytes == 0) {
        f.bytes = 1200;
    }
    r.Done();
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
                       [&](const RaidSetSpec& s) { return s.PortByte() == port; });
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

void ReadVersion(const json& j, const std::string& path, Scenario& s) {
    ObjectReader v(j, path);
    v.Number("major", s.versionMajor);
    v.Number("minor", s.versionMinor);
    v.Number("build", s.versionBuild);
    v.Number("revision", s.versionRevision);
    v.Done();
}

void ReadControllers(ObjectReader& r, const std::string& baseDir, Scenario& s) {
    if (const json* controllers = r.Array("controllers")) {
        if (controllers->size() > 255) {
            Fail(r.Path("controllers"), "at most 255 controllers");
        }
        for (std::size_t i = 0; i < controllers->size(); ++i) {
            s.controllers.push_back(
                ReadController((*controllers)[i], Index(r.Path("controllers"), i), baseDir));
        }
    }
    for (std::size_t i = 0; i < s.controllers.size(); ++i) {
        const ControllerSpec& c = s.controllers[i];
        if (c.rebuild.active && !c.rebuild.endPosition && !HasSetPort(c, c.rebuild.setPort)) {
            Fail(Index(r.Path("controllers"), i) + ".rebuild",
                 "no RAID set with that setPort and no endPosition");
        }
    }
}

// The effects are checked against the controllers, so those come first.
TimelineEntry ReadTimelineEntry(const json& j, const std::string& path, const Scenario& s) {
    ObjectReader e(j, path);
    TimelineEntry entry;
    entry.timing = ReadTiming(e);
    if (e.Has("event")) {
        entry.event = ReadEvent(e.At("event"), e.Path("event"));
    }
    if (const json* effects = e.Array("effects")) {
        for (std::size_t k = 0; k < effects->size(); ++k) {
            const std::string effectPath = Index(e.Path("effects"), k);
            entry.effects.push_back(ReadEffect((*effects)[k], effectPath));
            CheckEffect(s, entry.effects.back(), effectPath);
        }
    }
    e.Flag("changeFlag", entry.setChangeFlag);
    e.Done();
    return entry;
}

void ReadTimeline(ObjectReader& r, Scenario& s) {
    if (const json* timeline = r.Array("timeline")) {
        for (std::size_t i = 0; i < timeline->size(); ++i) {
            s.timeline.push_back(
                ReadTimelineEntry((*timeline)[i], Index(r.Path("timeline"), i), s));
        }
    }
}

void ReadErrorLog(ObjectReader& r, Scenario& s) {
    const json* log = r.Array("errorLog");
    for (std::size_t i = 0; log != nullptr && i < log->size(); ++i) {
        ObjectReader e((*log)[i], Index(r.Path("errorLog"), i));
        TimedLogEntry entry;
        entry.timing = ReadTiming(e);
        e.Number("controller", entry.entry.controller);
        e.Number("port", entry.entry.port);
        e.Number("status", entry.entry.status);
        e.Number("command", entry.entry.command);
        e.Number("control", entry.entry.control);
        e.Number("lba", entry.entry.lba, (std::uint64_t{1} << 48) - 1);
        e.Number("sectorCount", entry.entry.sectorCount);
        e.Done();
        s.logEntries.push_back(entry);
    }
}

void ReadMailFailures(ObjectReader& r, Scenario& s) {
    const json* failures = r.Array("mailFailures");
    for (std::size_t i = 0; failures != nullptr && i < failures->size(); ++i) {
        ObjectReader e((*failures)[i], Index(r.Path("mailFailures"), i));
        TimedMailFailure entry;
        entry.timing = ReadTiming(e);
        e.Number("errorCode", entry.failure.errorCode);
        e.Text("text", entry.failure.text, MailStatus::kTextSize - 1);
        if (e.Has("time")) {
            entry.failure.time = ReadTime(e.At("time"), e.Path("time"));
        }
        e.Done();
        s.mailFailures.push_back(std::move(entry));
    }
}

}  // namespace

std::uint8_t RaidSetSpec::PortByte() const {
    return port.value_or(static_cast<std::uint8_t>((channel & 0x07) | (pmPort << 4)));
}

std::uint32_t FlashRomSize(const FlashSpec& flash) {
    if (flash.size) {
        return *flash.size;
    }
    switch (FlashChipKindOf(flash.chipId)) {
        case FlashChipKind::NoRom:
            return 0;
        case FlashChipKind::Known:
            return static_cast<std::uint32_t>(FlashSizeOfChip(flash.chipId));
        case FlashChipKind::Unknown:
            break;
    }
    return kUnknownChipFlashSize;
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
    r.Text("password", s.password, kMaxPasswordLength);
    r.Text("factoryPassword", s.factoryPassword, kMaxPasswordLength);
    if (r.Has("version")) {
        ReadVersion(r.At("version"), r.Path("version"), s);
    }
    r.Number("configReserved", s.configReserved);
    r.Number("configFlags", s.configFlags);
    r.Text("logFileName", s.logFileName, ServiceConfig::kLogFileNameSize - 1);
    r.Number("controllerCount", s.controllerCount);
    ReadControllers(r, baseDir, s);
    ReadTimeline(r, s);
    ReadErrorLog(r, s);
    ReadMailFailures(r, s);
    if (r.Has("mailSettings")) {
        s.mail = ReadMail(r.At("mailSettings"), r.Path("mailSettings"));
    }
    if (const json* faults = r.Array("faults")) {
        for (std::size_t i = 0; i < faults->size(); ++i) {
            s.faults.push_back(ReadFault((*faults)[i], Index(r.Path("faults"), i)));
        }
    }
    r.Done();
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
