#include "servicesim/engine.h"

#include <algorithm>
#include <ctime>

namespace veltrix::sim {

std::vector<std::uint8_t> BuildReply(std::uint32_t code, std::span<const std::uint8_t> data) {
    const std::size_t n = std::min(data.size(), ServiceMessage::kMaxData);
    ByteWriter w;
    w.U32(code).U16(static_cast<std::uint16_t>(n)).Bytes(data.first(n));
    return w.Take();
}

ServiceEngine::ServiceEngine(Scenario scenario, std::chrono::system_clock::time_point wallBase)
    : scenario_(std::move(scenario)), wallBase_(wallBase) {
    password_ = scenario_.password;
    factoryPassword_ = scenario_.factoryPassword;
    configFlags_ = scenario_.configFlags;
    logFileName_ = scenario_.logFileName;
    mail_ = scenario_.mail;
    for (const ControllerSpec& spec : scenario_.controllers) {
        Controller c;
        c.spec = spec;
        c.flash = FlashRom(spec);
        c.spec.flash.image.clear();  // held by the ROM
        controllers_.push_back(std::move(c));
    }
    for (Controller& c : controllers_) {
        if (c.spec.rebuild.active) {
            StartRebuild(c, c.spec.rebuild.setPort, c.spec.rebuild.startPosition, 0);
        }
    }
    for (std::size_t i = 0; i < scenario_.timeline.size(); ++i) {
        Schedule(Scheduled::Kind::Timeline, i, scenario_.timeline[i].timing);
    }
    for (std::size_t i = 0; i < scenario_.logEntries.size(); ++i) {
        Schedule(Scheduled::Kind::Log, i, scenario_.logEntries[i].timing);
    }
    for (std::size_t i = 0; i < scenario_.mailFailures.size(); ++i) {
        Schedule(Scheduled::Kind::Mail, i, scenario_.mailFailures[i].timing);
    }
}

void ServiceEngine::Schedule(Scheduled::Kind kind, std::size_t index, const Timing& timing) {
    Scheduled s;
    s.kind = kind;
    s.index = index;
    s.timing = timing;
    if (timing.anchor == Anchor::Start) {
        s.nextDueMs = timing.atMs;
    }
    schedule_.push_back(s);
}

void ServiceEngine::BeginSession() {
    session_ = Session{};
}

void ServiceEngine::EndSession() {
    session_ = Session{};
}

SystemTime ServiceEngine::WallTime(std::uint64_t simMs) const {
    const auto at = wallBase_ + std::chrono::milliseconds(simMs);
    const std::time_t seconds = std::chrono::system_clock::to_time_t(at);
    std::tm tm{};
    localtime_r(&seconds, &tm);
    const auto sinceEpoch = at.time_since_epoch();
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(sinceEpoch).count() % 1000;
    SystemTime t;
    t.year = static_cast<std::uint16_t>(tm.tm_year + 1900);
    t.month = static_cast<std::uint16_t>(tm.tm_mon + 1);
    t.dayOfWeek = static_cast<std::uint16_t>(tm.tm_wday);
    t.day = static_cast<std::uint16_t>(tm.tm_mday);
    t.hour = static_cast<std::uint16_t>(tm.tm_hour);
    t.minute = static_cast<std::uint16_t>(tm.tm_min);
    t.second = static_cast<std::uint16_t>(tm.tm_sec);
    t.milliseconds = static_cast<std::uint16_t>(ms < 0 ? 0 : ms);
    return t;
}

// ---------------------------------------------------------------- lookups

ServiceEngine::Controller* ServiceEngine::FindController(std::uint32_t index) {
    return index < controllers_.size() ? &controllers_[index] : nullptr;
}

const ServiceEngine::Controller* ServiceEngine::FindController(std::uint32_t index) const {
    return index < controllers_.size() ? &controllers_[index] : nullptr;
}

RaidSetSpec* ServiceEngine::RaidSetByPort(Controller& c, std::uint8_t port) {
    for (RaidSetSpec& s : c.spec.sets) {
        if (s.PortByte() == port) {
            return &s;
        }
    }
    return nullptr;
}

const RaidSetSpec* ServiceEngine::RaidSetByPort(const Controller& c, std::uint8_t port) const {
    for (const RaidSetSpec& s : c.spec.sets) {
        if (s.PortByte() == port) {
            return &s;
        }
    }
    return nullptr;
}

// ---------------------------------------------------------------- inspection

std::uint32_t ServiceEngine::ControllerCount() const {
    return scenario_.controllerCount.value_or(static_cast<std::uint32_t>(controllers_.size()));
}

ServiceConfig ServiceEngine::Config() const {
    ServiceConfig config;
    config.versionMajor = scenario_.versionMajor;
    config.versionMinor = scenario_.versionMinor;
    config.versionBuild = scenario_.versionBuild;
    config.versionRevision = scenario_.versionRevision;
    config.reserved = scenario_.configReserved;
    config.configFlags = configFlags_;
    config.SetLogFileName(logFileName_);
    return config;
}

std::optional<std::uint8_t> ServiceEngine::RaidSetPriority(std::uint8_t ctl,
                                                           std::uint8_t port) const {
    const Controller* c = FindController(ctl);
    const RaidSetSpec* s = c != nullptr ? RaidSetByPort(*c, port) : nullptr;
    return s != nullptr ? std::optional<std::uint8_t>(s->priority) : std::nullopt;
}

std::optional<std::uint8_t> ServiceEngine::RaidSetStateFlags(std::uint8_t ctl,
                                                             std::uint8_t port) const {
    const Controller* c = FindController(ctl);
    const RaidSetSpec* s = c != nullptr ? RaidSetByPort(*c, port) : nullptr;
    return s != nullptr ? std::optional<std::uint8_t>(s->stateFlags) : std::nullopt;
}

bool ServiceEngine::DrivePresent(std::uint8_t ctl, std::uint8_t channel,
                                 std::uint8_t pmPort) const {
    const Controller* c = FindController(ctl);
    if (c == nullptr) {
        return false;
    }
    return std::any_of(c->spec.drives.begin(), c->spec.drives.end(), [&](const DriveSpec& d) {
        return d.channel == channel && d.pmPort == pmPort && d.present;
    });
}

std::uint64_t ServiceEngine::RebuildPosition(std::uint8_t ctl) const {
    const Controller* c = FindController(ctl);
    return c != nullptr ? PositionAt(c->rebuild, nowMs_) : 0;
}

const std::vector<std::uint8_t>& ServiceEngine::FlashContents(std::uint8_t ctl) const {
    static const std::vector<std::uint8_t> kNone;
    const Controller* c = FindController(ctl);
    return c != nullptr ? c->flash.Contents() : kNone;
}

FlashCounters ServiceEngine::FlashCountersOf(std::uint8_t ctl) const {
    const Controller* c = FindController(ctl);
    return c != nullptr ? c->flash.Counters() : FlashCounters{};
}

void ServiceEngine::SetFlashContents(std::uint8_t ctl, std::span<const std::uint8_t> bytes) {
    if (Controller* c = FindController(ctl)) {
        c->flash.SetContents(bytes);
    }
}

void ServiceEngine::SetFlashFaults(std::uint8_t ctl, const FlashFaults& faults) {
    if (Controller* c = FindController(ctl)) {
        c->flash.SetFaults(faults);
    }
}

}  // namespace veltrix::sim
