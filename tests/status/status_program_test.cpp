// veltrix-status as a process against the simulated service: every format over a
// table of scenarios (exit codes, the monitoring-plugin line, the JSON document against
// its schema, the metrics through promtool), the password sources, the output file,
// the rebuild speed from a state file; the shipped units and alert rules through
// systemd-analyze and promtool.

#include <gtest/gtest.h>

#include <QSysInfo>

#include <algorithm>
#include <chrono>
#include <functional>
#include <nlohmann/json.hpp>
#include <regex>
#include <set>

#include "servicesim/scenario.h"
#include "servicesim/scenario_builders.h"
#include "support/program_run.h"
#include "support/session_fixture.h"

namespace veltrix::testing {
namespace {

// The metrics name the local service by the machine's own name.
const std::string kMachine = QSysInfo::machineHostName().toStdString();

using Json = nlohmann::json;

const std::string kProgram = VELTRIX_STATUS_PROGRAM;
const std::string kDist = VELTRIX_STATUS_DIST;
const std::string kPromtool = "/usr/bin/promtool";
const std::string kJsonSchema = "/usr/bin/jsonschema";
const std::string kSystemdAnalyze = "/usr/bin/systemd-analyze";

// What one of Debian's tools said when it rejected `text` (given as a file, or on its
// standard input); empty when it accepted it.
std::string ToolRejects(const std::vector<std::string>& before, const std::string& text,
                        const std::vector<std::string>& after, bool viaStandardInput) {
    TempFolder folder;
    const std::string path = folder.file("input");
    WriteWholeFile(path, text);
    ProgramResult result;
    if (viaStandardInput) {
        std::string line;
        for (const auto& part : before) {
            line += "'" + part + "' ";
        }
        result = RunProgram("/bin/sh", {"-c", line + "< '" + path + "'"});
    } else {
        std::vector<std::string> arguments(before.begin() + 1, before.end());
        arguments.push_back(path);
        arguments.insert(arguments.end(), after.begin(), after.end());
        result = RunProgram(before.front(), arguments);
    }
    return result.exitCode == 0
               ? std::string()
               : result.out + result.err + "(exit " + std::to_string(result.exitCode) + ")";
}

std::string PromtoolRejectsMetrics(const std::string& text) {
    return ToolRejects({kPromtool, "check", "metrics"}, text, {}, true);
}

std::string SchemaRejects(const std::string& document) {
    return ToolRejects({kJsonSchema, "-i"}, document, {kDist + "/veltrix-status.schema.json"},
                       false);
}

std::string FirstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}

class StatusProgramTest : public SessionFixture<> {
  protected:
    void SetUp() override {
        for (const std::string& tool : {kPromtool, kJsonSchema, kSystemdAnalyze}) {
            ASSERT_EQ(::access(tool.c_str(), X_OK), 0)
                << tool << " is missing: run scripts/install-deps.sh";
        }
    }

    // The program with the default password, settings of its own and the pipe folder
    // of the service (or of none).
    ProgramResult Status(const std::vector<std::string>& arguments,
                         std::map<std::string, std::string> environment = {}) {
        environment.try_emplace("VELTRIX_PASSWORD", "kavo");
        environment.try_emplace("XDG_CONFIG_HOME", config_.path());
        // No session bus: the machine's keyring is never asked.
        environment.try_emplace("DBUS_SESSION_BUS_ADDRESS", "");
        environment.try_emplace("XDG_RUNTIME_DIR", config_.path());
        return RunProgram(kProgram, arguments, environment);
    }

