// The About box: the program's and the service's version texts with the BETA badge,
// the hidden service mode's key sequence and its resets, and OK's length check.

#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>

#include "gui/about/about_dialog.h"
#include "gui/diagram/diagram_pictures.h"
#include "gui/platform/screenshot.h"
#include "gui/platform/service_mode.h"
#include "gui/resources/main_window_ids.h"
#include "support/elf_image.h"
#include "support/main_window_fixture.h"
#include "texts/strings.h"

namespace veltrix::testing {
namespace {

using platform::ResetServiceMode;
using platform::serviceKeyState;
using platform::serviceMode;

struct VersionCase {
    const char* name;
    std::optional<ProductVersion> client;                 // none: the test program, without a block
    std::optional<std::array<std::uint16_t, 4>> service;  // none: not connected
    const char* clientText;
    const char* serviceText;
};

class AboutVersionTest : public MainWindowTest, public ::testing::WithParamInterface<VersionCase> {
  protected:
    // A program file of `version` for the window to read its own version from.
    std::string ProgramFile(const ProductVersion& v) {
        const std::string path = dir_.filePath(QStringLiteral("Veltrix")).toStdString();
        const auto bytes = ProgramWithVersion(v.majorPart, v.minorPart, v.build, v.revision);
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
        return path;
    }

