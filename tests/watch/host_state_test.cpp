// A host's state from its RAID sets, ordered so that the worst is the maximum, and the
// line that tells each state.

#include <gtest/gtest.h>

#include "watch/host_state.h"

namespace veltrix {
namespace {

TEST(HostStateTest, EachStateHasItsLine) {
    struct Case {
        HostState state;
        QString line;
        bool reachable;
    };
    for (const Case& c :
         {Case{HostState::Ready, "Ready", true}, Case{HostState::Rebuilding, "Rebuild 53 %", true},
          Case{HostState::Reduced, "Reduced", true}, Case{HostState::Broken, "Broken", true},
          Case{HostState::NotConnected, "Not connected", false},
          Case{HostState::Reconnecting, "Reconnecting in 40 s", false},
          Case{HostState::PasswordRefused, "Password refused", false}}) {
        EXPECT_EQ(StateLineOf(c.state, 53, 40), c.line);
        EXPECT_EQ(IsReachable(c.state), c.reachable) << c.line.toStdString();
    }
}

TEST(HostStateTest, TheWorstSetDecides) {
    struct Case {
        std::uint8_t first;
        std::uint8_t second;
        int rebuildPercent;  // of controller 0; -1: none runs
        HostState state;
    };
    for (const Case& c :
         {Case{0x00, 0x00, -1, HostState::Ready}, Case{0x18, 0x00, 53, HostState::Rebuilding},
          Case{0x18, 0x00, -1, HostState::Reduced}, Case{0x10, 0x18, 53, HostState::Reduced},
          Case{0x04, 0x00, -1, HostState::Reduced}, Case{0x18, 0x20, 53, HostState::Broken},
          Case{0x40, 0x80, -1, HostState::Ready}}) {
        ObjectTable table;
        table.CreateController(0);
        RaidSetRecord record;
        record.stateFlags = c.first;
        table.CreateRaidSet(0, 0)->FillFromRecord(record, 0);
        record.stateFlags = c.second;
        table.CreateRaidSet(0, 1)->FillFromRecord(record, 0);
        RebuildPercents rebuilds;
        rebuilds.fill(-1);
        rebuilds[0] = c.rebuildPercent;
        int percent = -1;
        EXPECT_EQ(SetsState(table, rebuilds, percent), c.state)
            << int{c.first} << " " << int{c.second};
        if (c.state == HostState::Rebuilding) {
            EXPECT_EQ(percent, c.rebuildPercent);
        }
    }
}

}  // namespace
}  // namespace veltrix
