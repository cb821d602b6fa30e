// veltrix-status against a hostile service: each request of its run (login, count,
// controllers, drives, sets, configuration, rebuild status) meets silence, a late or
// cut reply, one longer than its record, a `length` beyond the frame, an unexpected
// code or a lost connection, and records that name more than the table holds. The run
// always ends within its time-out with a verdict every output can print, and the next
// run against the healthy service reads it whole.

#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "servicesim/scenario_builders.h"
#include "status/health.h"
#include "status/outputs.h"
#include "status/status_reader.h"
#include "support/reply_faults.h"
#include "support/sim_session.h"

namespace veltrix::testing {
namespace {

using Kind = sim::FaultSpec::Kind;
using namespace std::chrono_literals;

constexpr std::uint32_t kLateMs = 400;

struct Row {
    std::string name;
    sim::FaultSpec fault;  // code 0: none
    std::function<void(sim::Scenario&)> shape = nullptr;
};

void PrintTo(const Row& row, std::ostream* out) {
    *out << row.name;
}

class StatusHostileTest : public ::testing::TestWithParam<Row> {};

TEST_P(StatusHostileTest, EndsWithAVerdictAndTheNextRunIsWhole) {
    const Row& row = GetParam();
    sim::Scenario scenario = sim::TwoControllerScenario();
    if (row.shape) {
        row.shape(scenario);
    }
    SimSession service(scenario, Transport::Local);
    if (row.fault.code != 0) {
        service.sim().SetFault(row.fault);
    }
    const status::StatusReport report = status::ReadStatus({".", "kavo", 2s});
    const bool lost =
        row.fault.code != 0 && (row.fault.kind == Kind::Silent || row.fault.kind == Kind::Close ||
                                row.fault.kind == Kind::Drop);
    if (lost) {
        EXPECT_FALSE(report.Ok());
    }
    if (!report.Ok()) {
        EXPECT_FALSE(report.failureMessage.empty());
    }
    EXPECT_LE(report.controllerCount, ObjectTable::kMaxControllers);
    const status::Health health = status::Evaluate(report);
    if (!report.Ok()) {
        EXPECT_EQ(health.level, status::Level::Unknown);
    }
    // The text output is empty for a failed run: its failure goes to standard error.
    EXPECT_EQ(status::TextOutput(report, health).empty(), !report.Ok());
    EXPECT_FALSE(status::JsonOutput(report, health).empty());
    EXPECT_FALSE(status::NagiosOutput(report, health).empty());
    EXPECT_FALSE(status::PrometheusOutput(report).empty());

    if (row.fault.kind == Kind::Late) {
        std::this_thread::sleep_for(std::chrono::milliseconds(kLateMs + 100));
    }
    service.sim().ClearFaults();
    if (!row.shape) {
        const status::StatusReport again = status::ReadStatus({".", "kavo", 5s});
        ASSERT_TRUE(again.Ok()) << again.failureMessage;
        EXPECT_EQ(again.controllerCount, 2);
    }
}

std::vector<Row> Rows() {
    std::vector<Row> rows;
    const std::pair<const char*, std::uint32_t> steps[] = {
        {"Login", sim::kLoginFaultCode},
        {"ServiceConfig", GET_SERVICE_CONFIG},
        {"ControllerCount", GET_CONTROLLER_COUNT},
        {"ControllerInfo", GET_CONTROLLER_INFO},
        {"Device", GET_DEVICE},
        {"RaidSet", GET_RAID_SET},
        {"RebuildStatus", GET_REBUILD_STATUS},
    };
    for (const auto& [step, code] : steps) {
        // And a connection lost before the reply.
        rows.push_back(
            {std::string(step) + "Drop", {.code = code, .kind = Kind::Drop, .count = 1}});
        for (const auto& [name, fault] : ReplyFaults(code, kLateMs)) {
            rows.push_back({step + name, fault});
        }
    }
    const auto all = [](std::uint32_t code, std::size_t size) {
        return sim::FaultSpec{.code = code,
                              .kind = Kind::Patch,
                              .offset = 6,
                              .data = std::vector<std::uint8_t>(size, 0xFF)};
    };
    rows.push_back({"Controllers255", {}, [](sim::Scenario& s) { s.controllerCount = 255; }});
    rows.push_back({"Drives255", {}, [](sim::Scenario& s) { s.controllers[0].deviceCount = 255; }});
    rows.push_back({"Sets255", {}, [](sim::Scenario& s) { s.controllers[1].raidSetCount = 255; }});
    rows.push_back({"NameWithoutBlanksOrNul", {}, [](sim::Scenario& s) {
                        s.controllers[0].name = "ABCDEFGHIJKLMNOPQRST";
                    }});
    rows.push_back({"ControllerInfoAll0xFF", all(GET_CONTROLLER_INFO, 40)});
    rows.push_back({"DeviceAll0xFF", all(GET_DEVICE, 850)});
    rows.push_back({"RaidSetAll0xFF", all(GET_RAID_SET, 26)});
    rows.push_back({"RebuildStatusAll0xFF", all(GET_REBUILD_STATUS, 21)});
    rows.push_back({"ServiceConfigNameWithoutNul",
                    {.code = GET_SERVICE_CONFIG,
                     .kind = Kind::Patch,
                     .offset = 6 + 11,
                     .data = std::vector<std::uint8_t>(250, 'L')}});
    return rows;
}

INSTANTIATE_TEST_SUITE_P(Steps, StatusHostileTest, ::testing::ValuesIn(Rows()),
                         [](const auto& p) { return p.param.name; });

}  // namespace
}  // namespace veltrix::testing
