// An event's change shows in the next status the service gives.

#include <gtest/gtest.h>

#include <filesystem>

#include "raw_client.h"
#include "servicesim/engine.h"

namespace veltrix::sim {
namespace {

using testing::Frame;
using testing::U32s;

// A mirror (ports 0, 1) rebuilding onto port 1 for 20 s, and a JBOD on port 3.
constexpr char kMirror[] = R"({"password": "kavo", "controllers": [{"channelCount": 4,
    "drives": [{"channel": 0}, {"channel": 1, "portState": "0x0201"}, {"channel": 3}],
    "raidSets": [{"channel": 0, "type": 1, "capacity": 2000, "stateFlags": "0x18",
                  "members": [0, 1]}, {"channel": 3, "type": 4, "members": [3]}],
    "rebuild": {"active": true, "setPort": 0, "sectorsPerSecond": 100,
                "completionEvent": {"controller": 0, "code": "0xA02"}}}], "timeline": [)";

struct Story {
    const char* name;
    std::string scenario;  // a shipped scenario's file, or the mirror's timeline entries
    std::uint64_t atMs;
    std::vector<std::uint32_t> events;  // queued by then, in order
    std::uint16_t port1State;           // the drive at port 1: 0 when it is gone
    std::uint8_t set0Flags;
    bool jbodPresent;
    bool rebuilding;
};

Scenario Load(const std::string& scenario) {
    if (scenario.ends_with(".json")) {
        return LoadScenario(std::filesystem::path(SERVICESIM_DEFAULT_SCENARIO).parent_path() /
                            scenario);
    }
    return ParseScenario(kMirror + scenario + "]}");
}

class EventStateTest : public ::testing::TestWithParam<Story> {};

TEST_P(EventStateTest, NextStatusAgreesWithTheEvents) {
    const Story& s = GetParam();
    ServiceEngine engine(Load(s.scenario));
    const auto login = testing::Login("kavo");
    engine.Login(ByteView(login), s.atMs);
    const auto ask = [&](std::uint32_t code, std::vector<std::uint8_t> data) {
        const auto out = engine.Message(ByteView(Frame(code, std::move(data))), s.atMs);
        return std::vector<std::uint8_t>(out.replies.at(0).begin() + 6, out.replies.at(0).end());
    };
    std::vector<std::uint32_t> events;
    for (auto e = ask(GET_EVENT, {}); e[16] != 0xFF; e = ask(GET_EVENT, {})) {
        events.push_back(ByteView(e).U32(21));
    }
    EXPECT_EQ(events, s.events);
    EXPECT_EQ(ByteView(ask(GET_DEVICE, U32s({0, 1, 0}))).U16(16), s.port1State);
    EXPECT_EQ(ask(GET_RAID_SET, U32s({0, 0, 0}))[17], s.set0Flags);
    EXPECT_EQ(ask(GET_RAID_SET, U32s({0, 3, 0}))[0] != 0, s.jbodPresent);
    EXPECT_EQ(ByteView(ask(GET_REBUILD_STATUS, {0})).U32(1) != 0, s.rebuilding);
}

// Scenario or timeline, moment, events by then, then the status: drive at port 1, mirror's
// flags, JBOD present, rebuild running.
// clang-format off
const Story kStories[] = {
    {"MirrorDriveLost", R"({"at": 5000, "event": {"port": 1, "code": 15}})",
     6000, {15}, 0, 0x10, true, false},
    {"DriveFoundLeavesTheSetReduced", R"({"at": 2000, "event": {"port": 1, "code": 15}},
                                         {"at": 4000, "event": {"port": 1, "code": 13}})",
     6000, {15, 13}, 0x0201, 0x10, true, false},
    {"RebuildCompletedEvent", R"({"at": 5000, "event": {"code": "0xA02"}})",
     6000, {0xA02}, 0x0101, 0, true, false},
    {"RebuildEndsBetweenEntriesInTimeOrder", R"({"at": 25000, "event": {"code": 88}},
                                                {"at": 5000, "event": {"code": 3}})",
     30000, {3, 0xA02, 88}, 0x0101, 0, true, false},
    {"SetLostByIndex", R"({"at": 5000, "event": {"setIndex": 1, "code": 16}})",
     6000, {16}, 0x0201, 0x18, false, true},
    {"RaidBroken", R"({"at": 5000, "event": {"code": 99}})",
     6000, {99}, 0x0201, 0x30, true, false},
    {"GeneralEventChangesNothing", R"({"at": 5000, "event": {"code": 88}})",
     6000, {88}, 0x0201, 0x18, true, true},
    {"ShippedDefaultRebuildCompletes", "default.json",
     60000, {15, 88, 13, 0x1234, 0xB02, 18, 2, 0xA02}, 0x0101, 0, true, false},
    {"ShippedRebuildingMirrorCompletes", "rebuilding-mirror.json",
     61000, {0xA02}, 0x0101, 0, false, false},
    {"ShippedDriveLost", "drive-lost.json", 31000, {15, 0xB02}, 0, 0x10, false, false},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Stories, EventStateTest, ::testing::ValuesIn(kStories),
                         [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace veltrix::sim
