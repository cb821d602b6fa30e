#include "servicesim/engine.h"

#include <algorithm>
#include <ctime>
#include <limits>

#include "servicesim/records.h"

namespace veltrix::sim {

namespace {

// A text reply reaches the client through a 104-byte buffer.
constexpr std::size_t kMailTextReply = 103;

std::vector<std::uint8_t> U32Data(std::uint32_t v) {
    ByteWriter w;
    w.U32(v);
    return w.Take();
}

std::vector<std::uint8_t> TextData(const std::string& text, std::size_t maxLength) {
    const std::size_t n = std::min(text.size(), maxLength);
    return {text.begin(), text.begin() + static_cast<std::ptrdiff_t>(n)};
}

// The first `length` bytes (at most 4) of a data message as a number.
std::uint32_t Number(ByteView data) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < std::min<std::size_t>(data.Size(), 4); ++i) {
        v |= static_cast<std::uint32_t>(data.U8(i)) << (8 * i);
    }
    return v;
}

std::string Text(ByteView data, std::size_t maxLength) {
    return data.Text(0, std::min(data.Size(), maxLength));
}

}  // namespace

std::vector<std::uint8_t> BuildReply(std::uint32_t code, std::span<const std::uint8_t> data) {
    const std::size_t n = std::min(data.size(), ServiceMessage::kMaxData);
    ByteWriter w;
    w.U32(code).U16(static_cast<std::uint16_t>(n)).Bytes(data.first(n));
    return w.Take();
}

ServiceEngine::ServiceEngine(Scenario scenario, std::chrono::system_clock::time_point wallBase)
    : scenario_(std::move(scenario)), wallBase_(wallBase) {
    password_ = scenario_.password;
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
            startRebuild(c, c.spec.rebuild.setPort, c.spec.rebuild.startPosition, 0);
        }
    }
    auto add = [this](Scheduled::Kind kind, std::size_t index, const Timing& timing) {
        Scheduled s;
        s.kind = kind;
        s.index = index;
        s.timing = timing;
        if (timing.anchor == Anchor::Start) {
            s.nextDueMs = timing.atMs;
        }
        schedule_.push_back(s);
    };
    for (std::size_t i = 0; i < scenario_.timeline.size(); ++i) {
        add(Scheduled::Kind::Timeline, i, scenario_.timeline[i].timing);
    }
    for (std::size_t i = 0; i < scenario_.logEntries.size(); ++i) {
        add(Scheduled::Kind::Log, i, scenario_.logEntries[i].timing);
    }
    for (std::size_t i = 0; i < scenario_.mailFailures.size(); ++i) {
        add(Scheduled::Kind::Mail, i, scenario_.mailFailures[i].timing);
    }
}

void ServiceEngine::beginSession() {
    session_ = Session{};
}

void ServiceEngine::endSession() {
    session_ = Session{};
}