    TempFolder config_;
};

// One scenario of the table: how the service is, what the verdict must be.
struct ScenarioCase {
    const char* name;
    // Nothing: no service at all.
    std::function<std::optional<sim::Scenario>()> scenario;
    std::function<void(SimSession&)> setUp;
    const char* password;
    std::vector<std::string> extra;
    int level;           // the monitoring-plugin exit code
    const char* reason;  // for no status
    const char* said;    // on the status line
};

sim::Scenario WithRebuild() {
    sim::Scenario s = sim::TwoControllerScenario();
    s.controllers[0].sets[0].stateFlags = 0x18;
    s.controllers[0].drives[1].portState = 0x0201;
    s.controllers[0].rebuild.active = true;
    s.controllers[0].rebuild.startPosition = 488397168 / 4;
    s.controllers[0].rebuild.endPosition = 488397168;
    return s;
}

const char* const kLevels[] = {"OK", "WARNING", "CRITICAL", "UNKNOWN"};

TEST_F(StatusProgramTest, EveryFormatOverTheScenarios) {
    const auto none = [](SimSession&) {};
    const ScenarioCase cases[] = {
        {"healthy",
         [] { return sim::TwoControllerScenario(); },
         none,
         "kavo",
         {},
         0,
         "",
         "2 controllers, 6 drives, 3 sets"},
        {"default scenario",
         [] { return sim::LoadScenario(VELTRIX_DEFAULT_SCENARIO); },
         none,
         "kavo",
         {},
         2,
         "",
         "SMART Critical"},
        {"rebuild in progress",
         [] { return WithRebuild(); },
         none,
         "kavo",
         {},
         1,
         "",
         "Reduced, rebuild 25%"},
        {"no controllers",
         [] { return sim::Scenario{}; },
         none,
         "kavo",
         {},
         1,
         "",
         "no controllers"},
        {"wrong password",
         [] { return sim::TwoControllerScenario(); },
         none,
         "wrong",
         {},
         3,
         "login_refused",
         "login refused"},
        {"service not running",
         [] { return std::optional<sim::Scenario>(); },
         none,
         "kavo",
         {},
         3,
         "unreachable",
         "service not reachable"},
        {"silent after login",
         [] { return sim::TwoControllerScenario(); },
         [](SimSession& s) {
             s.sim().SetFault(
                 {.code = sim::kAnyCommandFaultCode, .kind = sim::FaultSpec::Kind::Silent});
         },
         "kavo",
         {"--timeout", "1"},
         3,
         "timeout",
         "time-out"},
        {"silent login",
         [] { return sim::TwoControllerScenario(); },
         [](SimSession& s) {
             s.sim().SetFault({.code = sim::kLoginFaultCode, .kind = sim::FaultSpec::Kind::Silent});
         },
         "kavo",
         {"--timeout", "1"},
         3,
         "timeout",
         "time-out"},
    };
    for (const ScenarioCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::optional<TempPipeDir> noService;
        service_.reset();
        if (auto scenario = c.scenario()) {
            StartService(*scenario);
            c.setUp(*service_);
        } else {
            noService.emplace();
        }
        const std::map<std::string, std::string> env{{"VELTRIX_PASSWORD", c.password}};
        const bool hasStatus = c.level != 3;
        const std::string level = kLevels[c.level];

        const auto run = [&](const char* format) {
            std::vector<std::string> a{"--format", format};
            a.insert(a.end(), c.extra.begin(), c.extra.end());
            return Status(a, env);
        };
        const ProgramResult nagios = run("nagios");
        EXPECT_FALSE(nagios.timedOut);
        EXPECT_EQ(nagios.exitCode, c.level) << nagios.out << nagios.err;
        EXPECT_EQ(nagios.out.rfind("VELTRIX " + level + " - ", 0), 0u) << nagios.out;
        EXPECT_EQ(FirstLine(nagios.out).find(" | controllers=") != std::string::npos, hasStatus)
            << "performance data with a status only: " << nagios.out;
        EXPECT_NE(FirstLine(nagios.out).find(c.said), std::string::npos) << nagios.out;
        EXPECT_EQ(nagios.err.empty(), hasStatus) << "the reason on standard error too";

        const ProgramResult json = run("json");
        EXPECT_EQ(json.exitCode, hasStatus ? 0 : 3) << json.err;
        EXPECT_EQ(SchemaRejects(json.out), "");
        const Json document = Json::parse(json.out, nullptr, false);
        ASSERT_FALSE(document.is_discarded()) << json.out;
        EXPECT_EQ(document["ok"], hasStatus);
        EXPECT_EQ(document["health"]["level"], level);
        if (!hasStatus) {
            EXPECT_EQ(document["error"]["reason"], c.reason);
        }

        const ProgramResult metrics = run("prometheus");
        EXPECT_EQ(metrics.exitCode, hasStatus ? 0 : 3) << metrics.err;
        EXPECT_EQ(PromtoolRejectsMetrics(metrics.out), "");
        const std::string up =
            hasStatus ? "veltrix_up{host=\"" + kMachine + "\"} 1\n"
                      : "veltrix_up{host=\"" + kMachine + "\",reason=\"" + c.reason + "\"} 0\n";
        EXPECT_NE(metrics.out.find(up), std::string::npos) << metrics.out;

        const ProgramResult text = run("text");
        EXPECT_EQ(text.exitCode, hasStatus ? 0 : 3) << text.err;
        if (hasStatus) {
            EXPECT_NE(text.out.find("\nStatus: " + level + "\n"), std::string::npos) << text.out;
        } else {
            EXPECT_EQ(text.out, "");
            EXPECT_NE(text.err.find("veltrix-status: "), std::string::npos);
            // One line of its own words, none of the window's texts glued in.
            EXPECT_EQ(std::count(text.err.begin(), text.err.end(), '\n'), 1) << text.err;
            EXPECT_EQ(text.err.find("Error #"), std::string::npos) << text.err;
        }
    }
}

// Three services over TCP asked in one run: a healthy one, one with a reduced mirror and
// a silent one. Every format holds every host in the order given, the worst state wins,
// and the run takes the silent host's time-out once: the healthy host's slow replies
// (longer than the rest of a run that asked the hosts in turn would allow) overlap it.
TEST_F(StatusProgramTest, SeveralHostsAtOnce) {
    sim::Scenario reduced = sim::TwoControllerScenario();
    reduced.controllers[0].sets[0].stateFlags = 0x18;
    SimSession healthy(sim::TwoControllerScenario(), Transport::Tcp);
    SimSession mirror(reduced, Transport::Tcp);
    SimSession silent(sim::TwoControllerScenario(), Transport::Tcp);
    healthy.sim().SetFault({.code = GET_REBUILD_STATUS,
                            .kind = sim::FaultSpec::Kind::Late,
                            .count = 1,
                            .delayMs = 3000});
    silent.sim().SetFault({.code = sim::kLoginFaultCode, .kind = sim::FaultSpec::Kind::Silent});
    const std::vector<std::string> hosts = {"127.0.0.1:" + std::to_string(healthy.sim().TcpPort()),
                                            "127.0.0.1:" + std::to_string(mirror.sim().TcpPort()),
                                            "127.0.0.1:" + std::to_string(silent.sim().TcpPort())};
    const auto run = [&](const char* format, const char* timeout) {
        return Status({"--format", format, "--timeout", timeout, "--host", hosts[0], "--host",
                       hosts[1], "--host", hosts[2]});
    };

    const auto start = std::chrono::steady_clock::now();
    const ProgramResult json = run("json", "5");
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took, std::chrono::milliseconds(6200)) << "asked one after the other";
    EXPECT_EQ(json.exitCode, 3) << json.err;
    EXPECT_EQ(SchemaRejects(json.out), "");
    const Json documents = Json::parse(json.out)["hosts"];
    ASSERT_EQ(documents.size(), 3u) << json.out;
    const char* const levels[] = {"OK", "CRITICAL", "UNKNOWN"};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(documents[i]["host"], hosts[i]);
        EXPECT_EQ(documents[i]["health"]["level"], levels[i]);
    }
    EXPECT_EQ(documents[2]["error"]["reason"], "timeout");
    EXPECT_NE(json.err.find("time-out with the service at 127.0.0.1 port " +
                            std::to_string(silent.sim().TcpPort())),
              std::string::npos)
        << json.err;

    const ProgramResult nagios = run("nagios", "5");
    EXPECT_EQ(nagios.exitCode, 2) << "CRITICAL before UNKNOWN: " << nagios.out;
    EXPECT_EQ(nagios.out.rfind("VELTRIX CRITICAL - 3 hosts: 1 CRITICAL, 1 UNKNOWN, 1 OK | ", 0), 0u)
        << nagios.out;
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_NE(nagios.out.find("\n" + hosts[i] + ": " + levels[i] + " - "), std::string::npos)
            << nagios.out;
    }

    const ProgramResult metrics = run("prometheus", "5");
    EXPECT_EQ(PromtoolRejectsMetrics(metrics.out), "");
    EXPECT_EQ(metrics.out.find("# TYPE veltrix_up"), metrics.out.rfind("# TYPE veltrix_up"))
        << "each family described once: " << metrics.out;
    for (const std::string& up :
         {"veltrix_up{host=\"" + hosts[0] + "\"} 1\n", "veltrix_up{host=\"" + hosts[1] + "\"} 1\n",
          "veltrix_up{host=\"" + hosts[2] + "\",reason=\"timeout\"} 0\n"}) {
        EXPECT_NE(metrics.out.find(up), std::string::npos) << up << metrics.out;
    }

    const ProgramResult text = run("text", "5");
    const auto first = text.out.find("Host " + hosts[0] + ": service version");
    const auto second = text.out.find("Host " + hosts[1] + ": service version");
    const auto third = text.out.find("Host " + hosts[2] + ": no status: time-out");
    EXPECT_TRUE(first < second && second < third && third != std::string::npos) << text.out;
    EXPECT_NE(text.out.find("\nStatus of 3 hosts: CRITICAL\n"), std::string::npos) << text.out;
}

