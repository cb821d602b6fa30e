// The status read in-process against the simulated service, and the verdict over it:
// one scenario change per row, the level and the finding it must give.

#include <gtest/gtest.h>

#include <functional>

#include "servicesim/scenario_builders.h"
#include "status/health.h"
#include "status/status_reader.h"
#include "support/session_fixture.h"

namespace veltrix::testing {
namespace {

using status::Level;

class StatusReadTest : public SessionFixture<> {
  protected:
    status::StatusReport Read(sim::Scenario scenario,
                              const std::function<void(sim::ServiceSim&)>& setUp = {}) {
        StartService(std::move(scenario));
        if (setUp) {
            setUp(service_->sim());
        }
        return status::ReadStatus({".", "kavo", std::chrono::seconds(5)});
    }
};

struct HealthCase {
    const char* name;
    std::function<void(sim::Scenario&)> change;
    Level level;
    const char* finding;  // part of the most serious finding ("" for none)
};

void StartRebuild(sim::Scenario& s, std::uint8_t setPort) {
    s.controllers[0].sets[0].stateFlags = 0x18;
    s.controllers[0].rebuild.active = true;
    s.controllers[0].rebuild.setPort = setPort;
    s.controllers[0].rebuild.startPosition = 488397168 / 2;
    // The simulated service ends a rebuild at once that has nowhere to go.
    s.controllers[0].rebuild.endPosition = 488397168;
}

const HealthCase kHealthCases[] = {
    {"healthy", [](sim::Scenario&) {}, Level::Ok, ""},
    {"drive removed", [](sim::Scenario& s) { s.controllers[0].drives[1].portState = 0x1001; },
     Level::Critical, "drive at port 1 (KV-500 Enterprise 250 SN1-0) gone (Removed)"},
    {"drive dropped", [](sim::Scenario& s) { s.controllers[0].drives[1].portState = 0x0801; },
     Level::Critical, "gone (Dropped)"},
    {"drive orphaned", [](sim::Scenario& s) { s.controllers[1].drives[2].portState = 0x8101; },
     Level::Critical, "controller 1 drive at port 2 (Strata 2000 NAS SN2-0) gone (Orphaned)"},
    {"drive being rebuilt", [](sim::Scenario& s) { s.controllers[0].drives[1].portState = 0x0201; },
     Level::Warning, "port state Rebuild"},
    {"drive without a port state",
     [](sim::Scenario& s) { s.controllers[0].drives[0].portState = 0x0100; }, Level::Warning,
     "port state not set"},
    {"SMART critical", [](sim::Scenario& s) { s.controllers[1].drives[0].smartFlags = 0x08; },
     Level::Critical, "SMART Critical"},
    {"SMART Ok outranks Critical",
     [](sim::Scenario& s) { s.controllers[1].drives[0].smartFlags = 0x0C; }, Level::Ok, ""},
    {"SMART unknown", [](sim::Scenario& s) { s.controllers[1].drives[0].smartFlags = 0x00; },
     Level::Warning, "SMART status not Ok"},
    {"set reduced without a rebuild",
     [](sim::Scenario& s) { s.controllers[0].sets[0].stateFlags = 0x10; }, Level::Critical,
     "set 0 at port 0 (Mirror) Reduced, no rebuild running"},
    {"set broken without a rebuild",
     [](sim::Scenario& s) { s.controllers[1].sets[0].stateFlags = 0x30; }, Level::Critical,
     "controller 1 set 0 at port 0 (RAID 5) Broken"},
    {"set reduced while its rebuild runs", [](sim::Scenario& s) { StartRebuild(s, 0); },
     Level::Warning, "set 0 at port 0 (Mirror) Reduced, rebuild 50%"},
    {"rebuild of a set the controller does not list",
     [](sim::Scenario& s) {
         StartRebuild(s, 0x33);
         s.controllers[0].sets[0].stateFlags = 0;
     },
     Level::Warning, "a rebuild runs on a set at port 51"},
    {"hidden set", [](sim::Scenario& s) { s.controllers[0].sets[1].stateFlags = 0x80; },
     Level::Warning, "Hidden"},
    {"a counted drive not found", [](sim::Scenario& s) { s.controllers[1].deviceCount = 4; },
     Level::Critical, "controller 1: 3 of 4 drives found"},
    {"a counted set not found", [](sim::Scenario& s) { s.controllers[1].raidSetCount = 2; },
     Level::Critical, "controller 1: 1 of 2 RAID sets found"},
    {"no controllers", [](sim::Scenario& s) { s.controllers.clear(); }, Level::Warning,
     "no controllers: Kavotronik driver not found."},
};

TEST_F(StatusReadTest, VerdictPerScenario) {
    for (const HealthCase& c : kHealthCases) {
        SCOPED_TRACE(c.name);
        sim::Scenario scenario = sim::TwoControllerScenario();
        c.change(scenario);
        const status::StatusReport report = Read(scenario);
        ASSERT_TRUE(report.Ok()) << report.failureMessage;
        const status::Health health = status::Evaluate(report);
        EXPECT_EQ(health.level, c.level);
        if (*c.finding == '\0') {
            EXPECT_TRUE(health.findings.empty()) << health.findings.front().text;
        } else {
            ASSERT_FALSE(health.findings.empty());
            EXPECT_NE(health.findings.front().text.find(c.finding), std::string::npos)
                << health.findings.front().text;
        }
    }
}

// The rebuild is matched to its set by port and read as the program reads it.
TEST_F(StatusReadTest, RebuildFiguresOfTheSetItRunsOn) {
    sim::Scenario scenario = sim::TwoControllerScenario();
    StartRebuild(scenario, 0);
    const status::StatusReport report = Read(scenario);
    ASSERT_TRUE(report.Ok()) << report.failureMessage;
    const auto& rebuild = report.rebuilds[0];
    EXPECT_TRUE(rebuild.raw.IsActive());
    ASSERT_TRUE(rebuild.set.has_value());
    EXPECT_EQ(rebuild.set->setIndex, 0);
    EXPECT_EQ(rebuild.set->position, 488397168u / 2);
    EXPECT_EQ(rebuild.set->percent, 50u);
    EXPECT_EQ(rebuild.set->percentText, "50%");
    EXPECT_DOUBLE_EQ(rebuild.set->progressRatio.value_or(-1), 0.5);
    EXPECT_FALSE(rebuild.set->speedBytesPerSecond.has_value()) << "one question gives no speed";
    EXPECT_FALSE(report.rebuilds[1].set.has_value());
}

// A position beyond the set's end is shown as the end, never as a wrapped percentage.
TEST_F(StatusReadTest, AbsurdRebuildPositionStaysWithinTheSet) {
    sim::Scenario scenario = sim::TwoControllerScenario();
    StartRebuild(scenario, 0);
    scenario.controllers[0].rebuild.startPosition = 0xFFFFFFFFFFFFull;
    scenario.controllers[0].rebuild.endPosition = 0xFFFFFFFFFFFFull + 1000;
    const status::StatusReport report = Read(scenario);
    ASSERT_TRUE(report.Ok()) << report.failureMessage;
    ASSERT_TRUE(report.rebuilds[0].set.has_value());
    EXPECT_EQ(report.rebuilds[0].set->percent, 100u);
    EXPECT_DOUBLE_EQ(report.rebuilds[0].set->progressRatio.value_or(-1), 1.0);
}

// A rebuild status cut short is no answer: read as zeros it would say "no rebuild".
TEST_F(StatusReadTest, ShortRebuildReplyIsAnInvalidReply) {
    const status::StatusReport report = Read(sim::TwoControllerScenario(), [](auto& sim) {
        sim.SetFault(
            {.code = GET_REBUILD_STATUS, .kind = sim::FaultSpec::Kind::Short, .bytes = 10});
    });
    EXPECT_EQ(report.failure, status::Failure::Protocol);
    EXPECT_NE(report.failureMessage.find("10 bytes, 27 expected"), std::string::npos)
        << report.failureMessage;
    EXPECT_EQ(status::Evaluate(report).level, Level::Unknown);
}

TEST_F(StatusReadTest, ConnectionLostDuringEnumerationIsNoStatus) {
    const status::StatusReport report = Read(sim::TwoControllerScenario(), [](auto& sim) {
        sim.SetFault(
            {.code = sim::kAnyCommandFaultCode, .kind = sim::FaultSpec::Kind::Drop, .after = 6});
    });
    EXPECT_EQ(report.failure, status::Failure::ChannelError);
    EXPECT_FALSE(report.failureMessage.empty());
}

// The run asks for nothing the desktop program's poll takes from the service (events,
// error log, mail status) and ends with the logoff.
TEST_F(StatusReadTest, AsksOnlyForTheStatusAndLogsOff) {
    const status::StatusReport report = Read(sim::TwoControllerScenario());
    ASSERT_TRUE(report.Ok());
    ASSERT_TRUE(service_->sim().WaitForConnectionsClosed(1, std::chrono::seconds(5)));
    const auto transcript = service_->sim().Transcript();
    ASSERT_FALSE(transcript.empty());
    EXPECT_TRUE(transcript.front().login);
    EXPECT_EQ(transcript.back().code, LOGOFF);
    int rebuildQuestions = 0;
    for (const auto& entry : transcript) {
        EXPECT_NE(entry.code, GET_EVENT);
        EXPECT_NE(entry.code, GET_LOG_ENTRY);
        EXPECT_NE(entry.code, GET_CHANGE_FLAG);
        EXPECT_NE(entry.code, GET_MAIL_STATUS);
        rebuildQuestions += entry.code == GET_REBUILD_STATUS ? 1 : 0;
    }
    EXPECT_EQ(rebuildQuestions, 2) << "once per controller";
}

}  // namespace
}  // namespace veltrix::testing
