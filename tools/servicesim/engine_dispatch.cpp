// Which handler a request code goes to.

#include <unordered_map>

#include "servicesim/engine.h"
#include "servicesim/request.h"

namespace veltrix::sim {

ServiceEngine::Handler ServiceEngine::HandlerFor(std::uint32_t code) {
    static const std::unordered_map<std::uint32_t, Handler> kHandlers = {
        {FLASH_END, &ServiceEngine::OnFlashEnd},
        {GET_CONTROLLER_COUNT, &ServiceEngine::OnGetControllerCount},
        {GET_CONTROLLER_INFO, &ServiceEngine::OnGetControllerInfo},
        {GET_DEVICE, &ServiceEngine::OnGetDevice},
        {GET_RAID_SET, &ServiceEngine::OnGetRaidSet},
        {GET_CHANGE_FLAG, &ServiceEngine::OnGetChangeFlag},
        {GET_CONTROLLER_FLAG, &ServiceEngine::OnGetControllerFlag},
        {GET_REBUILD_STATUS, &ServiceEngine::OnGetRebuildStatus},
        {SET_REBUILD_PRIORITY, &ServiceEngine::OnSetRebuildPriority},
        {GET_EVENT, &ServiceEngine::OnGetEvent},
        {GET_LOG_ENTRY, &ServiceEngine::OnGetLogEntry},
        {MAIL_GET_SETTINGS, &ServiceEngine::OnMailGetSettings},
        {MAIL_SET_SETTINGS, &ServiceEngine::OnMailSetSettings},
        {MAIL_SET_LEVEL, &ServiceEngine::OnMailSetLevel},
        {MAIL_GET_LEVEL, &ServiceEngine::OnMailGetLevel},
        {MAIL_SET_LEVEL2, &ServiceEngine::OnMailSetLevel2},
        {MAIL_GET_LEVEL2, &ServiceEngine::OnMailGetLevel2},
        {GET_MAIL_STATUS, &ServiceEngine::OnGetMailStatus},
        {SMTP_GET_AUTH, &ServiceEngine::OnSmtpGetAuth},
        {SMTP_SET_AUTH, &ServiceEngine::OnSmtpSetAuth},
        {SMTP_GET_TLS, &ServiceEngine::OnSmtpGetTls},
        {SMTP_SET_TLS, &ServiceEngine::OnSmtpSetTls},
        {SET_SERVICE_PASSWORD, &ServiceEngine::OnSetServicePassword},
        {SET_HOST_LOGFILE, &ServiceEngine::OnSetHostLogFile},
        {GET_SERVICE_CONFIG, &ServiceEngine::OnGetServiceConfig},
        {FLASH_ERASE, &ServiceEngine::OnFlashErase},
        {FLASH_GET_TYPE_ID, &ServiceEngine::OnFlashGetTypeId},
        {FLASH_GET_TYPE_NAME, &ServiceEngine::OnFlashGetTypeName},
        {FLASH_READ_START, &ServiceEngine::OnFlashReadStart},
        {FLASH_WRITE_START, &ServiceEngine::OnFlashWriteStart},
        {FLASH_GET_BIOS_VERSION, &ServiceEngine::OnFlashGetBiosVersion},
        {FLASH_READ_ACK, &ServiceEngine::OnFlashReadAck},
        {LOGOFF, &ServiceEngine::OnLogoff},
    };
    const auto found = kHandlers.find(code);
    if (found != kHandlers.end()) {
        return found->second;
    }
    // The write blocks are a range of codes, one per block the ROM can have.
    return IsFlashWriteBlock(code) ? &ServiceEngine::OnFlashWriteBlock : nullptr;
}

void ServiceEngine::Dispatch(Request& request) {
    // Any other code is unknown to the service: no reply.
    if (const Handler handler = HandlerFor(request.code)) {
        (this->*handler)(request);
    }
}

}  // namespace veltrix::sim