// The desktop program holds the service: every run reports busy within its time-out,
// and the other client's session goes on as if nothing had happened.
TEST_F(StatusProgramTest, BusyServiceIsReportedAndTheOtherClientUndisturbed) {
    StartService(sim::TwoControllerScenario());
    ServiceLink other;
    ASSERT_TRUE(service_->login(other));

    const ProgramResult nagios = Status({"--format", "nagios", "--timeout", "5"});
    EXPECT_EQ(nagios.exitCode, 3);
    EXPECT_EQ(nagios.out.rfind("VELTRIX UNKNOWN - service busy with another client", 0), 0u)
        << nagios.out;
    const ProgramResult metrics = Status({"--format", "prometheus"});
    EXPECT_EQ(metrics.exitCode, 3);
    EXPECT_NE(metrics.out.find("veltrix_up{host=\"" + kMachine + "\",reason=\"busy\"} 0"),
              std::string::npos)
        << metrics.out;
    const ProgramResult json = Status({"--format", "json"});
    EXPECT_EQ(Json::parse(json.out)["error"]["reason"], "busy");

    EXPECT_EQ(service_->sim().ConnectionsAccepted(), 1u) << "no connection of the runs got in";
    for (const auto& entry : service_->sim().Transcript()) {
        EXPECT_EQ(entry.connection, 1u);
    }
    other.message.SetRequest(GET_CONTROLLER_COUNT);
    other.SendMessage();
    other.ReceiveMessage();
    EXPECT_EQ(other.message.Data()[0], 2) << "the other client's session still answers";
}

