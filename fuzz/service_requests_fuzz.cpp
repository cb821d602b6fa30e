// Feeds arbitrary client messages to the simulated service's protocol engine: the
// first message as a login block, the rest as frames. It must never crash.

#include <cstddef>
#include <cstdint>
#include <span>

#include "servicesim/engine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace veltrix;
    sim::Scenario scenario;
    sim::ControllerSpec controller;
    controller.channelCount = 4;
    controller.portMultiplier = true;
    controller.drives.push_back({});
    controller.sets.push_back({});
    scenario.controllers.push_back(controller);
    sim::ServiceEngine engine(scenario);

    // Messages are cut at each 0xA5 byte, so the fuzzer can shape several of them.
    std::size_t start = 0;
    bool first = true;
    std::uint64_t now = 0;
    for (std::size_t i = 0; i <= size; ++i) {
        if (i == size || data[i] == 0xA5) {
            const ByteView message(std::span(data + start, i - start));
            if (first) {
                (void)engine.Login(message, now);
                first = false;
            } else {
                (void)engine.Message(message, now);
            }
            start = i + 1;
            now += 250;
        }
    }
    return 0;
}