    QTemporaryDir dir_;
};

TEST_P(AboutVersionTest, ShowsBothVersionsAndTheBadgeForARevision) {
    const VersionCase& c = GetParam();
    sim::Scenario scenario = sim::TwoControllerScenario();
    if (c.service) {
        const auto [w0, w1, w2, w3] = *c.service;
        scenario.versionMajor = w0;
        scenario.versionMinor = w1;
        scenario.versionBuild = w2;
        scenario.versionRevision = w3;
    }
    Start(scenario);
    if (c.service) {
        Connect();
    }
    if (c.client) {
        window().Version().Read(ProgramFile(*c.client));
    }
    std::string clientText;
    std::string serviceText;
    int keyStateWhileOpen = -1;
    ui.onModal = [&](QDialog& box) {
        WindowDriver boxDriver(box);
        clientText = boxDriver.ItemText(about_id::kClientVersion);
        serviceText = boxDriver.ItemText(about_id::kServiceVersion);
        keyStateWhileOpen = serviceKeyState;
        return QDialog::Accepted;
    };
    ASSERT_TRUE(driver().UserChoose(menu_id::kAbout));
    EXPECT_EQ(ui.modalRuns, std::vector<int>{about_id::kDialog});
    EXPECT_EQ(clientText, c.clientText);
    EXPECT_EQ(serviceText, c.serviceText);
    EXPECT_EQ(keyStateWhileOpen, 4);
    EXPECT_EQ(serviceKeyState, 0);
    EXPECT_EQ(driver().IsItemShown(picture_id::kBetaBadge), c.client && c.client->revision != 0);
}

INSTANTIATE_TEST_SUITE_P(
    Versions, AboutVersionTest,
    ::testing::Values(VersionCase{"client_3_4_1_0", ProductVersion{3, 4, 1, 0},
                                  std::array<std::uint16_t, 4>{3, 3, 1, 5}, "3.4.1", "3.3.1.5"},
                      VersionCase{"client_3_4_1_2", ProductVersion{3, 4, 1, 2},
                                  std::array<std::uint16_t, 4>{3, 3, 0, 7}, "3.4.1.2", "3.3.0"},
                      VersionCase{"service_3_4_0_0", ProductVersion{3, 4, 1, 0},
                                  std::array<std::uint16_t, 4>{3, 4, 0, 0}, "3.4.1", "3.4.0"},
                      VersionCase{"not_connected", ProductVersion{3, 4, 1, 2}, std::nullopt,
                                  "3.4.1.2", "  -"},
                      VersionCase{"no_version_block", std::nullopt, std::nullopt, "0.0.0", "  -"}),
    [](const auto& p) { return std::string(p.param.name); });

struct KeyCase {
    const char* name;
    std::vector<int> keys;
    int keyState;
    bool mode;
};

class ServiceKeyTest : public ::testing::TestWithParam<KeyCase> {
  protected:
    void TearDown() override { ResetServiceMode(); }
    ScriptedUi ui;
};

TEST_P(ServiceKeyTest, SequenceInTheBox) {
    AboutDialog box(ui);
    box.show();
    serviceKeyState = 4;
    serviceMode = false;
    for (const int key : GetParam().keys) {
        QTest::keyClick(&box, static_cast<Qt::Key>(key));
    }
    EXPECT_EQ(serviceKeyState, GetParam().keyState);
    EXPECT_EQ(serviceMode, GetParam().mode);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, ServiceKeyTest,
    ::testing::Values(
        KeyCase{"both_keys", {kServiceModeFirstKey, kServiceModeSecondKey}, 6, true},
        KeyCase{"first_key", {kServiceModeFirstKey}, 5, false},
        KeyCase{"wrong_order", {kServiceModeSecondKey, kServiceModeFirstKey}, 0, false},
        KeyCase{"first_key_twice",
                {kServiceModeFirstKey, kServiceModeFirstKey, kServiceModeSecondKey},
                0,
                false},
        KeyCase{
            "a_key_between", {kServiceModeFirstKey, Qt::Key_A, kServiceModeSecondKey}, 0, false},
        KeyCase{"closed_with_return",
                {kServiceModeFirstKey, kServiceModeSecondKey, Qt::Key_Return},
                0,
                false}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(MainWindowTest, ServiceModeStaysWhenTheBoxIsClosedWithTheMouse) {
    Start(sim::TwoControllerScenario());
    ui.onModal = [](QDialog& box) {
        QTest::keyClick(&box, static_cast<Qt::Key>(kServiceModeFirstKey));
        QTest::keyClick(&box, static_cast<Qt::Key>(kServiceModeSecondKey));
        EXPECT_TRUE(WindowDriver(box).ClickItem(about_id::kOk));
        return box.result();
    };
    driver().UserChoose(menu_id::kAbout);
    EXPECT_TRUE(serviceMode);
    EXPECT_EQ(serviceKeyState, 0);

    // Esc in the main window ends it; a system command resets the key state only.
    serviceKeyState = 6;
    window().show();
    window().showMinimized();
    EXPECT_EQ(serviceKeyState, 0);
    EXPECT_TRUE(serviceMode);
    serviceKeyState = 6;
    window().showNormal();
    driver().UserPressKey(Qt::Key_Escape);
    EXPECT_EQ(serviceKeyState, 0);
    EXPECT_FALSE(serviceMode);
    window().hide();
}

TEST(AboutBoxTest, OkRefusesAServiceTextLongerThanElevenCharacters) {
    const std::pair<const char*, bool> cases[] = {
        {"3.3.1.5", true}, {"10.10.10.10", true}, {"100.100.100.1", false}};
    for (const auto& [text, closes] : cases) {
        ScriptedUi ui;
        AboutDialog box(ui);
        box.SetVersionTexts("0.1.0", text);
        box.show();
        EXPECT_TRUE(WindowDriver(box).ClickItem(about_id::kOk));
        EXPECT_EQ(box.isVisible(), !closes) << text;
        EXPECT_EQ(ui.messageTexts().size(), closes ? 0u : 1u) << text;
        // The close box (Esc) closes it all the same.
        QTest::keyClick(&box, Qt::Key_Escape);
        EXPECT_FALSE(box.isVisible()) << text;
    }
    ResetServiceMode();
}

TEST(AboutBoxTest, Screenshots) {
    for (const auto& [language, name, title] :
         {std::tuple{Language::English, "en", "About Kavotronik Veltrix"},
          std::tuple{Language::German, "de", "Info über Kavotronik Veltrix"}}) {
        SetUiLanguage(language);
        ScriptedUi ui;
        AboutDialog box(ui);
        EXPECT_EQ(box.windowTitle().toStdString(), title);
        box.SetVersionTexts("0.1.0", "3.3.1.5");
        box.show();
        const std::string path = std::string(VELTRIX_SCREENSHOT_DIR) + "/about_" + name + ".png";
        EXPECT_TRUE(platform::SavePng(box, path, 2.0));
        EXPECT_FALSE(QImage(QString::fromStdString(path)).isNull());
    }
    SetUiLanguage(Language::English);
}

}  // namespace
}  // namespace veltrix::testing