TEST_F(StatusProgramTest, JsonOfTheDefaultScenario) {
    StartService(sim::LoadScenario(VELTRIX_DEFAULT_SCENARIO));
    const ProgramResult json = Status({"--format", "json"});
    ASSERT_EQ(json.exitCode, 0) << json.err;
    const Json document = Json::parse(json.out);
    EXPECT_EQ(document["service"]["version"], "3.4.0.2");
    EXPECT_EQ(document["service"]["versionNumber"], 3040002);
    ASSERT_EQ(document["controllers"].size(), 2u);
    const Json& oak = document["controllers"][0];
    EXPECT_EQ(oak["name"], "RX-Oak 4P SATA");
    EXPECT_EQ(oak["chipset"], " SiI3124");
    EXPECT_EQ(oak["biosVersion"], "3.60");
    ASSERT_EQ(oak["drives"].size(), 6u);
    const Json& strata = oak["drives"][4];
    EXPECT_EQ(strata["position"], 0x22);
    EXPECT_EQ(strata["channel"], 2);
    EXPECT_EQ(strata["pmPort"], 2);
    EXPECT_EQ(strata["model"], "Strata 500");
    EXPECT_EQ(strata["serial"], "ST05000003");
    EXPECT_EQ(strata["capacity"]["bytes"], 976773168ull * 512);
    EXPECT_EQ(strata["capacity"]["text"], "465 GB");
    EXPECT_EQ(strata["smart"]["code"], 8);
    EXPECT_EQ(strata["smart"]["text"], "Critical");
    EXPECT_EQ(oak["drives"][1]["portState"]["text"], "Rebuild");
    const Json& mirror = oak["sets"][0];
    EXPECT_EQ(mirror["type"]["text"], "Mirror");
    EXPECT_EQ(mirror["state"]["code"], 0x18);
    EXPECT_EQ(mirror["state"]["text"], "Reduced");
    EXPECT_EQ(mirror["chunkSize"]["bytes"], 65536);
    EXPECT_EQ(mirror["members"]["ports"], Json::array({0, 1}));
    EXPECT_EQ(mirror["rebuild"]["percent"], 50);
    EXPECT_EQ(mirror["rebuild"]["progressRatio"], 0.5);
    EXPECT_TRUE(mirror["rebuild"]["speedBytesPerSecond"].is_null());
    EXPECT_TRUE(oak["sets"][1]["rebuild"].is_null());
    EXPECT_EQ(document["controllers"][1]["sets"][0]["type"]["text"], "RAID 5");
}

