// The BIOS update from the main window's menu: the opening checks, dialog 173 with its
// controls, the image checks of every row of their decision table, a run through the
// dialog, the dialog and the Exit path during a run, and pictures of the dialog.

#include <QApplication>
#include <QImage>
#include <QProgressBar>

#include "gui/bios/bios_update_dialog.h"
#include "gui/platform/screenshot.h"
#include "gui/platform/service_mode.h"
#include "gui/resources/main_window_ids.h"
#include "model/bios_image.h"
#include "support/bios_images.h"
#include "support/flash_test_support.h"
#include "support/main_window_fixture.h"
#include "texts/strings.h"

namespace veltrix::testing {
namespace {

using namespace flash_dialog_id;
using namespace std::chrono_literals;
using Lines = std::vector<std::string>;

class BiosUpdateTest : public MainWindowTest {
  protected:
    void TearDown() override {
        platform::ResetServiceMode();
        MainWindowTest::TearDown();
    }
    // Connects to `scenario` and opens the dialog; `play` is the user in it, after the
    // dialog has read the flash ROM's parameters.
    void OpenDialog(sim::Scenario scenario,
                    std::function<void(BiosUpdateDialog&, WindowDriver&)> play) {
        Start(std::move(scenario));
        Connect();
        ui.clear();
        ui.onModal = [this, play](QDialog& dialog) {
            Settle();
            auto& flash = static_cast<BiosUpdateDialog&>(dialog);
            WindowDriver d(dialog);
            play(flash, d);
            return QDialog::Rejected;
        };
        ASSERT_TRUE(driver().UserChoose(menu_id::kBiosUpdate));
        EXPECT_EQ(ui.modalRuns, std::vector<int>{kDialog});
    }
    // Chooses a file through the file dialog behind button `id`.
    void Choose(WindowDriver& d, int id, const std::string& path) {
        ui.fileAnswers.push_back(path);
        ASSERT_TRUE(d.ClickItem(id));
        Settle();
    }

