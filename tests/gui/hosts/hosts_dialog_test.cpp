// The hosts dialog as the user drives it: adding, renaming, ordering and removing
// hosts, and the lists OK refuses with a message; its command keeps and announces.

#include "gui/hosts/hosts_dialog.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "gui/hosts/hosts_command.h"
#include "gui/platform/dialog_parts.h"
#include "support/scripted_ui.h"
#include "support/window_driver.h"

namespace veltrix::testing {
namespace {

using D = HostsDialog;
using Step = std::function<void(WindowDriver&)>;

Step Click(int id) {
    return [id](WindowDriver& driver) { EXPECT_TRUE(driver.ClickItem(id)) << id; };
}
Step Choose(int row) {
    return [row](WindowDriver& driver) { EXPECT_TRUE(driver.UserSelectRow(D::kHostList, row)); };
}
// The user replaces the field's text by typing.
Step Type(int id, const char* text) {
    return [id, text](WindowDriver& driver) {
        auto* edit = driver.Control<QLineEdit>(id);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, QString::fromUtf8(text));
    };
}

const std::vector<HostEntry> kTwoHosts = {{"This computer", ".", "qernu", true},
                                          {"NAS", "nas7", "p", true}};

struct Case {
    const char* what;
    std::vector<Step> steps;
    std::vector<HostEntry> kept;  // after OK; empty: OK is refused
    const char* refusal = "";     // a part of the message OK shows
};

class HostsDialogTest : public ::testing::TestWithParam<Case> {};

TEST_P(HostsDialogTest, KeepsWhatTheUserMadeOrRefusesIt) {
    ScriptedUi ui;
    HostsDialog dialog(kTwoHosts, ui);
    dialog.show();
    WindowDriver driver(dialog);
    for (const Step& step : GetParam().steps) {
        step(driver);
    }
    driver.ClickItem(platform::kOkId);
    if (GetParam().kept.empty()) {
        EXPECT_TRUE(dialog.isVisible());
        ASSERT_EQ(ui.messageTexts().size(), 1U);
        EXPECT_NE(ui.messageTexts()[0].find(GetParam().refusal), std::string::npos)
            << ui.messageTexts()[0];
        return;
    }
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(ui.messageTexts().empty());
    EXPECT_EQ(dialog.Hosts(), GetParam().kept);
    std::vector<std::string> names;
    for (const HostEntry& host : GetParam().kept) {
        names.push_back(host.name.toStdString());
    }
    EXPECT_EQ(driver.Rows(D::kHostList), names);
}

INSTANTIATE_TEST_SUITE_P(
    Hosts, HostsDialogTest,
    ::testing::Values(
        Case{"unchanged", {}, kTwoHosts},
        Case{"added",
             {Click(D::kAddButton), Type(D::kNameEdit, " Backup "),
              Type(D::kAddressEdit, "backup:4100"), Type(D::kPasswordEdit, "s2"),
              Click(D::kAutoConnectCheck)},
             {kTwoHosts[0], kTwoHosts[1], {"Backup", "backup:4100", "s2", false}}},
        Case{"renamed and readdressed",
             {Choose(1), Type(D::kNameEdit, "Storage"), Type(D::kAddressEdit, "[2001:db8::7]:80")},
             {kTwoHosts[0], {"Storage", "[2001:db8::7]:80", "p", true}}},
        Case{"moved up", {Choose(1), Click(D::kUpButton)}, {kTwoHosts[1], kTwoHosts[0]}},
        Case{"moved down", {Click(D::kDownButton)}, {kTwoHosts[1], kTwoHosts[0]}},
        Case{"removed", {Click(D::kRemoveButton)}, {kTwoHosts[1]}},
        Case{"port too large", {Type(D::kAddressEdit, "nas7:65536")}, {}, "nas7:65536"},
        Case{"port zero", {Type(D::kAddressEdit, "nas7:0")}, {}, "is not a host address"},
        Case{"no address", {Type(D::kAddressEdit, "")}, {}, "is not a host address"},
        Case{"a blank", {Type(D::kAddressEdit, "nas 7")}, {}, "is not a host address"},
        Case{"a backslash", {Type(D::kAddressEdit, "nas\\7")}, {}, "is not a host address"},
        Case{"no name", {Click(D::kAddButton), Type(D::kAddressEdit, "b")}, {}, "needs a name"},
        Case{"a name twice",
             {Choose(1), Type(D::kNameEdit, "this COMPUTER ")},
             {},
             "called \"this COMPUTER\""},
        Case{"an address twice",
             {Click(D::kAddButton), Type(D::kNameEdit, "Again"), Type(D::kAddressEdit, "nas7")},
             {},
             "address \"nas7\""}),
    [](const auto& param) {
        std::string name = param.param.what;
        std::replace(name.begin(), name.end(), ' ', '_');
        return name;
    });

// The last host stays: the window watches one at least; the ends of the list move no
// further.
TEST(HostsDialog, ButtonsFollowTheChosenRow) {
    ScriptedUi ui;
    HostsDialog dialog({kTwoHosts[0]}, ui);
    dialog.show();
    WindowDriver driver(dialog);
    for (const int id : {D::kRemoveButton, D::kUpButton, D::kDownButton}) {
        EXPECT_FALSE(driver.IsItemEnabled(id)) << id;
    }
    EXPECT_TRUE(driver.ClickItem(D::kAddButton));
    EXPECT_EQ(driver.SelectedRow(D::kHostList), 1);
    EXPECT_TRUE(driver.IsItemEnabled(D::kUpButton));
    EXPECT_FALSE(driver.IsItemEnabled(D::kDownButton));
    EXPECT_TRUE(driver.IsItemEnabled(D::kRemoveButton));
}

// OK with a changed list writes it and announces it; Cancel, or OK with nothing
// changed, does neither.
TEST(HostsCommand, KeepsAndAnnouncesAChangedList) {
    ScriptedUi ui;
    QWidget window;
    std::vector<std::vector<HostEntry>> written;
    HostsCommand command(
        [] { return kTwoHosts; },
        [&written](const std::vector<HostEntry>& hosts) { written.push_back(hosts); }, ui, &window);
    std::vector<std::vector<HostEntry>> announced;
    QObject::connect(
        &command, &HostsCommand::HostsChanged,
        [&announced](const std::vector<HostEntry>& hosts) { announced.push_back(hosts); });
    for (const bool remove : {false, true}) {
        for (const int answer : {QDialog::Rejected, QDialog::Accepted}) {
            ui.onModal = [remove, answer](QDialog& dialog) {
                dialog.show();
                if (remove) {
                    WindowDriver(dialog).ClickItem(D::kRemoveButton);
                }
                return answer;
            };
            command.Run();
        }
    }
    const std::vector<std::vector<HostEntry>> expected = {{kTwoHosts[1]}};
    EXPECT_EQ(written, expected);
    EXPECT_EQ(announced, expected);
}

}  // namespace
}  // namespace veltrix::testing
