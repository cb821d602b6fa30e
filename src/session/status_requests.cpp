#include "session/status_requests.h"

#include "session/error_sites.h"

#include "protocol/bytes.h"
#include "texts/string_ids.h"
#include "texts/strings.h"

namespace veltrix {

namespace {

using namespace request_site;

std::array<std::uint8_t, 16> AddressData(int ctl, std::uint32_t channel, std::uint32_t port) {
    std::array<std::uint8_t, 16> data{};
    PutU32(data, 0, static_cast<std::uint32_t>(ctl));
    PutU32(data, 4, channel);
    PutU32(data, 8, port);
    return data;  // the fourth word is reserved and stays 0
}

}  // namespace

std::string SiteText(const std::string& text, int site, const char* mark, const char* prefix) {
    return text + "\nError " + mark + prefix + "-" + std::to_string(site);
}

std::string ErrorText(int stringId, int site, const char* prefix) {
    return SiteText(LoadString(stringId), site, "#", prefix);
}

std::string SystemTextLine(const ChannelError& e) {
    std::string text = e.GetErrorMessage();
    if (!text.empty()) {
        text += "\n";
    }
    return text;
}

void StatusRequests::WriteRequest() {
    link_.SendMessage();
}

void StatusRequests::ReadReply() {
    link_.ReceiveMessage();
}

bool StatusRequests::SendOrShow(int site) {
    try {
        WriteRequest();
        return true;
    } catch (const ChannelError&) {
        ShowFailure(ids::kServiceWriteError, site);
        return false;
    }
}

bool StatusRequests::ReceiveOrShow(int site) {
    try {
        ReadReply();
        return true;
    } catch (const ChannelError&) {
        ShowFailure(ids::kServiceReadError, site);
        return false;
    }
}

void StatusRequests::ShowFailure(int stringId, int site) {
    link_.lastMessage = ErrorText(stringId, site);
    ui_.ShowMessage(link_.lastMessage);
}

void StatusRequests::ShowFailureWithSystemText(const ChannelError& e, int stringId, int site) {
    ui_.ShowMessage(e.GetErrorMessage());
    ShowFailure(stringId, site);
}

bool StatusRequests::RequestControllerInfo(int ctl) {
    Controller* controller = table_.GetController(ctl);
    if (controller == nullptr) {
        return false;  // a number outside the table is never asked for
    }
    std::array<std::uint8_t, 4> number{};
    PutU32(number, 0, static_cast<std::uint32_t>(ctl));
    link_.message.SetRequest(GET_CONTROLLER_INFO, number);
    if (!SendOrShow(kControllerInfoWrite) || !ReceiveOrShow(kControllerInfoRead)) {
        return false;
    }
    controller->FillFromInfo(ControllerInfo::Decode(link_.message.Data()));

    const std::uint8_t zero[] = {0};
    link_.message.SetRequest(GET_CONTROLLER_FLAG, zero);
    // The reply is read and its content not used.
    return SendOrShow(kControllerFlagWrite) && ReceiveOrShow(kControllerFlagRead);
}

template <typename OnRecord>
bool StatusRequests::Scan(int ctl, std::uint32_t command, int writeSite, int readSite,
                          OnRecord&& onRecord) {
    const Controller* controller = table_.GetController(ctl);
    if (controller == nullptr) {
        return false;
    }
    const std::uint32_t lastPort = controller->HasPortMultiplier() ? 15 : 0;
    for (std::uint32_t channel = 0; channel < controller->ChannelCount(); ++channel) {
        for (std::uint32_t port = 0; port <= lastPort; ++port) {
            link_.message.SetRequest(command, AddressData(ctl, channel, port));
            if (!SendOrShow(writeSite) || !ReceiveOrShow(readSite)) {
                return false;
            }
            if (onRecord()) {
                return true;
            }
        }
    }
    return false;
}

bool StatusRequests::RequestDevice(int ctl, int n) {
    int found = 0;
    return Scan(ctl, GET_DEVICE, kDeviceWrite, kDeviceRead, [&] {
        const DeviceRecord record = DeviceRecord::Decode(link_.message.Data());
        if (record.present == 0) {
            return false;
        }
        if (found++ != n) {
            return false;
        }
        if (Device* device = table_.GetDevice(ctl, n)) {
            device->FillFromRecord(record, static_cast<std::uint32_t>(ctl));
        }
        table_.GetController(ctl)->SetDevicePresent(record.position, true);
        return true;
    });
}

bool StatusRequests::RequestRaidSet(int ctl, int s) {
    int found = 0;
    return Scan(ctl, GET_RAID_SET, kRaidSetWrite, kRaidSetRead, [&] {
        const RaidSetRecord record = RaidSetRecord::Decode(link_.message.Data());
        if (record.valid == 0) {
            return false;
        }
        if (found++ != s) {
            return false;
        }
        if (RaidSet* set = table_.GetRaidSet(ctl, s)) {
            set->FillFromRecord(record, static_cast<std::uint32_t>(ctl));
            // The drive whose index is the slot of the set's first used member entry.
            const int slot = set->MemberSlot(MemberOp::First);
            if (const Device* device = table_.GetDevice(ctl, slot)) {
                set->SetMemberExtraValue(device->MemberExtraValue());
            }
        }
        return true;
    });
}

bool StatusRequests::RequestServiceConfig(ServiceConfig& out) {
    PipeBusyLock busy(link_);
    if (!busy.Held()) {
        ShowFailure(ids::kServiceWriteError, kServiceConfigWrite);
        return false;
    }
    link_.message.SetRequest(GET_SERVICE_CONFIG);
    try {
        WriteRequest();
    } catch (const ChannelError& e) {
        ShowFailureWithSystemText(e, ids::kServiceWriteError, kServiceConfigWrite);
        return false;
    }
    if (!ReceiveOrShow(kServiceConfigRead)) {
        return false;
    }
    out.ApplyReply(link_.message.Data());
    return true;
}

bool StatusRequests::SendHostLogFile(const ServiceConfig& config) {
    PipeBusyLock busy(link_);
    if (!busy.Held()) {
        ShowFailure(ids::kServiceWriteError, kHostLogFileWrite);
        return false;
    }
    link_.message.SetRequest(SET_HOST_LOGFILE, config.Encode());
    try {
        WriteRequest();
    } catch (const ChannelError& e) {
        ShowFailureWithSystemText(e, ids::kServiceWriteError, kHostLogFileWrite);
        return false;
    }
    return true;
}

bool StatusRequests::SendServicePassword(const std::string& password) {
    PipeBusyLock busy(link_);
    if (!busy.Held()) {
        ShowFailure(ids::kServiceWriteError, kPasswordWrite);
        return false;
    }
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(password.data());
    link_.message.SetRequest(SET_SERVICE_PASSWORD, {bytes, password.size()});
    try {
        WriteRequest();
    } catch (const ChannelError& e) {
        ShowFailureWithSystemText(e, ids::kServiceWriteError, kPasswordWrite);
        return false;
    }
    return true;
}

LogEntry StatusRequests::RequestLogEntry() {
    LogEntry result;
    result.controller = LogEntry::kNoResponse;
    link_.message.SetRequest(GET_LOG_ENTRY);
    try {
        WriteRequest();
    } catch (const ChannelError&) {
        link_.lastMessage = ErrorText(ids::kServiceWriteError, kLogEntryWrite);
        ui_.ReportError(link_.lastMessage);
        return result;
    }
    try {
        if (!link_.pipe.WaitForResponse(link_.replyTimeoutMs)) {
            link_.lastMessage = LoadString(ids::kNoResponse);
            if (link_.failureCounter >= 4) {
                ui_.ReportError(link_.lastMessage);
            }
            ++link_.failureCounter;
            return result;
        }
        ReadReply();
    } catch (const ChannelError&) {
        link_.lastMessage = ErrorText(ids::kServiceReadError, kLogEntryRead);
        ui_.ReportError(link_.lastMessage);
        return result;
    }
    return LogEntry::Decode(link_.message.Data());
}

bool StatusRequests::ReadController(int ctl) {
    if (ObjectTable::ControllerEntry(ctl) == std::nullopt) {
        return false;
    }
    // What the table showed before: it stays when the channel fails on the way, so
    // that a dead channel never leaves a half-read controller behind.
    const ObjectTable before = table_;
    table_.DestroyDrivesAndSets(ctl);
    table_.CreateController(ctl);
    link_.lastMessage.clear();
    RequestControllerInfo(ctl);
    if (link_.lastMessage.empty()) {
        table_.CreateDrivesAndSets(ctl);
        const Controller* controller = table_.GetController(ctl);
        const int devices = ClampDeviceCount(controller->DeviceCount());
        const int sets = ClampRaidSetCount(controller->RaidSetCount());
        for (int d = 0; link_.lastMessage.empty() && d < devices; ++d) {
            RequestDevice(ctl, d);
        }
        for (int s = 0; link_.lastMessage.empty() && s < sets; ++s) {
            RequestRaidSet(ctl, s);
        }
    }
    if (!link_.lastMessage.empty()) {
        table_ = before;
        return false;
    }
    return true;
}

}  // namespace veltrix