    TempFolder folder;
};

// ---- Opening ---------------------------------------------------------------------

TEST_F(BiosUpdateTest, OpeningChecks) {
    struct Row {
        const char* name;
        std::function<void(sim::Scenario&)> adjust;
        bool connect;
        std::string message;  // empty: the dialog opens
    };
    const Row rows[] = {
        {"not connected", {}, false, "Hostsystem not connected."},
        {"no controller", [](sim::Scenario& s) { s.controllers.clear(); }, true,
         "Controller/Driver not found"},
        {"driver 3.56", [](sim::Scenario& s) { s.controllers[0].driverVersion = "3.56"; }, true,
         "BIOS update requires driver version 3.57 or higher."},
        {"driver 3.5", [](sim::Scenario& s) { s.controllers[0].driverVersion = "3.5"; }, true,
         "BIOS update requires driver version 3.57 or higher."},
        {"driver 4.00", [](sim::Scenario& s) { s.controllers[0].driverVersion = "4.00"; }, true,
         ""},
        {"service 3.2.0",
         [](sim::Scenario& s) {
             s.versionMajor = 3;
             s.versionMinor = 2;
             s.versionBuild = 0;
         },
         true, "Service version 3.2.1 or higher required."},
        {"service 3.2.1",
         [](sim::Scenario& s) {
             s.versionMajor = 3;
             s.versionMinor = 2;
             s.versionBuild = 1;
         },
         true, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        sim::Scenario scenario = FlashScenario();
        if (row.adjust) {
            row.adjust(scenario);
        }
        Start(scenario);
        if (row.connect) {
            Click(control_id::kConnect);
        }
        ui.clear();
        ui.modalRuns.clear();
        ASSERT_TRUE(driver().UserChoose(menu_id::kBiosUpdate));
        if (row.message.empty()) {
            EXPECT_EQ(ui.modalRuns, std::vector<int>{kDialog});
            EXPECT_TRUE(ui.messages.empty());
        } else {
            EXPECT_TRUE(ui.modalRuns.empty());
            EXPECT_EQ(ui.messageTexts(), Lines{row.message});
        }
        TearDown();
    }
}

TEST_F(BiosUpdateTest, DialogAtItsStart) {
    OpenDialog(FlashScenario(), [&](BiosUpdateDialog& dialog, WindowDriver& d) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("BIOS Update"));
        const std::pair<int, std::string> texts[] = {
            {kReady, "Ready"},
            {kClose, "Close"},
            {kBackupFile, "Backup File..."},
            {kBiosFile, "BIOS File..."},
            {kStart, "Start"},
            {kRadioBackupAndUpdate, "Backup and Update"},
            {kRadioUpdateOnly, "Update only"},
            {kRadioBackupOnly, "Backup only"},
            {kStatus, ""},
            {kControllerName, "RX-Oak 4P"},
            {kComputer, "in Computer: . (localhost)"},
            {kFlashRom, "Flashtype: KT-F010A    BIOS Version: 3.50"},
            {kBackupPath, ""},
            {kBiosPath, ""},
            {kFileVersion, ""},
            {kChipset, ""},
        };
        for (const auto& [id, text] : texts) {
            EXPECT_EQ(d.ItemText(id), text) << id;
        }
        for (const int id : {kReady, kStart}) {
            EXPECT_FALSE(d.IsItemEnabled(id)) << id;
        }
        for (const int id : {kClose, kBackupFile, kBiosFile, kRadioBackupAndUpdate,
                             kRadioUpdateOnly, kRadioBackupOnly}) {
            EXPECT_TRUE(d.IsItemEnabled(id)) << id;
        }
        EXPECT_EQ(d.Pos(kProgress), 0);
        EXPECT_EQ(dialog.Mode(), FlashMode::BackupAndUpdate);
    });
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(BiosUpdateTest, NoFlashRomLeavesOnlyClose) {
    OpenDialog(
        FlashScenario([](sim::ControllerSpec& c) { c.flash.chipId = 0xABCD; }),
        [&](BiosUpdateDialog&, WindowDriver& d) {
            EXPECT_EQ(d.ItemText(kFlashRom), "FlashROM not found or access error.");
            for (const int id : {kReady, kStart, kBackupFile, kBiosFile, kRadioBackupAndUpdate,
                                 kRadioUpdateOnly, kRadioBackupOnly}) {
                EXPECT_FALSE(d.IsItemEnabled(id)) << id;
            }
            EXPECT_TRUE(d.IsItemEnabled(kClose));
        });
}

TEST_F(BiosUpdateTest, FileDialogsAndTheModeButtons) {
    const std::string image = folder.file("new.bin");
    WriteFile(image, MakeBiosImage({}));
    OpenDialog(FlashScenario(), [&](BiosUpdateDialog&, WindowDriver& d) {
        // Mode 0: a BIOS file alone leaves Start off until a backup file is chosen.
        Choose(d, kBiosFile, image);
        EXPECT_FALSE(d.IsItemEnabled(kStart));
        EXPECT_EQ(d.ItemText(kBiosPath), image);
        EXPECT_EQ(d.ItemText(kFileVersion), "BIOS Version: 3.60");
        Choose(d, kBackupFile, folder.file("bios.bak"));
        EXPECT_TRUE(d.IsItemEnabled(kStart));
        EXPECT_EQ(d.ItemText(kBackupPath), folder.file("bios.bak"));

        struct Step {
            int radio;
            bool backupFile, biosFile, start;
        };
        for (const Step& s :
             {Step{kRadioUpdateOnly, false, true, true}, Step{kRadioBackupOnly, true, false, true},
              Step{kRadioBackupAndUpdate, true, true, true}}) {
            d.Control<QProgressBar>(kProgress)->setValue(40);
            ASSERT_TRUE(d.ClickItem(s.radio));
            EXPECT_EQ(d.IsItemEnabled(kBackupFile), s.backupFile) << s.radio;
            EXPECT_EQ(d.IsItemEnabled(kBiosFile), s.biosFile) << s.radio;
            EXPECT_EQ(d.IsItemEnabled(kStart), s.start) << s.radio;
            EXPECT_EQ(d.ItemText(kStatus), " ");
            EXPECT_EQ(d.Pos(kProgress), 0);
        }
    });
    ASSERT_EQ(ui.fileRequests.size(), 2u);
    EXPECT_FALSE(ui.fileRequests[0].save);
    EXPECT_EQ(ui.fileRequests[0].title, "select BIOS file");
    EXPECT_EQ(ui.fileRequests[0].filter, "Binarifiles (*.bin);;all Files (*)");
    EXPECT_EQ(ui.fileRequests[0].initialPath, "");
    EXPECT_TRUE(ui.fileRequests[1].save);
    EXPECT_EQ(ui.fileRequests[1].title, "select Backup filename");
    EXPECT_EQ(ui.fileRequests[1].filter, "");
    EXPECT_EQ(ui.fileRequests[1].initialPath, "bios.bak");
}

// ---- The image checks ------------------------------------------------------------

struct Shown {
    std::string text;
    MessageIcon icon;
    MessageButtons buttons;
};

struct DecisionRow {
    const char* name;
    bool serviceMode = false;
    std::function<void(sim::ControllerSpec&)> rom = {};
    std::function<std::vector<std::uint8_t>()> image = [] { return MakeBiosImage({}); };
    std::vector<MessageAnswer> answers = {};
    std::vector<Shown> messages = {};
    int flashAnswer = kAnswerYes;
    bool accepted = true;
    bool chooseBackup = true;
    bool start = true;
};

// Rows by their names in test lists.
void PrintTo(const DecisionRow& row, std::ostream* out) {
    *out << row.name;
}

const std::string kTooLargeForeign =
    "BIOS-Datei ist größer als der Flashspeicher.\nKein Problem bei einem KAVOTRONIK-BIOS.\n"
    "Bei einem Fremd-BIOS ist mit Fehlfunktion zu rechnen.\nTrotzdem flaschen?";
const std::string kVersionQuestion =
    "Existing BIOS is equal or newer than selected Version.\nFlash it anyway?";

std::vector<std::uint8_t> NoSignature() {
    auto bytes = std::vector<std::uint8_t>(0x10000, 0);
    bytes[0x10] = 0x55, bytes[0x11] = 0x55, bytes[0x12] = 0xAA;
    return bytes;
}

void RomVersion(sim::ControllerSpec& c, std::uint16_t version) {
    c.flash.biosVersion = version;
}

const DecisionRow kDecisionRows[] = {
    {.name = "signature_at_0"},
    {.name = "image_equal_to_the_rom", .image = [] { return MakeBiosImage({.size = 0x20000}); }},
    {.name = "one_byte_more_is_taken_without_service_mode",
     .image = [] { return MakeBiosImage({.size = 0x20001}); }},
    {.name = "one_byte_more_asks_in_service_mode",
     .serviceMode = true,
     .image = [] { return MakeBiosImage({.size = 0x20001}); },
     .answers = {MessageAnswer::No},
     .messages = {{kTooLargeForeign, MessageIcon::Warning, MessageButtons::YesNo}},
     .flashAnswer = kAnswerNo,
     .accepted = false,
     .start = false},
    {.name = "read_error",
     .image = [] { return std::vector<std::uint8_t>(); },
     .messages = {{"BIOS File Readerror!", MessageIcon::Error, MessageButtons::Ok}},
     .flashAnswer = 0,
     .accepted = false,
     .start = false},
    {.name = "55_55_AA_is_no_signature",
     .image = NoSignature,
     .messages = {{"This is not a BIOS File!", MessageIcon::Warning, MessageButtons::Ok}},
     .flashAnswer = 0,
     .accepted = false,
     .start = false},
    {.name = "signature_beyond_L_minus_16384",
     .image = [] { return MakeBiosImage({.size = 0x10000, .headerAt = 0xC000}); },
     .messages = {{"This is not a BIOS File!", MessageIcon::Warning, MessageButtons::Ok}},
     .flashAnswer = 0,
     .accepted = false,
     .start = false},
    {.name = "non_bios_used_in_service_mode",
     .serviceMode = true,
     .image = NoSignature,
     .messages = {{"This is not a BIOS File!\nTrotzdem verwenden?", MessageIcon::Warning,
                   MessageButtons::YesNoDefaultNo}}},
    {.name = "large_non_bios_refused_in_service_mode_whatever_the_answer",
     .serviceMode = true,
     .image = [] { return std::vector<std::uint8_t>(0x30000, 0); },
     .answers = {MessageAnswer::Yes},
     .messages = {{"This is not a BIOS File!\nTrotzdem verwenden?", MessageIcon::Warning,
                   MessageButtons::YesNoDefaultNo},
                  {"Datei ist größer als Flashspeicher", MessageIcon::Error, MessageButtons::Ok}},
     .flashAnswer = 0,
     .accepted = false,
     .start = false},
    {.name = "wrong_ids",
     .image = [] { return MakeBiosImage({.deviceId = 0x3132}); },
     .messages = {{"Wrong BIOS File.", MessageIcon::Warning, MessageButtons::Ok}},
     .flashAnswer = 0,
     .accepted = false,
     .start = false},
    {.name = "wrong_ids_refused_in_service_mode",
     .serviceMode = true,
     .image = [] { return MakeBiosImage({.vendorId = 0x1B4B}); },
     .answers = {MessageAnswer::No},
     .messages = {{"Wrong BIOS File.\nTrotzdem verwenden?", MessageIcon::Warning,
                   MessageButtons::YesNoDefaultNo}},
     .flashAnswer = kAnswerNo,
     .accepted = false,
     .start = false},
    {.name = "unknown_chip",
     .rom = [](sim::ControllerSpec& c) { c.flash.chipId = 0x1234; },
     .messages = {{"BIOS filesize is larger than FlashROM.\nContinue ?", MessageIcon::Error,
                   MessageButtons::Ok}},
     .flashAnswer = 0,
     .accepted = false,
     .start = false},
    {.name = "unknown_chip_in_service_mode",
     .serviceMode = true,
     .rom = [](sim::ControllerSpec& c) { c.flash.chipId = 0x1234; },
     .messages = {{"Flashspeicher ist zu klein!\n Trotzdem flaschen?", MessageIcon::Error,
                   MessageButtons::YesNoDefaultNo}}},
    {.name = "no_to_the_version_question",
     .rom = [](sim::ControllerSpec& c) { RomVersion(c, 0x0360); },
     .answers = {MessageAnswer::No},
     .messages = {{kVersionQuestion, MessageIcon::None, MessageButtons::YesNo}},
     .flashAnswer = kAnswerNo,
     .start = false},
    // The No stands, also for an image larger than a known ROM.
    {.name = "no_to_the_version_question_for_a_larger_image",
     .rom = [](sim::ControllerSpec& c) { RomVersion(c, 0x0360); },
     .image = [] { return MakeBiosImage({.size = 0x20001}); },
     .answers = {MessageAnswer::No},
     .messages = {{kVersionQuestion, MessageIcon::None, MessageButtons::YesNo}},
     .flashAnswer = kAnswerNo,
     .start = false},
    {.name = "yes_to_the_version_question",
     .rom = [](sim::ControllerSpec& c) { RomVersion(c, 0x0370); },
     .messages = {{kVersionQuestion, MessageIcon::None, MessageButtons::YesNo}}},
    {.name = "rom_without_bios_never_asks",
     .rom = [](sim::ControllerSpec& c) { c.flash.content = sim::FlashSpec::Content::Fill; },
     .image = [] { return MakeBiosImage({.version = 0x0100}); }},
    {.name = "rom_with_io_error_never_asks",
     .rom = [](sim::ControllerSpec& c) { c.flash.faults.versionIoError = true; },
     .image = [] { return MakeBiosImage({.version = 0x0100}); }},
    {.name = "mode_0_without_a_backup_file", .chooseBackup = false, .start = false},
};

class DecisionTest : public BiosUpdateTest, public ::testing::WithParamInterface<DecisionRow> {};

TEST_P(DecisionTest, ImageChecks) {
    const DecisionRow& row = GetParam();
    const std::string path = folder.file("image.bin");
    const auto image = row.image();
    WriteFile(path, image);
    OpenDialog(FlashScenario(row.rom), [&](BiosUpdateDialog& dialog, WindowDriver& d) {
        platform::serviceMode = row.serviceMode;
        if (row.chooseBackup) {
            Choose(d, kBackupFile, folder.file("bios.bak"));
        }
        ui.clear();
        ui.answers.assign(row.answers.begin(), row.answers.end());
        Choose(d, kBiosFile, path);
        ASSERT_EQ(ui.messages.size(), row.messages.size())
            << ::testing::PrintToString(ui.messageTexts());
        for (std::size_t i = 0; i < row.messages.size(); ++i) {
            EXPECT_EQ(ui.messages[i].text, row.messages[i].text);
            EXPECT_EQ(ui.messages[i].icon, row.messages[i].icon) << i;
            EXPECT_EQ(ui.messages[i].buttons, row.messages[i].buttons) << i;
        }
        EXPECT_EQ(dialog.FlashAnswer(), row.flashAnswer);
        EXPECT_EQ(dialog.FileAccepted(), row.accepted);
        EXPECT_EQ(d.IsItemEnabled(kStart), row.start);
        EXPECT_EQ(d.ItemText(kBiosPath), row.accepted ? path : "");
        BiosImageHeader header;
        const bool versioned = ParseBiosImage(image, header) == BiosImageResult::Found;
        const int number = BcdVersionNumber(header.version);
        EXPECT_EQ(d.ItemText(kFileVersion), row.accepted && versioned
                                                ? "BIOS Version: " + std::to_string(number / 100) +
                                                      "." + std::to_string(number % 100)
                                                : "");
    });
}

INSTANTIATE_TEST_SUITE_P(Rows, DecisionTest, ::testing::ValuesIn(kDecisionRows),
                         [](const auto& p) { return std::string(p.param.name); });

// An image that cannot be opened: the platform's text; the path stays, Start as it was.
TEST_F(BiosUpdateTest, ImageThatCannotBeOpened) {
    OpenDialog(FlashScenario(), [&](BiosUpdateDialog&, WindowDriver& d) {
        Choose(d, kBiosFile, folder.file("missing.bin"));
        EXPECT_EQ(ui.messageTexts(),
                  Lines{folder.file("missing.bin") + ": No such file or directory"});
        EXPECT_EQ(d.ItemText(kBiosPath), folder.file("missing.bin"));
        EXPECT_FALSE(d.IsItemEnabled(kStart));
    });
}

// ---- Runs through the dialog -----------------------------------------------------

class DialogRunTest : public BiosUpdateTest, public ::testing::WithParamInterface<Language> {};

// Mode 0 to its end: the ROM holds the new image, the dialog shows the new version,
// Ready and Close are on, Start is off; pictures of the dialog in the build folder.
TEST_P(DialogRunTest, BackupAndUpdate) {
    SetUiLanguage(GetParam());
    const bool german = GetParam() == Language::German;
    const auto image = sim::MakeBiosImage(0x10000, 0x1095, 0x3124, 0x0360);
    WriteFile(folder.file("new.bin"), image);
    OpenDialog(FlashScenario(), [&](BiosUpdateDialog& dialog, WindowDriver& d) {
        Choose(d, kBackupFile, folder.file("bios.bak"));
        Choose(d, kBiosFile, folder.file("new.bin"));
        ASSERT_TRUE(d.ClickItem(kStart));
        Settle();
        EXPECT_FALSE(dialog.IsRunning());
        EXPECT_EQ(d.ItemText(kStatus), german ? "BIOS Update beendet. FlashROM geprüft."
                                              : "BIOS Update complete. FlashROM verified.");
        EXPECT_EQ(d.ItemText(kFlashRom), german ? "Flashtyp: KT-F010A    BIOS Version: 3.60"
                                                : "Flashtype: KT-F010A    BIOS Version: 3.60");
        EXPECT_EQ(d.Pos(kProgress), 100);
        for (const int id : {kReady, kClose, kBackupFile, kBiosFile, kRadioBackupAndUpdate}) {
            EXPECT_TRUE(d.IsItemEnabled(id)) << id;
        }
        EXPECT_FALSE(d.IsItemEnabled(kStart));
        EXPECT_EQ(dialog.Parameters().biosVersion, 0x0360);

        dialog.show();
        const std::string shot = std::string(VELTRIX_SCREENSHOT_DIR) + "/flash_dialog_" +
                                 (german ? "de" : "en") + ".png";
        EXPECT_TRUE(platform::SavePng(dialog, shot, 1.0));
        EXPECT_EQ(QImage(QString::fromStdString(shot)).size(), dialog.size());
        dialog.hide();
    });
    EXPECT_TRUE(ui.messages.empty()) << ui.messageTexts().front();
    const auto rom = sim().FlashContents(0);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), rom.begin() + 0x10000));
    EXPECT_FALSE(session().Link().flashBusy);
}

