// What the main window shows of the controllers it enumerated, and how selections,
// tabs and keys change it.

#include <QAbstractItemView>

#include "gui/platform/service_mode.h"
#include "gui/resources/main_window_ids.h"
#include "support/main_window_fixture.h"
#include "texts/strings.h"

namespace veltrix::testing {
namespace {

using namespace control_id;

constexpr const char* kModel250 = "KV-500 Enterprise 250                   ";
constexpr const char* kModel160 = "KV-300 Desktop 160                      ";

struct LanguageCase {
    Language language;
    const char* yes;
    const char* pmLabel;
    const char* typeCaption;
    const char* chunkCaption;
};

class EnumerationTest : public MainWindowTest,
                        public ::testing::WithParamInterface<LanguageCase> {};

TEST_P(EnumerationTest, ShowsTabsControllerListsAndTheFirstSet) {
    const LanguageCase& c = GetParam();
    SetUiLanguage(c.language);
    Start(sim::TwoControllerScenario());
    Connect();

    EXPECT_EQ(driver().TabCount(kControllerTabs), 2);
    EXPECT_EQ(driver().TabText(kControllerTabs, 0), "RX-Oak 4P");
    EXPECT_EQ(driver().TabText(kControllerTabs, 1), "RX-Pine 9230");

    const std::pair<int, std::string> area[] = {
        {kControllerNumber, "0"}, {kDriverVersion, "3.57"},    {kBiosVersion, "3.60"},
        {kChipset, " SiI3124"},   {kRaid5Support, c.yes},      {kJbodSupport, c.yes},
        {kPmSupport, c.yes},      {kPmSupportLabel, c.pmLabel}};
    for (const auto& [id, text] : area) {
        EXPECT_EQ(driver().ItemText(id), text) << id;
        EXPECT_TRUE(driver().IsItemShown(id)) << id;
    }

    EXPECT_EQ(driver().Rows(kDeviceList),
              (std::vector<std::string>{std::string("0\t") + kModel250 + "\t232 GB\tCurrent",
                                        std::string("1\t") + kModel250 + "\t232 GB\tCurrent",
                                        std::string("3\t") + kModel160 + "\t149 GB\tCurrent"}));
    EXPECT_EQ(driver().Rows(kSetList),
              (std::vector<std::string>{"0\tMirror\t64 KB\t0, 1\t232 GB\tReady",
                                        "1\tSpare Drive\t \t3\t232 GB\tReady"}));

    // Set 0 is selected with its panel, slider at its priority, rebuild values hidden.
    EXPECT_EQ(window().Body().State().selectedSet, 0);
    EXPECT_EQ(driver().SelectedRow(kSetList), 0);
    EXPECT_EQ(driver().ItemText(kRow3Label), c.typeCaption);
    EXPECT_EQ(driver().ItemText(kRow3Value), "Mirror");
    EXPECT_EQ(driver().ItemText(kRow5Label), c.chunkCaption);
    EXPECT_EQ(driver().ItemText(kRow5Value), "64 KB");
    EXPECT_EQ(driver().Pos(kPriority), 40);
    EXPECT_TRUE(driver().IsItemShown(kPriority));
    EXPECT_TRUE(driver().IsItemEnabled(kPriority));
    EXPECT_FALSE(driver().IsItemShown(kSpeed));
    EXPECT_FALSE(driver().IsItemShown(kProgress));
}

INSTANTIATE_TEST_SUITE_P(Languages, EnumerationTest,
                         ::testing::Values(LanguageCase{Language::English, "Yes",
                                                        "PM support:", "RAID Type:", "Chunksize:"},
                                           LanguageCase{Language::German, "Ja", "PM Support:",
                                                        "RAID Typ:", "Blockgröße:"}));

TEST_F(MainWindowTest, PortMultiplierDrivesAreListedByChannelThenSubPort) {
    sim::Scenario scenario;
    sim::ControllerSpec pm;
    pm.name = "RX-Elm";
    pm.channelCount = 2;
    pm.portMultiplier = true;
    pm.drives = {sim::MakeDrive(1, 2, "Behind port 2"), sim::MakeDrive(0, 0, "Direct 0"),
                 sim::MakeDrive(0, 15, "Behind port 15"), sim::MakeDrive(1, 0, "Direct 1"),
                 sim::MakeDrive(0, 1, "Behind port 1")};
    scenario.controllers = {pm};
    Start(scenario);
    Connect();

    std::vector<std::string> firstColumns;
    for (const std::string& row : driver().Rows(kDeviceList)) {
        firstColumns.push_back(row.substr(0, row.find('\t')));
    }
    EXPECT_EQ(firstColumns, (std::vector<std::string>{"0", "16", "1", "33"}));

    // Each row shows its own drive, whatever the order the service reported them in.
    ASSERT_TRUE(driver().UserSelectRow(kDeviceList, 3));
    EXPECT_EQ(driver().ItemText(kRow5Value).substr(0, 13), "Behind port 2");
    EXPECT_EQ(window().Body().State().selectedDevice, 3);
    EXPECT_EQ(window().Body().State().selectedSet, -1);
}

TEST_F(MainWindowTest, ChunkSizesInListAndPanel) {
    sim::Scenario scenario;
    sim::ControllerSpec c;
    c.name = "RX-Fir";
    c.channelCount = 4;
    c.drives = {sim::MakeDrive(0, 0, "A"), sim::MakeDrive(1, 0, "B"), sim::MakeDrive(2, 0, "C"),
                sim::MakeDrive(3, 0, "D")};
    c.sets = {sim::MakeSet(0, 1, 0, {0, 1}, 128), sim::MakeSet(2, 1, 1, {2}, 1),
              sim::MakeSet(3, 1, 2, {3}, 0)};
    scenario.controllers = {c};
    Start(scenario);
    Connect();

    const std::pair<int, std::string> cases[] = {{0, "64 KB"}, {1, " "}, {2, " "}};
    const std::string panelTexts[] = {"64 KB", "- ", "- "};
    for (const auto& [row, listText] : cases) {
        const std::string rowText = driver().Row(kSetList, row);
        EXPECT_NE(rowText.find("\t" + listText + "\t"), std::string::npos) << rowText;
        driver().Control<QAbstractItemView>(kSetList)->clearSelection();
        window().Body().ShowRaidInfo();
        ASSERT_TRUE(driver().UserSelectRow(kSetList, row));
        EXPECT_EQ(driver().ItemText(kRow5Value), panelTexts[row]) << row;
    }
}

TEST_F(MainWindowTest, ClickingTheSelectedRowAgainDeselectsIt) {
    Start(sim::TwoControllerScenario());
    Connect();
    ASSERT_EQ(window().Body().State().selectedSet, 0);

    ASSERT_TRUE(driver().UserSelectRow(kSetList, 0));
    EXPECT_EQ(driver().SelectedRow(kSetList), -1);
    EXPECT_EQ(window().Body().State().selectedSet, -1);
    EXPECT_EQ(driver().ItemText(kRow3Value), "");
    EXPECT_FALSE(driver().IsItemEnabled(kPriority));
    for (const int id : {kSpeed, kDuration, kPercent, kProgress}) {
        EXPECT_FALSE(driver().IsItemShown(id)) << id;
    }

    // The same for a drive: the second click on it clears the panel.
    ASSERT_TRUE(driver().UserSelectRow(kDeviceList, 1));
    EXPECT_EQ(window().Body().State().selectedDevice, 1);
    EXPECT_EQ(driver().ItemText(kRow2Value), "1");
    ASSERT_TRUE(driver().UserSelectRow(kDeviceList, 1));
    EXPECT_EQ(driver().SelectedRow(kDeviceList), -1);
    EXPECT_EQ(window().Body().State().selectedDevice, -1);
    EXPECT_EQ(driver().ItemText(kRow2Value), "");
}

TEST_F(MainWindowTest, SelectingADriveDeselectsTheSetAndMarksItInThePicture) {
    Start(sim::TwoControllerScenario());
    Connect();
    ASSERT_TRUE(driver().UserSelectRow(kDeviceList, 1));
    EXPECT_EQ(driver().SelectedRow(kSetList), -1);
    EXPECT_EQ(window().Body().State().selectedSet, -1);
    ASSERT_TRUE(window().Body().LastDiagram().has_value());
    const DiagramState& d = *window().Body().LastDiagram();
    EXPECT_EQ(d.selectionKind, 2);
    EXPECT_EQ(d.modelCode, 33u);
    EXPECT_EQ(d.portsB, (std::array<std::uint16_t, 4>{0, 1, 0, 0}));
    EXPECT_EQ(d.portsA, (std::array<std::uint16_t, 4>{1, 1, 0, 1})) << "drives present per channel";

    // A set shows its members and type; the picture is the one the view was given.
    ASSERT_TRUE(driver().UserSelectRow(kSetList, 0));
    const DiagramState& s = *window().Body().LastDiagram();
    EXPECT_EQ(s.selectionKind, 8);
    EXPECT_EQ(s.portsB, (std::array<std::uint16_t, 4>{1, 1, 0, 0}));
    EXPECT_EQ(s.raidType, 1);
    EXPECT_EQ(diagram.drawn.back(), s);
}

TEST_F(MainWindowTest, SwitchingTabsShowsTheOtherControllerWithItsFirstSet) {
    Start(sim::TwoControllerScenario());
    Connect();
    ASSERT_TRUE(driver().UserSelectRow(kSetList, 1));
    ASSERT_TRUE(driver().UserSelectTab(kControllerTabs, 1));

    EXPECT_EQ(window().Body().State().currentController, 1);
    EXPECT_EQ(driver().ItemText(kControllerNumber), "1");
    EXPECT_FALSE(driver().IsItemShown(kPmSupport));
    EXPECT_EQ(driver().RowCount(kDeviceList), 3);
    EXPECT_EQ(driver().Rows(kSetList),
              std::vector<std::string>{"0\tRAID 5\t64 KB\t0, 1, 2\t232 GB\tReady"});
    EXPECT_EQ(driver().SelectedRow(kSetList), 0);
    EXPECT_EQ(window().Body().State().selectedSet, 0);
    EXPECT_EQ(driver().ItemText(kRow3Value), "RAID 5");
    EXPECT_EQ(window().Body().LastDiagram()->modelCode, 11u);

    ASSERT_TRUE(driver().UserSelectTab(kControllerTabs, 0));
    EXPECT_EQ(window().Body().State().currentController, 0);
    EXPECT_EQ(window().Body().State().selectedSet, 0);
}

TEST_F(MainWindowTest, EscIsSwallowedAndHTogglesTheFirstSet) {
    Start(sim::TwoControllerScenario());
    Connect();
    window().show();
    platform::serviceMode = true;
    driver().UserPressKey(Qt::Key_Escape);
    EXPECT_TRUE(window().isVisible());
    EXPECT_FALSE(platform::serviceMode);

    driver().UserPressKey(Qt::Key_H);
    EXPECT_EQ(window().Body().State().selectedSet, -1);
    EXPECT_EQ(driver().SelectedRow(kSetList), -1);
    // Also while typing in the host field: the key toggles and still types.
    driver().UserPressKey(Qt::Key_H, kHost);
    EXPECT_EQ(window().Body().State().selectedSet, 0);
    EXPECT_EQ(driver().SelectedRow(kSetList), 0);
    EXPECT_EQ(driver().ItemText(kRow3Value), "Mirror");
    window().hide();
}

TEST(ModelCode, TheLastModelNameTheControllerNameBeginsWith) {
    const std::pair<const char*, std::uint32_t> cases[] = {
        {"RX-Larch/Lime 2", 31}, {"RX-Larch", 0},  {"RX-Oak", 33},      {"RX-Oak 4P", 33},
        {"My RX-Oak", 0},        {"", 0},          {"RX-Pine9230", 11}, {"rx-oak", 0},
        {"RX-Alder", 51},        {"RX-Elm 1", 13},
    };
    for (const auto& [name, code] : cases) {
        EXPECT_EQ(ModelCodeFor(name), code) << name;
    }
}

}  // namespace
}  // namespace veltrix::testing
