// The host log file: the record read with 3001 (how much of it by the service's
// version), what the dialog offers, and the record written back with 3000, byte for
// byte against the simulated service.

#include <QCheckBox>
#include <QLineEdit>

#include "gui/resources/main_window_ids.h"
#include "gui/settings/host_log_file_dialog.h"
#include "protocol/service_channel.h"
#include "support/main_window_fixture.h"

namespace veltrix::testing {
namespace {

using namespace std::chrono_literals;

constexpr int kOk = 1;
constexpr int kCancel = 2;
constexpr char kServiceLogName[] = "C:\\Logs\\raid%d%s.log";

struct Version {
    std::uint16_t major, minor, build;
};

class HostLogFileTest : public MainWindowTest {
  protected:
    void StartConnected(Version v, std::uint8_t flags) {
        sim::Scenario scenario = sim::TwoControllerScenario();
        scenario.versionMajor = v.major;
        scenario.versionMinor = v.minor;
        scenario.versionBuild = v.build;
        scenario.configReserved = 0xBEEF;
        scenario.configFlags = flags;
        scenario.logFileName = kServiceLogName;
        Start(scenario);
        Connect();
        sim().ClearTranscript();
    }

    // Opens the dialog from the menu, notes what it shows, lets `play` act and presses
    // `button` (Cancel follows when the dialog refuses to close).
    void Run(const std::function<void(QDialog&)>& play, int button = kOk) {
        ui.onModal = [this, play, button](QDialog& dialog) {
            WindowDriver d(dialog);
            shownName = d.ItemText(HostLogFileDialog::kFileNameId);
            shownEnabled = d.IsItemEnabled(HostLogFileDialog::kFileNameId);
            shownActive = d.Control<QCheckBox>(HostLogFileDialog::kLogActiveId)->isChecked();
            shownHost = d.ItemText(HostLogFileDialog::kHostNameId);
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

    ServiceConfig ServiceRecord() {
        return sim().Inspect([](const sim::ServiceEngine& e) { return e.Config(); });
    }

    std::string shownName, shownHost;
    bool shownEnabled = false, shownActive = false;
};

struct EditCase {
    const char* name;
    Version version;
    bool wholeRecord;  // above 3.0.2: the client takes all 261 bytes
    bool offered;      // the name is shown and can be changed
    std::uint8_t flagsRead;
    std::optional<bool> check;         // what the user makes of the check box
    std::optional<std::string> typed;  // the name the user types
    int button;
    std::vector<std::string> messages;
    std::optional<std::uint8_t> flagsWritten;  // nothing: 3000 is not sent
};

class HostLogEditTest : public HostLogFileTest, public ::testing::WithParamInterface<EditCase> {};

TEST_P(HostLogEditTest, WritesTheRecordBackAsTakenWithTheUsersChanges) {
    const EditCase& c = GetParam();
    StartConnected(c.version, c.flagsRead);
    const auto bytes = ServiceRecord().Encode();
    std::vector<std::uint8_t> expected(bytes.begin(), bytes.end());
    if (!c.wholeRecord) {
        std::fill(expected.begin() + ServiceConfig::kVersionPartSize, expected.end(), 0);
    }
    Run(
        [&](QDialog& dialog) {
            if (c.check) {
                platform::FindControl<QCheckBox>(dialog, HostLogFileDialog::kLogActiveId)
                    ->setChecked(*c.check);
            }
            if (c.typed) {
                platform::FindControl<QLineEdit>(dialog, HostLogFileDialog::kFileNameId)
                    ->setText(QString::fromStdString(*c.typed));
            }
        },
        c.button);

    EXPECT_EQ(ui.messageTexts(), c.messages);
    EXPECT_EQ(shownName, c.offered ? kServiceLogName : "");
    EXPECT_EQ(shownEnabled, c.offered);
    EXPECT_EQ(shownActive, c.flagsRead != 0) << "any bit shows the log as active";
    EXPECT_EQ(shownHost, "  " + host());

    const auto written = sim().WaitForCode(SET_HOST_LOGFILE, c.flagsWritten ? 5s : 0s);
    const auto transcript = sim().Transcript();
    ASSERT_EQ(transcript.size(), c.flagsWritten ? 2u : 1u);
    EXPECT_EQ(transcript[0].code, GET_SERVICE_CONFIG);
    EXPECT_EQ(transcript[0].size, 6u);
    ASSERT_EQ(written.has_value(), c.flagsWritten.has_value());
    if (!written) {
        return;
    }
    // Every byte as taken (a name not offered included), the flags and a typed name
    // ("%" and all) as the user left them.
    expected[10] = *c.flagsWritten;
    if (c.typed) {
        std::fill(expected.begin() + ServiceConfig::kVersionPartSize, expected.end(), 0);
        std::copy(c.typed->begin(), c.typed->end(),
                  expected.begin() + ServiceConfig::kVersionPartSize);
    }
    EXPECT_EQ(written->length, 261u);
    EXPECT_EQ(written->size, 267u);
    EXPECT_EQ(written->data, expected);
    EXPECT_EQ(ServiceRecord().configFlags, *c.flagsWritten);
    EXPECT_FALSE(session().Link().pipeBusy);
}

const std::string kPercentName = "D:\\%s%n%%\\veltrix %1.log";
const std::string kTooLong = "The file name is too long: it may have at most 249 characters.";

INSTANTIATE_TEST_SUITE_P(
    Versions, HostLogEditTest,
    ::testing::Values(
        EditCase{"V2NeverOffers", {2, 9, 500}, false, false, 0x01, {}, {}, kOk, {}, 0x01},
        // An empty, disabled name, and OK still writes the flags.
        EditCase{"V3_0_2", {3, 0, 2}, false, false, 0x00, true, {}, kOk, {}, 0x01},
        EditCase{
            "V3_0_299OffClearsAllBits", {3, 0, 299}, true, false, 0x87, false, {}, kOk, {}, 0x00},
        EditCase{
            "V3_0_300OnKeepsOtherBits", {3, 0, 300}, true, true, 0x86, true, {}, kOk, {}, 0x87},
        EditCase{
            "V3_1_0PercentSigns", {3, 1, 0}, true, true, 0x01, {}, kPercentName, kOk, {}, 0x01},
        EditCase{"V3_4_0AnyBitShowsActive", {3, 4, 0}, true, true, 0x04, {}, {}, kOk, {}, 0x05},
        EditCase{
            "LongestName", {3, 4, 0}, true, true, 0x01, {}, std::string(249, 'n'), kOk, {}, 0x01},
        EditCase{"LongerNameRefused",
                 {3, 4, 0},
                 true,
                 true,
                 0x01,
                 {},
                 std::string(250, 'n'),
                 kOk,
                 {kTooLong},
                 {}},
        EditCase{"CancelWritesNothing", {3, 4, 0}, true, true, 0x01, false, {}, kCancel, {}, {}}),
    [](const auto& p) { return std::string(p.param.name); });

// Each failing step reports its own number, releases the channel and, for the read,
// shows no dialog.
struct FailureCase {
    const char* name;
    bool failRead;      // the service closes instead of answering 3001
    bool stopFirst;     // the service is gone before 3001
    bool stopInDialog;  // ... before 3000
    std::string systemText;
    std::string message;
};

class HostLogFailureTest : public HostLogFileTest,
                           public ::testing::WithParamInterface<FailureCase> {};

TEST_P(HostLogFailureTest, ReportsTheFailingStep) {
    const FailureCase& c = GetParam();
    StartConnected({3, 4, 0}, 0x01);
    if (c.failRead) {
        sim().SetFault({.code = GET_SERVICE_CONFIG, .kind = sim::FaultSpec::Kind::Close});
    }
    if (c.stopFirst) {
        sim().Stop();
    }
    Run([&](QDialog&) {
        if (c.stopInDialog) {
            sim().Stop();
        }
    });
    std::vector<std::string> expected = {c.message};
    if (!c.systemText.empty()) {
        expected.insert(expected.begin(), c.systemText);
    }
    EXPECT_EQ(ui.messageTexts(), expected);
    EXPECT_EQ(ui.modalRuns.size(), c.stopInDialog ? 1u : 0u);
    EXPECT_FALSE(session().Link().pipeBusy);
}

const std::string kBrokenPipe = SystemErrorText(win32::ERROR_BROKEN_PIPE);

INSTANTIATE_TEST_SUITE_P(
    Failures, HostLogFailureTest,
    ::testing::Values(FailureCase{"ReadOfTheRecord", true, false, false, "",
                                  "Kavotronik Service Read Error!\nError #KGD-3457"},
                      FailureCase{"WriteOfTheRequest", false, true, false, kBrokenPipe,
                                  "Kavotronik Service Write Error!\nError #KGD-3443"},
                      FailureCase{"WriteOfTheRecord", false, false, true, kBrokenPipe,
                                  "Kavotronik Service Write Error!\nError #KGD-3419"}),
    [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace veltrix::testing
