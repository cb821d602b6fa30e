// A controller's rebuild: how far it has come, and the priority of a RAID set.

#include "servicesim/engine.h"
#include "servicesim/records.h"
#include "servicesim/request.h"

namespace veltrix::sim {

void ServiceEngine::OnGetRebuildStatus(Request& request) {
    const Controller* c = FindController(request.data.U8(0));
    if (c == nullptr) {
        request.Reply(EncodeRebuildStatus(false, 0, 0));
        return;
    }
    request.Reply(EncodeRebuildStatus(c->rebuild.active, c->rebuild.setPort,
                                      PositionAt(c->rebuild, request.nowMs)));
}

void ServiceEngine::OnSetRebuildPriority(Request& request) {
    // Controller, set port, priority: a request without them changes nothing.
    const ByteView data = request.data;
    if (data.Size() < 3) {
        return;
    }
    if (Controller* c = FindController(data.U8(0))) {
        if (RaidSetSpec* s = RaidSetByPort(*c, data.U8(1))) {
            s->priority = data.U8(2);
        }
    }
}

}  // namespace veltrix::sim
