// The BIOS update commands on a controller's flash ROM: chip, version, erase, the
// read-out stream (one reply per acknowledgement) and block-wise programming.

#include <string>
#include <vector>

#include "servicesim/engine.h"
#include "servicesim/request.h"

namespace veltrix::sim {

std::vector<std::uint8_t> ServiceEngine::NextReadOut() {
    Controller* c = FindController(session_.readController);
    const std::span<const std::uint8_t> block =
        c != nullptr ? c->flash.ReadBlock(session_.readOffset) : std::span<const std::uint8_t>();
    if (block.empty()) {
        session_.readEndSent = true;
        return BuildReply(c != nullptr ? c->flash.Spec().readEndCode : kFlashEndCode, {});
    }
    session_.readOffset += block.size();
    ++c->flash.Counters().blocksRead;
    return BuildReply(c->flash.ReadProgress(session_.readOffset), block);
}

void ServiceEngine::OnFlashEnd(Request&) {
    session_.writeController.reset();  // blocks after the end fail
}

void ServiceEngine::OnFlashReadAck(Request& request) {
    if (!session_.readStream) {
        return;
    }
    if (session_.readEndSent) {
        session_.readStream = false;  // the end marker's acknowledgement
    } else {
        request.outcome.replies.push_back(NextReadOut());
    }
}

void ServiceEngine::OnFlashErase(Request& request) {
    if (Controller* c = FindController(request.data.U8(0))) {
        c->flash.Erase();
        request.outcome.notBeforeMs = request.nowMs + c->flash.Faults().eraseMs;
    }
    request.ReplyU32(0);
}

void ServiceEngine::OnFlashGetTypeId(Request& request) {
    const Controller* c = FindController(request.data.U8(0));
    request.ReplyU32(c != nullptr ? c->flash.Spec().chipId : 0xFFFF);
}

void ServiceEngine::OnFlashGetTypeName(Request& request) {
    const Controller* c = FindController(request.data.U8(0));
    request.ReplyText(c != nullptr ? c->flash.Spec().chipName : std::string(),
                      ServiceMessage::kMaxData);
}

void ServiceEngine::OnFlashReadStart(Request& request) {
    const std::uint8_t controller = request.data.U8(0);
    if (Controller* c = FindController(controller)) {
        ++c->flash.Counters().readOuts;
    }
    session_.readStream = true;
    session_.readEndSent = false;
    session_.readController = controller;
    session_.readOffset = 0;
    request.outcome.replies.push_back(NextReadOut());
}

void ServiceEngine::OnFlashWriteStart(Request& request) {
    Controller* c = FindController(request.data.U8(0));
    session_.writeController = request.data.U8(0);
    if (c != nullptr) {
        ++c->flash.Counters().writeStarts;
    }
    request.ReplyU32(c != nullptr ? c->flash.Size() : 0);
}

void ServiceEngine::OnFlashGetBiosVersion(Request& request) {
    const Controller* c = FindController(request.data.U8(0));
    request.ReplyU32(c != nullptr ? c->flash.BiosVersionReply() : 0xFFFFFFFFu);
}

void ServiceEngine::OnFlashWriteBlock(Request& request) {
    Controller* c = session_.writeController ? FindController(*session_.writeController) : nullptr;
    if (c == nullptr) {
        request.outcome.replies.push_back(BuildReply(kFlashEndCode, {}));
        return;
    }
    std::vector<std::uint8_t> bytes(request.data.Size());
    request.data.CopyTo(0, bytes);
    request.outcome.replies.push_back(
        BuildReply(c->flash.WriteBlock(request.code - FLASH_WRITE_BLOCK, bytes), {}));
}

}  // namespace veltrix::sim
