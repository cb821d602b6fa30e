// The popup settings (client side, no connection needed, kept until the Exit path
// stores them), and pictures of the three small settings dialogs in English and
// German in the build folder, for people to look at.

#include <QCheckBox>
#include <QImage>
#include <QSlider>

#include "gui/platform/screenshot.h"
#include "gui/settings/host_log_file_dialog.h"
#include "gui/settings/popup_settings_dialog.h"
#include "gui/settings/service_password_dialog.h"
#include "support/main_window_fixture.h"
#include "support/recording_ui.h"
#include "texts/strings.h"

namespace veltrix::testing {
namespace {

constexpr int kOk = 1;
constexpr int kCancel = 2;

struct PopupCase {
    const char* name;
    bool enabled;
    int level;
    bool chooseEnabled;
    int chooseLevel;
    int button;
    bool expectEnabled;
    int expectLevel;
};

class PopupSettingsTest : public MainWindowTest, public ::testing::WithParamInterface<PopupCase> {};

TEST_P(PopupSettingsTest, OkTakesTheChoiceCancelNothing) {
    const PopupCase& c = GetParam();
    ClientSettings settings = QuietSettings();
    settings.popupEnabled = c.enabled;
    settings.popupLevel = c.level;
    Start(sim::TwoControllerScenario(), Transport::Local, settings);  // never connected
    std::pair<bool, int> shown;
    ui.onModal = [&](QDialog& dialog) {
        WindowDriver d(dialog);
        shown = {d.Control<QCheckBox>(PopupSettingsDialog::kEnableId)->isChecked(),
                 d.Pos(PopupSettingsDialog::kLevelId)};
        if (d.Control<QCheckBox>(PopupSettingsDialog::kEnableId)->isChecked() != c.chooseEnabled) {
            d.ClickItem(PopupSettingsDialog::kEnableId);
        }
        d.UserMoveTrackbar(PopupSettingsDialog::kLevelId, c.chooseLevel);
        d.ClickItem(c.button);
        return dialog.result();
    };
    ASSERT_TRUE(driver().UserChoose(menu_id::kPopup));

    EXPECT_EQ(ui.modalRuns, std::vector<int>{PopupSettingsDialog::kDialogId});
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(shown, std::make_pair(c.enabled, std::clamp(c.level, 0, 2)));
    EXPECT_EQ(window().Settings().popupEnabled, c.expectEnabled);
    EXPECT_EQ(window().Settings().popupLevel, c.expectLevel);

    // The popup filter follows at once; the Exit path stores the values.
    window().ReportEvent("level 1", Severity::Warning, 1);
    EXPECT_EQ(TakePopups().size(), c.expectEnabled && c.expectLevel < 1 ? 1u : 0u);
    ClientSettings saved;
    window().SetSettingsWriter([&saved](const ClientSettings& s) { saved = s; });
    window().ExitProgram();
    EXPECT_EQ(saved.popupEnabled, c.expectEnabled);
    EXPECT_EQ(saved.popupLevel, c.expectLevel);
}

INSTANTIATE_TEST_SUITE_P(
    Choices, PopupSettingsTest,
    ::testing::Values(PopupCase{"AllEvents", true, 2, true, 0, kOk, true, 0},
                      PopupCase{"SwitchedOff", true, 0, false, 0, kOk, false, 0},
                      PopupCase{"CancelChangesNothing", false, 2, true, 0, kCancel, false, 2},
                      PopupCase{"StoredLevelOutOfRangeShowsAtTheEnd", true, 7, true, 1, kOk, true,
                                1}),
    [](const auto& p) { return std::string(p.param.name); });

struct ShotCase {
    const char* name;
    Language language;
};

class SettingsDialogShots : public ::testing::TestWithParam<ShotCase> {
  protected:
    void TearDown() override { SetUiLanguage(Language::English); }

    void Save(QDialog& dialog, int id) {
        dialog.show();
        const std::string path = std::string(VELTRIX_SCREENSHOT_DIR) + "/dialog_" +
                                 std::to_string(id) + "_" + GetParam().name + ".png";
        ASSERT_TRUE(platform::SavePng(dialog, path, 1.0));
        EXPECT_EQ(QImage(QString::fromStdString(path)).size(), dialog.size());
        dialog.hide();
    }

    RecordingUi ui;
};

TEST_P(SettingsDialogShots, SavesThePictures) {
    SetUiLanguage(GetParam().language);
    ServicePasswordDialog password(ui);
    password.currentPassword = "kavo";
    Save(password, ServicePasswordDialog::kDialogId);

    PopupSettingsDialog popup(true, 1);
    Save(popup, PopupSettingsDialog::kDialogId);

    HostLogFileDialog hostLog(ui, HostLogFileForm{true, "C:\\Logs\\raid-service.log", true},
                              "  raid-host.example");
    Save(hostLog, HostLogFileDialog::kDialogId);
}

INSTANTIATE_TEST_SUITE_P(Languages, SettingsDialogShots,
                         ::testing::Values(ShotCase{"en", Language::English},
                                           ShotCase{"de", Language::German}),
                         [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace veltrix::testing
