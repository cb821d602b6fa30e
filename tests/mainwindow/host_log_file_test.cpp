// The host log file: the record read with 3001 (how much of it by the service's
// version), what the dialog offers, and the record written back with 3000, byte for
// byte against the simulated service.

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

#include "main_window_fixture.h"
#include "protocol/named_pipe.h"
#include "texts/strings.h"
#include "ui/mainwindow/host_log_file_dialog.h"
#include "ui/resources/main_window_ids.h"

namespace veltrix::testing {
namespace {

using namespace std::chrono_literals;

constexpr int kOk = 1;
constexpr int kCancel = 2;
constexpr char kServiceLogName[] = "C:\\Logs\\raid%d%s.log";

struct Version {
    std::uint16_t major, minor, build, revision;
};

sim::Scenario ServiceOf(Version v, std::uint8_t flags = 0x01) {
    sim::Scenario scenario = sim::TwoControllerScenario();
    scenario.versionMajor = v.major;
    scenario.versionMinor = v.minor;
    scenario.versionBuild = v.build;
    scenario.versionRevision = v.revision;
    scenario.configReserved = 0xBEEF;
    scenario.configFlags = flags;
    scenario.logFileName = kServiceLogName;
    return scenario;
}

// What the dialog showed when it opened.
struct Shown {
    std::string fileName;
    bool fileNameEnabled = false;
    bool logActive = false;
    std::string hostName;
};

class HostLogFileTest : public MainWindowTest {
  protected:
    void StartConnected(const sim::Scenario& scenario) {
        Start(scenario);
        Connect();
        sim().clearTranscript();
    }

    // Opens the dialog from the menu; `play` acts in it before `button` is pressed
    // (Cancel follows when the dialog refused to close).
    void Run(const std::function<void(QDialog&)>& play, int button = kOk) {
        ui.onModal = [this, play, button](QDialog& dialog) {
            WindowDriver d(dialog);
            shown = {d.ItemText(CSrvCfgDlg::kFileNameId), d.IsItemEnabled(CSrvCfgDlg::kFileNameId),
                     d.Control<QCheckBox>(CSrvCfgDlg::kLogActiveId)->isChecked(),
                     d.ItemText(CSrvCfgDlg::kHostNameId)};
            play(dialog);
            d.ClickItem(button);
            if (dialog.result() != QDialog::Accepted) {
                d.ClickItem(kCancel);
            }
            return dialog.result();
        };
        ASSERT_TRUE(driver().UserChoose(menu_id::kLogFile));
        Settle();
    }

    // The 3000 message the service received, or nothing.
    std::optional<sim::TranscriptEntry> Written(std::chrono::milliseconds wait = 5s) {
        return sim().waitForCode(SET_HOST_LOGFILE, wait);
    }

    // The record as the service sends it; a service up to 3.0.2 gives only its first
    // 11 bytes, the rest stays zero.
    std::vector<std::uint8_t> RecordAsTaken(bool whole) {
        const auto bytes =
            sim().inspect([](const sim::ServiceEngine& e) { return e.serviceConfig().encode(); });
        std::vector<std::uint8_t> taken(bytes.begin(), bytes.end());
        if (!whole) {
            std::fill(taken.begin() + ServiceConfig::kVersionPartSize, taken.end(), 0);
        }
        return taken;
    }

