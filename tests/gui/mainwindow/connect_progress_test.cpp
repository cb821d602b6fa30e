// The line that tells what the reading of the controllers does, against a service
// whose every reply is late.

#include <QTest>

#include "gui/hostview/connect_progress.h"
#include "gui/platform/screenshot.h"
#include "gui/resources/main_window_ids.h"
#include "support/main_window_fixture.h"

namespace veltrix::testing {
namespace {

using Part = EnumerationStep::Part;

TEST_F(MainWindowTest, ConnectShowsEveryEnumerationStepUntilTheListsAppear) {
    sim::Scenario scenario = sim::TwoControllerScenario();
    scenario.faults.push_back(
        {.code = sim::kAnyCommandFaultCode, .kind = sim::FaultSpec::Kind::Late, .delayMs = 30});
    Start(scenario);
    unsettledWindow().show();
    auto* progress = unsettledWindow().findChild<ConnectProgress*>(ConnectProgress::kObjectName);
    ASSERT_NE(progress, nullptr);
    QStringList shown;
    QObject::connect(progress, &ConnectProgress::StepShown,
                     [&shown](const QString& text) { shown << text; });
    EXPECT_FALSE(progress->isVisible());

    ASSERT_TRUE(driver().ClickItem(control_id::kConnect));
    // While the late replies come in, the line is there (and in the picture).
    EXPECT_TRUE(QTest::qWaitFor([&] { return progress->isVisible(); }, 10000));
    EXPECT_TRUE(platform::SavePng(unsettledWindow(),
                                  std::string(VELTRIX_SCREENSHOT_DIR) + "/connect_progress.png"));
    Settle();
    EXPECT_FALSE(progress->isVisible()) << "gone once the lists are filled";

    // Every request of the enumeration had its line, in order.
    QStringList expected{ConnectProgress::Text({})};
    const ObjectTable& table = window().Table();
    const int controllers = static_cast<int>(window().Monitor().ControllerCount());
    ASSERT_EQ(controllers, 2);
    for (int c = 0; c < controllers; ++c) {
        const Controller& controller = *table.GetController(c);
        expected << ConnectProgress::Text({Part::Controller, c, controllers, 0, 0});
        for (const auto& [part, count] :
             {std::pair{Part::Drive, static_cast<int>(controller.DeviceCount())},
              std::pair{Part::Set, static_cast<int>(controller.RaidSetCount())}}) {
            for (int i = 0; i < count; ++i) {
                expected << ConnectProgress::Text({part, c, controllers, i, count});
            }
        }
    }
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(expected[3], QStringLiteral("Reading controller 1 of 2: drive 2 of %1\u2026")
                               .arg(table.GetController(0)->DeviceCount()));
}

TEST(ConnectProgressText, BothLanguages) {
    struct Case {
        Language language;
        EnumerationStep step;
        const char* text;
    };
    const Case cases[] = {
        {Language::English, {}, "Reading the controllers\u2026"},
        {Language::German, {Part::Controller, 0, 2, 0, 0}, "Lese Controller 1 von 2\u2026"},
        {Language::German,
         {Part::Drive, 0, 2, 2, 4},
         "Lese Controller 1 von 2: Laufwerk 3 von 4\u2026"},
        {Language::English,
         {Part::Set, 1, 2, 0, 1},
         "Reading controller 2 of 2: RAID set 1 of 1\u2026"},
    };
    for (const Case& c : cases) {
        SetUiLanguage(c.language);
        EXPECT_EQ(ConnectProgress::Text(c.step), QString::fromUtf8(c.text));
    }
    SetUiLanguage(Language::English);
}

}  // namespace
}  // namespace veltrix::testing
