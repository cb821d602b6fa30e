// The event queue and the error log, one record per request and a "nothing further"
// record when they are empty.

#include "servicesim/engine.h"
#include "servicesim/records.h"
#include "servicesim/request.h"

namespace veltrix::sim {

void ServiceEngine::OnGetEvent(Request& request) {
    if (events_.empty()) {
        request.Reply(EncodeNoEvent(WallTime(request.nowMs)));
        return;
    }
    request.Reply(EncodeEventRecord(events_.front().first, events_.front().second));
    events_.pop_front();
}

void ServiceEngine::OnGetLogEntry(Request& request) {
    if (logEntries_.empty()) {
        request.Reply(EncodeNoLogEntry(WallTime(request.nowMs)));
        return;
    }
    request.Reply(EncodeLogEntry(logEntries_.front().first, logEntries_.front().second));
    logEntries_.pop_front();
}

}  // namespace veltrix::sim