SystemTime ServiceEngine::wallTime(std::uint64_t simMs) const {
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

// ---------------------------------------------------------------- time

std::uint64_t ServiceEngine::positionAt(const Rebuild& r, std::uint64_t nowMs) const {
    if (!r.active) {
        return r.lastPosition;
    }
    const std::uint64_t elapsed = nowMs > r.startedAtMs ? nowMs - r.startedAtMs : 0;
    const std::uint64_t span =
        r.endPosition > r.startPosition ? r.endPosition - r.startPosition : 0;
    // (elapsed * rate) / 1000 without overflow: whole seconds first, then the rest.
    const std::uint64_t wholeSeconds = elapsed / 1000;
    const std::uint64_t restMs = elapsed % 1000;
    if (r.rate != 0 && wholeSeconds > span / r.rate) {
        return r.endPosition;
    }
    const std::uint64_t advanced = wholeSeconds * r.rate + (restMs * (r.rate % 1000000)) / 1000 +
                                   restMs * (r.rate / 1000000) * 1000;
    return advanced >= span ? r.endPosition : r.startPosition + advanced;
}

void ServiceEngine::startRebuild(Controller& c, std::uint8_t setPort, std::uint64_t position,
                                 std::uint64_t atMs) {
    Rebuild& r = c.rebuild;
    r.active = true;
    r.setPort = setPort;
    r.startPosition = position;
    r.rate = c.spec.rebuild.sectorsPerSecond;
    r.startedAtMs = atMs;
    const RaidSetSpec* set = setByPort(c, setPort);
    r.endPosition = c.spec.rebuild.endPosition.value_or(set != nullptr ? set->capacity : 0);
    r.lastPosition = position;
}

void ServiceEngine::checkRebuilds(std::uint64_t nowMs) {
    for (std::size_t i = 0; i < controllers_.size(); ++i) {
        Controller& c = controllers_[i];
        Rebuild& r = c.rebuild;
        if (!r.active || positionAt(r, nowMs) < r.endPosition) {
            continue;
        }
        // The moment the end was reached, for the completion event's time stamp.
        std::uint64_t doneAt = nowMs;
        if (r.rate != 0) {
            const std::uint64_t span = r.endPosition - std::min(r.endPosition, r.startPosition);
            const std::uint64_t needMs = span / r.rate * 1000 + (span % r.rate) * 1000 / r.rate;
            doneAt = std::min(nowMs, r.startedAtMs + needMs);
        }
        r.active = false;
        r.lastPosition = r.endPosition;
        if (RaidSetSpec* set = setByPort(c, r.setPort)) {
            set->stateFlags = c.spec.rebuild.completedStateFlags.value_or(
                static_cast<std::uint8_t>(set->stateFlags & ~0x18u));
        }
        if (c.spec.rebuild.completionEvent) {
            queueEvent(*c.spec.rebuild.completionEvent, doneAt);
        }
        changeFlag_ = true;
    }
}

void ServiceEngine::advanceTo(std::uint64_t nowMs) {
    nowMs = std::max(nowMs, nowMs_);
    nowMs_ = nowMs;
    checkRebuilds(nowMs);
    std::vector<std::pair<std::uint64_t, std::size_t>> due;
    for (std::size_t i = 0; i < schedule_.size(); ++i) {
        if (schedule_[i].nextDueMs && *schedule_[i].nextDueMs <= nowMs) {
            due.emplace_back(*schedule_[i].nextDueMs, i);
        }
    }
    std::stable_sort(due.begin(), due.end());
    for (const auto& [at, i] : due) {
        Scheduled& item = schedule_[i];
        fire(item, at);
        if (item.timing.everyMs == 0) {
            item.nextDueMs.reset();
        } else {
            // Missed repetitions collapse into this one.
            const std::uint64_t periods = (nowMs - at) / item.timing.everyMs + 1;
            item.nextDueMs = at + periods * item.timing.everyMs;
        }
    }
    checkRebuilds(nowMs);
}

void ServiceEngine::fire(const Scheduled& item, std::uint64_t atMs) {
    switch (item.kind) {
        case Scheduled::Kind::Timeline: {
            const TimelineEntry& entry = scenario_.timeline[item.index];
            for (const Effect& effect : entry.effects) {
                applyEffect(effect, atMs);
            }
            if (entry.event) {
                queueEvent(*entry.event, atMs);
            }
            if (entry.setChangeFlag) {
                changeFlag_ = true;
            }
            break;
        }
        case Scheduled::Kind::Log:
            pushLogEntry(scenario_.logEntries[item.index].entry, atMs);
            break;
        case Scheduled::Kind::Mail:
            pushMailFailure(scenario_.mailFailures[item.index].failure, atMs);
            break;
    }
}

void ServiceEngine::applyEffect(const Effect& e, std::uint64_t atMs) {
    Controller* c = controller(e.controller);
    if (c == nullptr) {
        return;
    }
    auto drive = [&]() -> DriveSpec* {
        for (DriveSpec& d : c->spec.drives) {
            if (d.channel == e.channel && d.pmPort == e.pmPort) {
                return &d;
            }
        }
        return nullptr;
    };
    auto set = [&]() -> RaidSetSpec* {
        for (RaidSetSpec& s : c->spec.sets) {
            if (s.channel == e.channel && s.pmPort == e.pmPort) {
                return &s;
            }
        }
        return nullptr;
    };
    switch (e.kind) {
        case Effect::Kind::RemoveDrive:
        case Effect::Kind::RestoreDrive:
            if (DriveSpec* d = drive()) {
                d->present = e.kind == Effect::Kind::RestoreDrive;
            }
            break;
        case Effect::Kind::SetDrive:
            if (DriveSpec* d = drive()) {
                d->portState = e.portState.value_or(d->portState);
                d->smartFlags = e.smartFlags.value_or(d->smartFlags);
            }
            break;
        case Effect::Kind::RemoveSet:
        case Effect::Kind::RestoreSet:
            if (RaidSetSpec* s = set()) {
                s->present = e.kind == Effect::Kind::RestoreSet;
            }
            break;
        case Effect::Kind::SetSet:
            if (RaidSetSpec* s = set()) {
                s->stateFlags = e.stateFlags.value_or(s->stateFlags);
            }
            break;
        case Effect::Kind::StartRebuild:
            startRebuild(*c, e.setPort.value_or(c->spec.rebuild.setPort),
                         e.position.value_or(c->spec.rebuild.startPosition), atMs);
            break;
        case Effect::Kind::StopRebuild:
            c->rebuild.lastPosition = positionAt(c->rebuild, atMs);
            c->rebuild.active = false;
            break;
    }
    // Whether the service reports the change is the timeline entry's to say.
}

void ServiceEngine::queueEvent(const EventSpec& event, std::uint64_t atMs) {
    if (events_.size() >= kQueueLimit) {
        events_.pop_front();
    }
    events_.emplace_back(wallTime(atMs), event);
}

void ServiceEngine::pushEvent(const EventSpec& event, std::uint64_t nowMs) {
    queueEvent(event, nowMs);
    changeFlag_ = true;
}

void ServiceEngine::pushLogEntry(const LogEntrySpec& entry, std::uint64_t nowMs) {
    if (logEntries_.size() >= kQueueLimit) {
        logEntries_.pop_front();
    }
    logEntries_.emplace_back(wallTime(nowMs), entry);
}

void ServiceEngine::pushMailFailure(const MailFailureSpec& failure, std::uint64_t nowMs) {
    MailStatus status;
    status.time = failure.time.value_or(wallTime(nowMs));
    status.errorCode = failure.errorCode;
    status.nothingNew = 0;
    status.text = failure.text;
    pendingMail_ = status;
}

// ---------------------------------------------------------------- lookups

ServiceEngine::Controller* ServiceEngine::controller(std::uint32_t index) {
    return index < controllers_.size() ? &controllers_[index] : nullptr;
}

const ServiceEngine::Controller* ServiceEngine::controller(std::uint32_t index) const {
    return index < controllers_.size() ? &controllers_[index] : nullptr;
}

RaidSetSpec* ServiceEngine::setByPort(Controller& c, std::uint8_t port) {
    for (RaidSetSpec& s : c.spec.sets) {
        if (s.portByte() == port) {
            return &s;
        }
    }
    return nullptr;
}

const RaidSetSpec* ServiceEngine::setByPort(const Controller& c, std::uint8_t port) const {
    for (const RaidSetSpec& s : c.spec.sets) {
        if (s.portByte() == port) {
            return &s;
        }
    }
    return nullptr;
}

std::uint32_t ServiceEngine::controllerCount() const {
    return scenario_.controllerCount.value_or(static_cast<std::uint32_t>(controllers_.size()));
}

ServiceConfig ServiceEngine::serviceConfig() const {
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

std::optional<std::uint8_t> ServiceEngine::setPriority(std::uint8_t ctl, std::uint8_t port) const {
    const Controller* c = controller(ctl);
    const RaidSetSpec* s = c != nullptr ? setByPort(*c, port) : nullptr;
    return s != nullptr ? std::optional<std::uint8_t>(s->priority) : std::nullopt;
}

std::optional<std::uint8_t> ServiceEngine::setStateFlags(std::uint8_t ctl,
                                                         std::uint8_t port) const {
    const Controller* c = controller(ctl);
    const RaidSetSpec* s = c != nullptr ? setByPort(*c, port) : nullptr;
    return s != nullptr ? std::optional<std::uint8_t>(s->stateFlags) : std::nullopt;
}

bool ServiceEngine::drivePresent(std::uint8_t ctl, std::uint8_t channel,
                                 std::uint8_t pmPort) const {
    const Controller* c = controller(ctl);
    if (c == nullptr) {
        return false;
    }
    return std::any_of(c->spec.drives.begin(), c->spec.drives.end(), [&](const DriveSpec& d) {
        return d.channel == channel && d.pmPort == pmPort && d.present;
    });
}

bool ServiceEngine::rebuildActive(std::uint8_t ctl) const {
    const Controller* c = controller(ctl);
    return c != nullptr && c->rebuild.active;
}

std::uint64_t ServiceEngine::rebuildPosition(std::uint8_t ctl) const {
    const Controller* c = controller(ctl);
    return c != nullptr ? positionAt(c->rebuild, nowMs_) : 0;
}

const std::vector<std::uint8_t>& ServiceEngine::flashRom(std::uint8_t ctl) const {
    static const std::vector<std::uint8_t> kNone;
    const Controller* c = controller(ctl);
    return c != nullptr ? c->flash.contents() : kNone;
}

FlashCounters ServiceEngine::flashCounters(std::uint8_t ctl) const {
    const Controller* c = controller(ctl);
    return c != nullptr ? c->flash.counters() : FlashCounters{};
}

void ServiceEngine::setFlashRom(std::uint8_t ctl, std::span<const std::uint8_t> bytes) {
    if (Controller* c = controller(ctl)) {
        c->flash.setContents(bytes);
    }
}

void ServiceEngine::setFlashFaults(std::uint8_t ctl, const FlashFaults& faults) {
    if (Controller* c = controller(ctl)) {
        c->flash.setFaults(faults);
    }
}

// ---------------------------------------------------------------- messages

Outcome ServiceEngine::login(ByteView block, std::uint64_t nowMs) {
    advanceTo(nowMs);
    Outcome out;
    out.kind = Outcome::Kind::Login;
    // The password is NUL-terminated inside the 100-byte block; what follows the NUL
    // means nothing. A block without a NUL cannot match (passwords have at most 99).
    const std::string given = block.Text(0, kLoginBlockSize);
    const bool terminated = given.size() < kLoginBlockSize;
    if (terminated && given == password_) {
        session_ = Session{};
        session_.loggedIn = true;
        out.replies.emplace_back(kLoginAccepted.begin(), kLoginAccepted.end());
        for (Scheduled& s : schedule_) {
            if (s.timing.anchor == Anchor::Login) {
                s.nextDueMs = nowMs + s.timing.atMs;
            }
        }
    } else {
        out.replies.push_back({0, 0, 0, 0});
        out.close = true;
    }
    return out;
}

Outcome ServiceEngine::message(ByteView frame, std::uint64_t nowMs) {
    advanceTo(nowMs);
    Outcome out;
    if (frame.Size() < ServiceMessage::kHeaderSize) {
        out.kind = Outcome::Kind::Malformed;
        return out;
    }
    out.code = frame.U32(0);
    const std::size_t length = frame.U16(4);
    if (length > ServiceMessage::kMaxData) {
        out.kind = Outcome::Kind::Malformed;
        return out;
    }
    // Data bytes the frame says it has; missing ones read as zeros via ByteView, a
    // longer message is cut to its length.
    const ByteView rest = frame.Sub(ServiceMessage::kHeaderSize);
    std::vector<std::uint8_t> bytes(length);
    rest.CopyTo(0, bytes);
    const ByteView data(bytes);

    if (session_.dataExpected > 0) {
        // Data messages of an acknowledged exchange count by position, whatever code
        // they carry (the client leaves the acknowledgement's code in them).
        out.kind = Outcome::Kind::Data;
        acceptData(data);
        return out;
    }
    const std::uint32_t code = out.code;
    out = request(code, data, nowMs);
    out.kind = Outcome::Kind::Request;
    out.code = code;
    return out;
}

void ServiceEngine::acceptData(ByteView data) {
    const std::size_t index = session_.dataIndex++;
    --session_.dataExpected;
    switch (session_.ackCode) {
        case MAIL_SET_SETTINGS: {
            std::string* texts[] = {&mail_.senderName, &mail_.senderAddress, &mail_.userName,
                                    &mail_.password,   &mail_.server,        &mail_.recipient};
            if (index < 6) {
                *texts[index] = Text(data, ServiceMessage::kMaxData);
            } else if (index == 6) {
                const std::uint8_t flags = data.U8(0);
                if ((flags & 0x02) != 0) {
                    ++testMails_;  // the test mail goes out once; the bit is not kept
                }
                mail_.flags = static_cast<std::uint8_t>(flags & ~0x02u);
            }
            break;
        }
        case SMTP_SET_AUTH: {
            std::uint32_t* values[] = {&mail_.authMethod, &mail_.port, &mail_.legacySsl};
            if (index < 3) {
                *values[index] = Number(data);
            }
            break;
        }
        case SMTP_SET_TLS: {
            std::uint32_t* values[] = {&mail_.connectionType, &mail_.tlsProtocol};
            if (index < 2) {
                *values[index] = Number(data);
            }
            break;
        }
        default:
            break;
    }
}

std::vector<std::uint8_t> ServiceEngine::nextReadOut() {
    Controller* c = controller(session_.readController);
    const std::span<const std::uint8_t> block =
        c != nullptr ? c->flash.readBlock(session_.readOffset) : std::span<const std::uint8_t>();
    if (block.empty()) {
        session_.readEndSent = true;
        return BuildReply(c != nullptr ? c->flash.spec().readEndCode : kFlashEndCode, {});
    }
    session_.readOffset += block.size();
    ++c->flash.counters().blocksRead;
    return BuildReply(c->flash.readProgress(session_.readOffset), block);
}

std::vector<std::uint8_t> ServiceEngine::writeBlock(std::uint32_t code, ByteView data) {
    Controller* c = session_.writeController ? controller(*session_.writeController) : nullptr;
    if (c == nullptr) {
        return BuildReply(kFlashEndCode, {});
    }
    std::vector<std::uint8_t> bytes(data.Size());
    data.CopyTo(0, bytes);
    return BuildReply(c->flash.writeBlock(code - FLASH_WRITE_BLOCK, bytes), {});
}

Outcome ServiceEngine::request(std::uint32_t code, ByteView data, std::uint64_t nowMs) {
    Outcome out;
    auto reply = [&](std::span<const std::uint8_t> bytes) {
        out.replies.push_back(BuildReply(code, bytes));
    };
    auto replyU32 = [&](std::uint32_t v) { reply(U32Data(v)); };
    auto knowsSmtp = [&](std::uint32_t since) {
        return ServiceVersionNumber(serviceConfig()) >= since;
    };
    auto acknowledge = [&](std::size_t dataMessages) {
        reply({});
        session_.ackCode = code;
        session_.dataExpected = dataMessages;
        session_.dataIndex = 0;
    };

    switch (code) {
        case FLASH_END:
        case FLASH_READ_ACK:
            if (code == FLASH_END) {
                session_.writeController.reset();  // blocks after the end fail
            } else if (session_.readStream) {
                if (session_.readEndSent) {
                    session_.readStream = false;  // the end marker's acknowledgement
                } else {
                    out.replies.push_back(nextReadOut());
                }
            }
            break;
        case GET_CONTROLLER_COUNT:
            replyU32(controllerCount());
            break;
        case GET_CONTROLLER_INFO: {
            const Controller* c = controller(data.U32(0));
            if (c == nullptr) {
                reply(std::vector<std::uint8_t>(kControllerInfoSize, 0));
                break;
            }
            const auto devices = std::count_if(c->spec.drives.begin(), c->spec.drives.end(),
                                               [](const DriveSpec& d) { return d.present; });
            const auto sets = std::count_if(c->spec.sets.begin(), c->spec.sets.end(),
                                            [](const RaidSetSpec& s) { return s.present; });
            const auto clamp = [](std::ptrdiff_t n) {
                return static_cast<std::uint8_t>(std::min<std::ptrdiff_t>(n, 255));
            };
            reply(EncodeControllerInfo(c->spec, c->spec.deviceCount.value_or(clamp(devices)),
                                       c->spec.raidSetCount.value_or(clamp(sets))));
            break;
        }
        case GET_DEVICE:
        case GET_RAID_SET: {
            const Controller* c = controller(data.U32(0));
            const std::uint32_t channel = data.U32(4);
            const std::uint32_t pmPort = data.U32(8);
            std::vector<std::uint8_t> record(
                code == GET_DEVICE ? kDeviceRecordSize : kRaidSetRecordSize, 0);
            if (c != nullptr && channel <= 7 && pmPort <= 15) {
                if (code == GET_DEVICE) {
                    for (const DriveSpec& d : c->spec.drives) {
                        if (d.present && d.channel == channel && d.pmPort == pmPort) {
                            record = EncodeDeviceRecord(d);
                            break;
                        }
                    }
                } else {
                    for (const RaidSetSpec& s : c->spec.sets) {
                        if (s.present && s.channel == channel && s.pmPort == pmPort) {
                            record = EncodeRaidSetRecord(s);
                            break;
                        }
                    }
                }
            }
            reply(record);
            break;
        }
        case GET_CHANGE_FLAG: {
            const std::uint8_t flag = changeFlag_ ? 1 : 0;
            changeFlag_ = false;
            reply(std::span(&flag, 1));
            break;
        }
        case GET_CONTROLLER_FLAG: {
            const std::uint8_t zero = 0;
            reply(std::span(&zero, 1));
            break;
        }
        case GET_REBUILD_STATUS: {
            const Controller* c = controller(data.U8(0));
            if (c == nullptr) {
                reply(EncodeRebuildStatus(false, 0, 0));
            } else {
                reply(EncodeRebuildStatus(c->rebuild.active, c->rebuild.setPort,
                                          positionAt(c->rebuild, nowMs)));
            }
            break;
        }
        case SET_REBUILD_PRIORITY:
            // Controller, set port, priority: a request without them changes nothing.
            if (data.Size() < 3) {
                break;
            }
            if (Controller* c = controller(data.U8(0))) {
                if (RaidSetSpec* s = setByPort(*c, data.U8(1))) {
                    s->priority = data.U8(2);
                }
            }
            break;
        case GET_EVENT:
            if (events_.empty()) {
                reply(EncodeNoEvent(wallTime(nowMs)));
            } else {
                reply(EncodeEventRecord(events_.front().first, events_.front().second));
                events_.pop_front();
            }
            break;
        case GET_LOG_ENTRY:
            if (logEntries_.empty()) {
                reply(EncodeNoLogEntry(wallTime(nowMs)));
            } else {
                reply(EncodeLogEntry(logEntries_.front().first, logEntries_.front().second));
                logEntries_.pop_front();
            }
            break;
        case MAIL_GET_SETTINGS:
            for (const std::string* text :
                 {&mail_.senderName, &mail_.senderAddress, &mail_.userName, &mail_.password,
                  &mail_.server, &mail_.recipient}) {
                reply(TextData(*text, kMailTextReply));
            }
            reply(std::span(&mail_.flags, 1));
            break;
        case MAIL_SET_SETTINGS:
            acknowledge(7);
            break;
        case MAIL_SET_LEVEL:
            mail_.level = Number(data);
            break;
        case MAIL_GET_LEVEL:
            replyU32(mail_.level);
            break;
        case MAIL_SET_LEVEL2:
            mail_.level2 = Number(data);
            break;
        case MAIL_GET_LEVEL2:
            replyU32(mail_.level2);
            break;
        case GET_MAIL_STATUS: {
            MailStatus status;
            if (pendingMail_) {
                status = *pendingMail_;
                pendingMail_.reset();
            } else {
                status.time = wallTime(nowMs);
                status.nothingNew = 1;
            }
            reply(status.Encode());
            break;
        }
        // The SMTP commands exist from the versions that brought them; an older
        // service does not know them and answers nothing.
        case SMTP_GET_AUTH:
            if (knowsSmtp(kVersionSmtpAuth)) {
                replyU32(mail_.authMethod);
                replyU32(mail_.port);
                replyU32(mail_.legacySsl);
            }
            break;
        case SMTP_SET_AUTH:
            if (knowsSmtp(kVersionSmtpAuth)) {
                acknowledge(3);
            }
            break;
        case SMTP_GET_TLS:
            if (knowsSmtp(kVersionSmtpTls)) {
                replyU32(mail_.connectionType);
                replyU32(mail_.tlsProtocol);
            }
            break;
        case SMTP_SET_TLS:
            if (knowsSmtp(kVersionSmtpTls)) {
                acknowledge(2);
            }
            break;
        case SET_SERVICE_PASSWORD:
            // Takes effect at the next login.
            password_ = Text(data, kMaxPasswordLength);
            break;
        case SET_HOST_LOGFILE:
            // Only the flags and the file name are the client's to change; the version
            // words and the reserved word are the service's own.
            if (data.Size() >= ServiceConfig::kVersionPartSize) {
                configFlags_ = data.U8(10);
                logFileName_ = data.Text(ServiceConfig::kVersionPartSize,
                                         std::min(data.Size() - ServiceConfig::kVersionPartSize,
                                                  ServiceConfig::kLogFileNameSize - 1));
            }
            break;
        case GET_SERVICE_CONFIG:
            reply(serviceConfig().Encode());
            break;
        case FLASH_ERASE:
            if (Controller* c = controller(data.U8(0))) {
                c->flash.erase();
                out.notBeforeMs = nowMs + c->flash.faults().eraseMs;
            }
            replyU32(0);
            break;
        case FLASH_GET_TYPE_ID: {
            const Controller* c = controller(data.U8(0));
            replyU32(c != nullptr ? c->flash.spec().chipId : 0xFFFF);
            break;
        }
        case FLASH_GET_TYPE_NAME: {
            const Controller* c = controller(data.U8(0));
            reply(TextData(c != nullptr ? c->flash.spec().chipName : std::string(),
                           ServiceMessage::kMaxData));
            break;
        }
        case FLASH_READ_START:
            if (Controller* c = controller(data.U8(0))) {
                ++c->flash.counters().readOuts;
            }
            session_.readStream = true;
            session_.readEndSent = false;
            session_.readController = data.U8(0);
            session_.readOffset = 0;
            out.replies.push_back(nextReadOut());
            break;
        case FLASH_WRITE_START: {
            Controller* c = controller(data.U8(0));
            session_.writeController = data.U8(0);
            if (c != nullptr) {
                ++c->flash.counters().writeStarts;
            }
            replyU32(c != nullptr ? c->flash.size() : 0);
            break;
        }
        case FLASH_GET_BIOS_VERSION: {
            const Controller* c = controller(data.U8(0));
            replyU32(c != nullptr ? c->flash.biosVersionReply() : 0xFFFFFFFFu);
            break;
        }
        case LOGOFF:
            out.close = true;
            break;
        default:
            if (IsFlashWriteBlock(code)) {
                out.replies.push_back(writeBlock(code, data));
            }
            // Any other code is unknown to the service: no reply.
            break;
    }
    return out;
}

}  // namespace veltrix::sim
