// The parts of veltrix-status that need no service: the speed from two samples, the
// state file read back whatever it holds, the command line, the password file, the
// atomic replacement of an output file.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "status/atomic_file.h"
#include "status/failure_text.h"
#include "status/options.h"
#include "status/password_source.h"
#include "status/rebuild_history.h"
#include "support/program_run.h"

namespace veltrix::testing {
namespace {

namespace fs = std::filesystem;
using namespace status;

struct SpeedCase {
    const char* name;
    RebuildSample earlier;
    std::uint64_t position;
    std::uint64_t capacity;
    std::int64_t nowMs;
    std::optional<double> speed;
    std::optional<double> remaining;
};

TEST(RebuildSpeedTest, FromTwoSamples) {
    const SpeedCase cases[] = {
        {"moved 1000 sectors in 10 s",
         {".", 0, 0, 1000, 11000, 0},
         2000,
         11000,
         10000,
         51200.0,
         90.0},
        {"stood still", {".", 0, 0, 1000, 11000, 0}, 1000, 11000, 60000, 0.0, std::nullopt},
        {"at the end", {".", 0, 0, 1000, 11000, 0}, 11000, 11000, 10000, 512000.0, 0.0},
        {"started again",
         {".", 0, 0, 5000, 11000, 0},
         1000,
         11000,
         10000,
         std::nullopt,
         std::nullopt},
        {"another set's size",
         {".", 0, 0, 1000, 22000, 0},
         2000,
         11000,
         10000,
         std::nullopt,
         std::nullopt},
        {"sample from the future",
         {".", 0, 0, 1000, 11000, 20000},
         2000,
         11000,
         10000,
         std::nullopt,
         std::nullopt},
        {"same moment",
         {".", 0, 0, 1000, 11000, 10000},
         2000,
         11000,
         10000,
         std::nullopt,
         std::nullopt},
        {"sample too old",
         {".", 0, 0, 1000, 11000, 0},
         2000,
         11000,
         kMaxSampleAgeMs + 1,
         std::nullopt,
         std::nullopt},
    };
    for (const SpeedCase& c : cases) {
        SCOPED_TRACE(c.name);
        const SpeedEstimate estimate = EstimateSpeed(c.earlier, c.position, c.capacity, c.nowMs);
        EXPECT_EQ(estimate.bytesPerSecond, c.speed);
        EXPECT_EQ(estimate.remainingSeconds, c.remaining);
    }
}

TEST(RebuildHistoryTest, WhateverTheStateFileHoldsLoadsSafely) {
    TempFolder folder;
    const struct {
        const char* content;
        std::size_t samples;
        bool warns;
    } cases[] = {
        {"", 0, true},
        {"not json", 0, true},
        {"[]", 0, true},
        {R"({"schema":"1","samples":[]})", 0, true},
        {R"({"schema":2,"samples":[]})", 0, true},
        {R"({"schema":1,"samples":{}})", 0, true},
        {R"({"schema":1,"samples":[]})", 0, false},
        {R"({"schema":1,"samples":[{"host":".","controller":0,"setPort":300,"position":1,)"
         R"("capacity":2,"timeMs":3}]})",
         0, true},
        {R"({"schema":1,"samples":[{"host":".","controller":0,"setPort":3,"position":-1,)"
         R"("capacity":2,"timeMs":3}]})",
         0, true},
        {R"({"schema":1,"samples":[7,{"host":".","controller":1,"setPort":3,"position":1,)"
         R"("capacity":2,"timeMs":3}]})",
         1, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.content);
        WriteWholeFile(folder.file("state.json"), c.content);
        std::string warning;
        const RebuildHistory history = RebuildHistory::Load(folder.file("state.json"), warning);
        EXPECT_EQ(history.Samples().size(), c.samples);
        EXPECT_EQ(!warning.empty(), c.warns) << warning;
    }
    std::string warning;
    EXPECT_TRUE(RebuildHistory::Load(folder.file("missing.json"), warning).Samples().empty());
    EXPECT_TRUE(warning.empty()) << "a first run has no state yet";
    WriteWholeFile(folder.file("large.json"), std::string(2 << 20, ' '));
    EXPECT_TRUE(RebuildHistory::Load(folder.file("large.json"), warning).Samples().empty());
    EXPECT_FALSE(warning.empty());
}

TEST(OptionsTest, CommandLines) {
    const struct {
        std::vector<std::string> arguments;
        bool ok;
        const char* errorPart;
    } cases[] = {
        {{}, true, ""},
        {{"--format", "prometheus", "--host=raid1", "--timeout", "2.5"}, true, ""},
        {{"--format", "xml"}, false, "unknown format"},
        {{"--timeout", "0"}, false, "--timeout"},
        {{"--timeout", "-1"}, false, "--timeout"},
        {{"--timeout", "nan"}, false, "--timeout"},
        {{"--timeout", "1e9"}, false, "--timeout"},
        {{"--timeout", "10s"}, false, "--timeout"},
        {{"--host"}, false, "needs a value"},
        {{"--host="}, false, "--host needs a host name"},
        {{"--host", "localhost:99999"}, false, "port from 1 to 65535"},
        {{"--host", "[::1]:"}, false, "port from 1 to 65535"},
        {{"--host", "a", "--host", "b", "--host", "a"}, false, "\"a\" is given twice"},
        {{"--hosts-file", "/nonexistent/hosts"}, false, "cannot read hosts file"},
        {{"--output", ""}, false, "needs a file name"},
        {{"--password", "kavo"}, false, "never taken from the command line"},
        {{"--password=kavo"}, false, "never taken from the command line"},
        {{"kavo"}, false, "unknown argument"},
        {{"--version=1"}, false, "unknown argument"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.empty() ? "(none)" : c.arguments.front());
        const ParsedOptions parsed = ParseOptions(c.arguments);
        EXPECT_EQ(parsed.options.has_value(), c.ok) << parsed.error;
        EXPECT_NE(parsed.error.find(c.errorPart), std::string::npos) << parsed.error;
    }
    const Options options =
        *ParseOptions({"--format", "prometheus", "--host=raid1", "--timeout", "2.5"}).options;
    EXPECT_EQ(options.format, Format::Prometheus);
    EXPECT_EQ(options.hosts, (std::vector<HostTarget>{{"raid1", ""}}));
    EXPECT_EQ(options.timeout, std::chrono::milliseconds(2500));
    EXPECT_TRUE(ParseOptions({"--version"}).options->version);
    EXPECT_EQ(ParseOptions({}).options->hosts, (std::vector<HostTarget>{{".", ""}}));

    // Hosts in the order given, from the command line and the hosts file; a password
    // file per host where given as HOST=FILE, else the common one.
    TempFolder folder;
    WriteWholeFile(folder.file("hosts"), "# racks\n  raid2 \t# second\n\n[::1]:47700\r\n");
    const Options several =
        *ParseOptions({"--host", "raid1", "--password-file", "raid2=/p2", "--hosts-file",
                       folder.file("hosts"), "--password-file=/common", "--host", "."})
             .options;
    EXPECT_EQ(several.hosts, (std::vector<HostTarget>{
                                 {"raid1", ""}, {"raid2", "/p2"}, {"[::1]:47700", ""}, {".", ""}}));
    EXPECT_EQ(several.passwordFile, "/common");
    EXPECT_EQ(ParseOptions({"--password-file", "raid9=/p"}).options->passwordFile, "raid9=/p")
        << "not one of the hosts: a file name with '=' in it";
}

// One sentence per failure: what happened, the pipe or host and port tried, the
// session's own words in brackets (the window's texts left out), and what to do.
TEST(FailureSentenceTest, SaysWhatWhereAndWhatToDo) {
    ::setenv("VELTRIX_PIPE_DIR", "/run/test", 1);
    ::setenv("VELTRIX_PIPE_PORT", "4711", 1);
    const struct {
        Failure failure;
        const char* host;
        const char* message;
        const char* sentence;
    } cases[] = {
        {Failure::Unreachable, ".", "No such file or directory",
         "service not reachable at /run/test/KAVOPIPE (No such file or directory); is the "
         "service running on this machine?"},
        {Failure::Unreachable, "raid1", "Connection refused",
         "service not reachable at raid1 port 4711 (Connection refused); is the service running "
         "on raid1 and listening on TCP port 4711"},
        {Failure::Unreachable, ".", "Permission denied",
         "service not reachable at /run/test/KAVOPIPE (Permission denied); this user may not "
         "open its folder /run/test; only its owner and, where the mode allows, its group may"},
        {Failure::Unreachable, "127.0.0.1:47701", "Connection refused",
         "service not reachable at 127.0.0.1 port 47701 (Connection refused); is the service "
         "running on 127.0.0.1 and listening on TCP port 47701?"},
        {Failure::Timeout, "[::1]:47702", "", "time-out with the service at ::1 port 47702; "},
        {Failure::Password, ".", "no password: give --password-file FILE",
         "no password: give --password-file FILE"},
        {Failure::Password, ".", "cannot open password file /x: Permission denied",
         "no password: cannot open password file /x: Permission denied"},
        {Failure::LoginRefused, ".", "",
         "login refused (wrong password) by the service at "
         "/run/test/KAVOPIPE; give its password with"},
        {Failure::Busy, ".", "", "service busy with another client at /run/test/KAVOPIPE; the "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sentence);
        StatusReport report;
        report.host = c.host;
        report.failure = c.failure;
        report.failureMessage = c.message;
        EXPECT_EQ(FailureSentence(report).rfind(c.sentence, 0), 0u) << FailureSentence(report);
    }
    ::unsetenv("VELTRIX_PIPE_DIR");
    ::unsetenv("VELTRIX_PIPE_PORT");
}

TEST(PasswordFileTest, FirstLineWithoutItsEnd) {
    std::string error;
    EXPECT_EQ(PasswordFromFileContent("kavo\n", error), "kavo");
    EXPECT_EQ(PasswordFromFileContent("kavo\r\nsecond line\n", error), "kavo");
    EXPECT_EQ(PasswordFromFileContent("with blank \n", error), "with blank ");
    EXPECT_FALSE(PasswordFromFileContent("\nkavo\n", error).has_value());
    EXPECT_FALSE(PasswordFromFileContent(std::string("ka\0vo", 5), error).has_value());
    EXPECT_NE(error.find("NUL"), std::string::npos);
}

TEST(AtomicFileTest, ReplacesWholeOrNotAtAll) {
    TempFolder folder;
    const std::string path = folder.file("veltrix.prom");
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(path, "first\n", 0644, error)) << error;
    ASSERT_TRUE(WriteFileAtomically(path, "second\n", 0644, error)) << error;
    EXPECT_EQ(ReadWholeFile(path), "second\n");
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0644u) << "node exporter reads it as another user";
    EXPECT_EQ(folder.names().size(), 1u) << "no temporary file left behind";

    // A folder in the file's place cannot be replaced: the error says so and nothing
    // is left behind.
    fs::create_directory(folder.file("taken"));
    EXPECT_FALSE(WriteFileAtomically(folder.file("taken"), "x", 0644, error));
    EXPECT_NE(error.find("rename"), std::string::npos) << error;
    EXPECT_EQ(folder.names().size(), 2u);
    EXPECT_FALSE(WriteFileAtomically(folder.file("no/such/folder/file"), "x", 0644, error));
    EXPECT_NE(error.find("temporary"), std::string::npos) << error;
}

}  // namespace
}  // namespace veltrix::testing