    Shown shown;
};

void SetChecked(QDialog& dialog, bool on) {
    platform::FindControl<QCheckBox>(dialog, CSrvCfgDlg::kLogActiveId)->setChecked(on);
}

void TypeName(QDialog& dialog, const std::string& name) {
    platform::FindControl<QLineEdit>(dialog, CSrvCfgDlg::kFileNameId)
        ->setText(QString::fromStdString(name));
}

struct VersionCase {
    const char* name;
    Version version;
    bool wholeRecord;  // the service's version is above 3.0.2
    bool offered;      // the name is shown and can be changed
};

class HostLogVersionTest : public HostLogFileTest,
                           public ::testing::WithParamInterface<VersionCase> {};

TEST_P(HostLogVersionTest, OffersTheNameByVersionAndWritesTheRecordBack) {
    const VersionCase& c = GetParam();
    StartConnected(ServiceOf(c.version));
    const std::vector<std::uint8_t> taken = RecordAsTaken(c.wholeRecord);
    Run([](QDialog&) {});

    EXPECT_TRUE(ui.messages.empty()) << ui.messageTexts()[0];
    ASSERT_TRUE(Written().has_value());
    EXPECT_EQ(shown.fileName, c.offered ? kServiceLogName : "");
    EXPECT_EQ(shown.fileNameEnabled, c.offered);
    EXPECT_TRUE(shown.logActive);
    EXPECT_EQ(shown.hostName, "  " + host());
    EXPECT_FALSE(session().Link().pipeBusy);

    // 3001 without data, then 3000 with the record: every byte as it was taken (the
    // name of a service that does not offer it included), the flags unchanged.
    const auto transcript = sim().transcript();
    ASSERT_EQ(transcript.size(), 2u);
    EXPECT_EQ(transcript[0].code, GET_SERVICE_CONFIG);
    EXPECT_EQ(transcript[0].length, 0u);
    EXPECT_EQ(transcript[0].size, 6u);
    EXPECT_EQ(transcript[1].code, SET_HOST_LOGFILE);
    EXPECT_EQ(transcript[1].length, 261u);
    EXPECT_EQ(transcript[1].size, 267u);
    EXPECT_EQ(transcript[1].data, taken);
}

INSTANTIATE_TEST_SUITE_P(Versions, HostLogVersionTest,
                         ::testing::Values(VersionCase{"V2_9_500", {2, 9, 500, 0}, false, false},
                                           VersionCase{"V3_0_2", {3, 0, 2, 0}, false, false},
                                           VersionCase{"V3_0_3", {3, 0, 3, 0}, true, true},
                                           VersionCase{"V3_0_299", {3, 0, 299, 0}, true, false},
                                           VersionCase{"V3_0_300", {3, 0, 300, 0}, true, true},
                                           VersionCase{"V3_1_0", {3, 1, 0, 0}, true, true},
                                           VersionCase{"V3_4_0_0", {3, 4, 0, 0}, true, true}),
                         [](const auto& p) { return std::string(p.param.name); });

struct FlagsCase {
    const char* name;
    Version version;
    std::uint8_t read;
    bool shownActive;
    bool chosen;
    std::uint8_t written;
};

class HostLogFlagsTest : public HostLogFileTest, public ::testing::WithParamInterface<FlagsCase> {};

TEST_P(HostLogFlagsTest, OffClearsTheByteOnKeepsTheOtherBits) {
    const FlagsCase& c = GetParam();
    StartConnected(ServiceOf(c.version, c.read));
    std::vector<std::uint8_t> expected = RecordAsTaken(c.version.build != 2);
    expected[10] = c.written;
    Run([&](QDialog& dialog) { SetChecked(dialog, c.chosen); });

    EXPECT_EQ(shown.logActive, c.shownActive);
    const auto written = Written();
    ASSERT_TRUE(written.has_value());
    EXPECT_EQ(written->data, expected);
    EXPECT_EQ(
        sim().inspect([](const sim::ServiceEngine& e) { return e.serviceConfig(); }).configFlags,
        c.written);
}

INSTANTIATE_TEST_SUITE_P(
    Flags, HostLogFlagsTest,
    ::testing::Values(FlagsCase{"OffClearsAllBits", {3, 4, 0, 0}, 0x87, true, false, 0x00},
                      FlagsCase{"OnKeepsOtherBits", {3, 4, 0, 0}, 0x86, true, true, 0x87},
                      FlagsCase{"OnFromNothing", {3, 4, 0, 0}, 0x00, false, true, 0x01},
                      FlagsCase{"AnyBitShowsActive", {3, 4, 0, 0}, 0x04, true, true, 0x05},
                      // The old service: an empty, disabled name, and OK still writes.
                      FlagsCase{"OldServiceOn", {3, 0, 2, 0}, 0x00, false, true, 0x01}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(HostLogFileTest, NameWithPercentSignsTravelsUnchanged) {
    StartConnected(ServiceOf({3, 1, 0, 0}));
    const std::string name = "D:\\%s%n%%\\veltrix %1.log";
    Run([&](QDialog& dialog) { TypeName(dialog, name); });
    const auto written = Written();
    ASSERT_TRUE(written.has_value());
    const auto nameBytes = written->data.begin() + ServiceConfig::kVersionPartSize;
    EXPECT_EQ(std::string(nameBytes, nameBytes + static_cast<std::ptrdiff_t>(name.size() + 1)),
              name + '\0');

    // Read again, the dialog shows it as it was typed.
    Run([](QDialog&) {}, kCancel);
    EXPECT_EQ(shown.fileName, name);
}

TEST_F(HostLogFileTest, NameLongerThanTheRecordHoldsIsRefusedInTheDialog) {
    StartConnected(ServiceOf({3, 4, 0, 0}));
    Run([](QDialog& dialog) { TypeName(dialog, std::string(250, 'n')); });
    EXPECT_EQ(ui.messageTexts(), std::vector<std::string>{"The file name is too long: it may have "
                                                          "at most 249 characters."});
    EXPECT_FALSE(Written(0ms).has_value());

    Run([](QDialog& dialog) { TypeName(dialog, std::string(249, 'n')); });
    ASSERT_TRUE(Written().has_value());
    EXPECT_EQ(sim()
                  .inspect([](const sim::ServiceEngine& e) { return e.serviceConfig(); })
                  .logFileNameText(),
              std::string(249, 'n'));
}

TEST_F(HostLogFileTest, CancelWritesNothing) {
    StartConnected(ServiceOf({3, 4, 0, 0}));
    Run([](QDialog& dialog) { SetChecked(dialog, false); }, kCancel);
    EXPECT_FALSE(Written(0ms).has_value());
    EXPECT_EQ(sim().transcript().size(), 1u);
}

TEST_F(HostLogFileTest, NeedsAConnection) {
    Start(ServiceOf({3, 4, 0, 0}));
    ASSERT_TRUE(driver().UserChoose(menu_id::kLogFile));
    EXPECT_EQ(ui.messageTexts(), std::vector<std::string>{"Hostsystem not connected."});
    EXPECT_TRUE(ui.modalRuns.empty());
}

// Each failing step reports its own number, releases the channel and, for the read,
// shows no dialog.
struct FailureCase {
    const char* name;
    bool failRead;   // the service closes instead of answering 3001
    bool stopFirst;  // the service is gone before 3001
    bool stopInDialog;
    std::vector<std::string> messages;
    bool dialogShown;
};

class HostLogFailureTest : public HostLogFileTest,
                           public ::testing::WithParamInterface<FailureCase> {};

TEST_P(HostLogFailureTest, ReportsTheFailingStep) {
    const FailureCase& c = GetParam();
    StartConnected(ServiceOf({3, 4, 0, 0}));
    if (c.failRead) {
        sim().setFault({.code = GET_SERVICE_CONFIG, .kind = sim::FaultSpec::Kind::Close});
    }
    if (c.stopFirst) {
        sim().stop();
    }
    Run([&](QDialog&) {
        if (c.stopInDialog) {
            sim().stop();
        }
    });
    EXPECT_EQ(ui.messageTexts(), c.messages);
    EXPECT_EQ(ui.modalRuns.size(), c.dialogShown ? 1u : 0u);
    EXPECT_FALSE(session().Link().pipeBusy);
}

const std::string kBrokenPipe = SystemErrorText(win32::ERROR_BROKEN_PIPE);

INSTANTIATE_TEST_SUITE_P(
    Failures, HostLogFailureTest,
    ::testing::Values(FailureCase{"ReadOfTheRecord",
                                  true,
                                  false,
                                  false,
                                  {"Kavotronik Service Read Error!\nError #KGD-3457"},
                                  false},
                      FailureCase{"WriteOfTheRequest",
                                  false,
                                  true,
                                  false,
                                  {kBrokenPipe, "Kavotronik Service Write Error!\nError #KGD-3443"},
                                  false},
                      FailureCase{"WriteOfTheRecord",
                                  false,
                                  false,
                                  true,
                                  {kBrokenPipe, "Kavotronik Service Write Error!\nError #KGD-3419"},
                                  true}),
    [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace veltrix::testing
