// Several hosts asked at once: each run has its own session, and so its own thread and
// channel, and only waits for its own service; a silent host costs its own time-out,
// not the others'.

#include <thread>

#include "status/status_reader.h"

namespace veltrix::status {

std::vector<StatusReport> ReadStatuses(const std::vector<ReadRequest>& requests,
                                       std::vector<RunTimings>* timings) {
    std::vector<StatusReport> reports(requests.size());
    std::vector<RunTimings> times(requests.size());
    if (requests.size() == 1) {
        reports.front() = ReadStatus(requests.front(), &times.front());
    } else {
        std::vector<std::jthread> runs;
        runs.reserve(requests.size());
        for (std::size_t i = 0; i < requests.size(); ++i) {
            runs.emplace_back([&, i] { reports[i] = ReadStatus(requests[i], &times[i]); });
        }
    }  // the threads are joined here
    if (timings != nullptr) {
        *timings = std::move(times);
    }
    return reports;
}

}  // namespace veltrix::status
