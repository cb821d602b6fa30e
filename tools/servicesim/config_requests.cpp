// The service's configuration record and the host log file it names.

#include <algorithm>

#include "servicesim/engine.h"
#include "servicesim/request.h"

namespace veltrix::sim {

void ServiceEngine::OnSetHostLogFile(Request& request) {
    // Only the flags and the file name are the client's to change; the version
    // words and the reserved word are the service's own.
    const ByteView data = request.data;
    if (data.Size() >= ServiceConfig::kVersionPartSize) {
        configFlags_ = data.U8(10);
        logFileName_ = data.Text(ServiceConfig::kVersionPartSize,
                                 std::min(data.Size() - ServiceConfig::kVersionPartSize,
                                          ServiceConfig::kLogFileNameSize - 1));
    }
}

void ServiceEngine::OnGetServiceConfig(Request& request) {
    request.Reply(Config().Encode());
}

}  // namespace veltrix::sim