// Names from the service with quotes, backslashes, line ends and bytes that are not
// ASCII still make valid metrics and JSON.
TEST_F(StatusProgramTest, HostileNamesMakeValidOutput) {
    sim::Scenario scenario = sim::TwoControllerScenario();
    scenario.controllers[0].name = "a\"b\\c\nd\xff\xfe\x01";
    scenario.controllers[0].drives[0].model = "\"} 1\nveltrix_up 0 #";
    scenario.controllers[0].drives[0].serial = "\xc3\xa4|x";
    scenario.controllers[0].drives[0].smartFlags = 0;  // a finding that names the drive
    StartService(scenario);
    const ProgramResult metrics = Status({"--format", "prometheus"});
    ASSERT_EQ(metrics.exitCode, 0) << metrics.err;
    EXPECT_EQ(PromtoolRejectsMetrics(metrics.out), "");
    EXPECT_NE(metrics.out.find("name=\"a\\\"b\\\\c?d???\""), std::string::npos) << metrics.out;
    const ProgramResult json = Status({"--format", "json"});
    EXPECT_EQ(SchemaRejects(json.out), "");
    EXPECT_EQ(Json::parse(json.out)["controllers"][0]["drives"][0]["serial"], "??|x");
    const ProgramResult nagios = Status({"--format", "nagios"});
    EXPECT_EQ(std::count(nagios.out.begin(), nagios.out.end(), '|'), 1) << nagios.out;
}