INSTANTIATE_TEST_SUITE_P(Languages, DialogRunTest,
                         ::testing::Values(Language::English, Language::German),
                         [](const auto& p) { return p.param == Language::German ? "de" : "en"; });

// While a run waits for a slow erase the dialog goes on taking events: it cannot be
// closed, and an Exit waits for the run's end, then logs off.
TEST_F(BiosUpdateTest, ExitDuringARunWaitsForItsEnd) {
    const auto image = sim::MakeBiosImage(0x20000, 0x1095, 0x3124, 0x0360);
    WriteFile(folder.file("new.bin"), image);
    bool exited = false;
    OpenDialog(FlashScenario([](sim::ControllerSpec& c) { c.flash.faults.eraseMs = 60000; }),
               [&](BiosUpdateDialog& dialog, WindowDriver& d) {
                   ASSERT_TRUE(d.ClickItem(kRadioUpdateOnly));
                   Choose(d, kBiosFile, folder.file("new.bin"));
                   ASSERT_TRUE(d.ClickItem(kStart));
                   ASSERT_TRUE(sim().WaitForCode(FLASH_ERASE, 5s));
                   QCoreApplication::sendPostedEvents();
                   EXPECT_TRUE(dialog.IsRunning());
                   EXPECT_EQ(d.ItemText(kStatus), "erasing FlashROM...");
                   EXPECT_FALSE(d.IsItemEnabled(kClose));
                   EXPECT_FALSE(d.IsItemEnabled(kStart));
                   int finished = 0;
                   QObject::connect(&dialog, &QDialog::finished, [&finished] { ++finished; });
                   dialog.reject();
                   d.UserPressKey(Qt::Key_Escape);
                   EXPECT_EQ(finished, 0);
                   unsettledWindow().ExitProgram();
                   EXPECT_TRUE(unsettledWindow().IsFlashRunning());
                   EXPECT_EQ(sim().ConnectionsClosed(), 0u);
                   sim().AdvanceClock(60s);
                   Settle();
                   EXPECT_FALSE(dialog.IsRunning());
                   exited = true;
               });
    ASSERT_TRUE(exited);
    // The Exit path runs once the dialog has closed.
    QApplication::processEvents();
    Settle();
    // The logoff ends the connection without a reply: wait until the service read it.
    sim().WaitForCode(LOGOFF, std::chrono::seconds(10));
    const Lines transcript = FlashTranscript(sim().Transcript());
    ASSERT_GE(transcript.size(), 2u);
    EXPECT_EQ(transcript.back(), std::to_string(LOGOFF));
    EXPECT_EQ(sim().FlashContents(0), image);
    EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace veltrix::testing