// Every metric the alert rules and their tests use is one the program writes, and the
// rules pass their unit tests.
TEST_F(StatusProgramTest, AlertRulesMatchTheMetricsAndPassTheirTests) {
    StartService(WithRebuild());
    std::string written = Status({"--format", "prometheus"}).out;
    {
        service_.reset();
        TempPipeDir nothing;
        written += Status({"--format", "prometheus"}).out;
    }
    std::set<std::string> names;
    const std::regex metricName("veltrix_[a-z_]+");
    for (const std::string& file :
         {kDist + "/veltrix-alerts.yml",
          std::string(VELTRIX_STATUS_TESTS) + "/veltrix-alerts.test.yml"}) {
        const std::string text = ReadWholeFile(file);
        ASSERT_FALSE(text.empty()) << file;
        for (std::sregex_iterator it(text.begin(), text.end(), metricName), end; it != end; ++it) {
            names.insert(it->str());
        }
    }
    EXPECT_GE(names.size(), 6u);
    for (const std::string& name : names) {
        EXPECT_NE(written.find("\n" + name + "{"), std::string::npos) << name;
    }
    const ProgramResult rules = RunProgram(
        kPromtool,
        {"test", "rules", std::string(VELTRIX_STATUS_TESTS) + "/veltrix-alerts.test.yml"});
    EXPECT_EQ(rules.exitCode, 0) << rules.out << rules.err;
}

// The units as shipped, with ExecStart pointing at the program that was built.
TEST_F(StatusProgramTest, SystemdAcceptsTheUnits) {
    TempFolder folder;
    for (const char* name : {"veltrix-status.service", "veltrix-status.timer"}) {
        std::string unit = ReadWholeFile(kDist + "/" + name);
        ASSERT_FALSE(unit.empty()) << name;
        const std::string shipped = "/usr/local/bin/veltrix-status";
        if (const auto at = unit.find(shipped); at != std::string::npos) {
            unit.replace(at, shipped.size(), kProgram);
        }
        WriteWholeFile(folder.file(name), unit);
    }
    const ProgramResult verify = RunProgram(
        kSystemdAnalyze,
        {"verify", folder.file("veltrix-status.service"), folder.file("veltrix-status.timer")});
    EXPECT_EQ(verify.exitCode, 0) << verify.out << verify.err;
    EXPECT_EQ(verify.out + verify.err, "") << "no warnings either";
}

TEST_F(StatusProgramTest, PasswordSources) {
    StartService(sim::TwoControllerScenario());
    TempFolder folder;
    const std::string good = folder.file("good");
    WriteWholeFile(good, "kavo\r\n");
    ::chmod(good.c_str(), 0600);
    const std::string bad = folder.file("bad");
    WriteWholeFile(bad, "wrong\n");
    ::chmod(bad.c_str(), 0600);
    const std::string settingsFolder = config_.file("KavotronikVeltrix");
    std::filesystem::create_directory(settingsFolder);
    WriteWholeFile(settingsFolder + "/Veltrix.conf", "[SettingsGUI]\nDPPW=kavo\n");
    const std::string noSettings = folder.file("nothing");

    const struct {
        const char* name;
        std::vector<std::string> arguments;
        std::map<std::string, std::string> env;
        int exitCode;
        const char* said;
    } cases[] = {
        {"file", {"--password-file", good}, {{"VELTRIX_PASSWORD", "wrong"}}, 0, ""},
        {"file before the environment",
         {"--password-file", bad},
         {{"VELTRIX_PASSWORD", "kavo"}},
         3,
         "login refused"},
        {"environment", {}, {{"VELTRIX_PASSWORD", "kavo"}}, 0, ""},
        {"environment before the settings",
         {},
         {{"VELTRIX_PASSWORD", "wrong"}},
         3,
         "login refused"},
        {"settings file", {}, {{"VELTRIX_PASSWORD", ""}}, 0, ""},
        {"nowhere",
         {},
         {{"VELTRIX_PASSWORD", ""}, {"XDG_CONFIG_HOME", noSettings}},
         3,
         "no password: tried --password-file (not given), VELTRIX_PASSWORD (not set), the "
         "keyring (no session bus), the settings file"},
        {"missing file",
         {"--password-file", folder.file("missing")},
         {},
         3,
         "cannot open password file"},
        {"command line", {"--password", "kavo"}, {}, 3, "never taken from the command line"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> arguments{"--format", "nagios"};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        const ProgramResult result = Status(arguments, c.env);
        EXPECT_EQ(result.exitCode, c.exitCode) << result.out << result.err;
        EXPECT_NE(result.err.find(c.said), std::string::npos) << result.err;
    }

    WriteWholeFile(good, "kavo\n");
    ::chmod(good.c_str(), 0644);
    const ProgramResult readable = Status({"--password-file", good});
    EXPECT_EQ(readable.exitCode, 0);
    EXPECT_NE(readable.err.find("can be read by other users"), std::string::npos);
}

// --output replaces the file whole, with or without a status, so it never shows an
// older status; a file that cannot be written is exit code 1 with the status read.
TEST_F(StatusProgramTest, OutputFileIsReplacedWhole) {
    StartService(sim::TwoControllerScenario());
    TempFolder folder;
    const std::string path = folder.file("veltrix.prom");
    EXPECT_EQ(Status({"--format", "prometheus", "--output", path}).exitCode, 0);
    EXPECT_NE(ReadWholeFile(path).find("veltrix_up{host=\"" + kMachine + "\"} 1"),
              std::string::npos);

    const ProgramResult refused =
        Status({"--format", "prometheus", "--output", path}, {{"VELTRIX_PASSWORD", "wrong"}});
    EXPECT_EQ(refused.exitCode, 3);
    EXPECT_EQ(refused.out, "");
    EXPECT_NE(ReadWholeFile(path).find("veltrix_up{host=\"" + kMachine +
                                       "\",reason=\"login_refused\"} 0"),
              std::string::npos);
    EXPECT_EQ(folder.names().size(), 1u);

    const ProgramResult unwritable =
        Status({"--format", "prometheus", "--output", folder.file("none/veltrix.prom")});
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_NE(unwritable.err.find("output not written"), std::string::npos);
}

// The speed comes from the previous run's sample: a minute ago the rebuild stood
// 6144000 sectors further back.
TEST_F(StatusProgramTest, RebuildSpeedFromTheStateFile) {
    StartService(WithRebuild());
    TempFolder folder;
    const std::string state = folder.file("state.json");
    const std::uint64_t position = 488397168 / 4;
    const std::uint64_t earlier = position - 6144000;
    const auto minuteAgo = std::chrono::duration_cast<std::chrono::milliseconds>(
                               std::chrono::system_clock::now().time_since_epoch())
                               .count() -
                           60000;
    Json sample = {{"host", "."},         {"controller", 0},       {"setPort", 0},
                   {"position", earlier}, {"capacity", 488397168}, {"timeMs", minuteAgo}};
    WriteWholeFile(state, Json{{"schema", 1}, {"samples", Json::array({sample})}}.dump());
    const ProgramResult json = Status({"--format", "json", "--state-file", state});
    ASSERT_EQ(json.exitCode, 0) << json.err;
    const Json rebuild = Json::parse(json.out)["controllers"][0]["sets"][0]["rebuild"];
    const double speed = 6144000.0 * 512 / 60;  // 50 MiB/s
    // The run reads its clock a little after the test wrote the sample.
    EXPECT_NEAR(rebuild["speedBytesPerSecond"].get<double>(), speed, speed * 0.05);
    const double remaining = (488397168.0 - static_cast<double>(position)) * 512 / speed;
    EXPECT_NEAR(rebuild["remainingSeconds"].get<double>(), remaining, remaining * 0.05);

    // This run's sample replaced the old one for the next run.
    const Json kept = Json::parse(ReadWholeFile(state));
    ASSERT_EQ(kept["samples"].size(), 1u);
    EXPECT_EQ(kept["samples"][0]["position"], position);
}

}  // namespace
}  // namespace veltrix::testing
