// The error log view: the line of an entry, lines collected while the view is hidden
// and shown by the menu, and copying lines to the clipboard.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QItemSelectionModel>
#include <QTest>
#include <QTreeView>

#include "gui/errorlog/error_log_dialog.h"
#include "gui/platform/screenshot.h"
#include "gui/resources/main_window_ids.h"
#include "support/main_window_fixture.h"
#include "texts/strings.h"

namespace veltrix::testing {
namespace {

LogEntry Entry(SystemTime time, std::uint8_t port, std::uint64_t lba, std::uint16_t count) {
    LogEntry e;
    e.time = time;
    e.port = port;
    e.command = 0x25;
    e.status = 0x51;
    e.control = 0x04;
    e.lba = lba;
    e.sectorCount = count;
    return e;
}

TEST(ErrorLogLineTest, DateTimeThenTheHexFields) {
    const SystemTime march{.year = 2014, .month = 3, .day = 5, .hour = 7, .minute = 4, .second = 9};
    const SystemTime late{
        .year = 2099, .month = 12, .day = 31, .hour = 23, .minute = 59, .second = 58};
    LogEntry big = Entry(late, 0x0F, 0xABCDEF012345, 0x1234);
    big.controller = 7;
    const std::pair<LogEntry, const char*> cases[] = {
        {Entry(march, 2, 0x1234AB, 8),
         "05.03.2014  07:04:09\t00\t02\t25\t51\t04\t0000001234AB\t08"},
        {big, "31.12.2099  23:59:58\t07\t0F\t25\t51\t04\tABCDEF012345\t1234"},
    };
    for (const auto& [entry, line] : cases) {
        EXPECT_EQ(ErrorLogLine(entry), line);
    }
}

TEST_F(MainWindowTest, ErrorLogCollectsWhileHiddenAndTheMenuShowsIt) {
    Start(sim::TwoControllerScenario());
    Connect();
    sim().PushLogEntry({.controller = 0, .port = 1, .status = 0x51, .command = 0x25});
    sim().PushLogEntry({.controller = 1, .port = 2, .status = 0x41, .command = 0x35});
    FirstTick();
    EXPECT_EQ(window().findChild<ErrorLogDialog*>(), nullptr) << "made when first asked for";
    EXPECT_EQ(window().Monitor().ErrorLog().size(), 2u);
    ErrorLogDialog& view = window().ErrorLog().View();
    WindowDriver viewDriver(view);
    EXPECT_FALSE(view.isVisible());
    ASSERT_EQ(viewDriver.RowCount(error_log_id::kList), 2);

    ASSERT_TRUE(driver().UserChoose(menu_id::kShowErrorLog));
    EXPECT_TRUE(view.isVisible());
    ASSERT_TRUE(viewDriver.ClickItem(error_log_id::kHide));
    EXPECT_FALSE(view.isVisible());

    sim().PushLogEntry({.controller = 0, .port = 3});
    Tick();
    const auto& entries = window().Monitor().ErrorLog();
    ASSERT_EQ(entries.size(), 3u);
    const std::uint8_t ports[] = {1, 2, 3};
    for (std::size_t row = 0; row < entries.size(); ++row) {
        EXPECT_EQ(entries[row].port, ports[row]);
        // Each column shows its field of the line.
        EXPECT_EQ(viewDriver.Row(error_log_id::kList, static_cast<int>(row)),
                  ErrorLogLine(entries[row]));
    }
}

TEST(ErrorLogViewTest, CopiesTheSelectedLinesOrAll) {
    ErrorLogDialog view;
    std::vector<std::string> lines;
    for (std::uint8_t port = 0; port < 3; ++port) {
        const LogEntry entry = Entry({.year = 2014, .month = 3, .day = 5}, port, port, 1);
        view.AddLogLine(entry);
        lines.push_back(ErrorLogLine(entry) + "\n");
    }
    auto* list = platform::FindControl<QTreeView>(view, error_log_id::kList);
    ASSERT_NE(list, nullptr);
    QClipboard* clipboard = QApplication::clipboard();

    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text().toStdString(), lines[0] + lines[1] + lines[2]);

    clipboard->clear();
    for (const int row : {2, 0}) {
        list->selectionModel()->select(list->model()->index(row, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text().toStdString(), lines[0] + lines[2]);

    clipboard->clear();
    ASSERT_EQ(list->actions().size(), 1);
    list->actions()[0]->trigger();
    EXPECT_EQ(clipboard->text().toStdString(), lines[0] + lines[2]);
}

TEST(ErrorLogViewTest, Screenshots) {
    for (const auto& [language, name, title] :
         {std::tuple{Language::English, "en", "Error log"},
          std::tuple{Language::German, "de", "Fehlerprotokoll"}}) {
        SetUiLanguage(language);
        ErrorLogDialog view;
        EXPECT_EQ(view.windowTitle().toStdString(), title);
        for (std::uint16_t i = 0; i < 6; ++i) {
            view.AddLogLine(Entry({.year = 2014, .month = 3, .day = 5, .hour = 7, .minute = i},
                                  static_cast<std::uint8_t>(i % 4), 0x1234AB + 8u * i, 8));
        }
        view.show();
        const std::string path =
            std::string(VELTRIX_SCREENSHOT_DIR) + "/error_log_" + name + ".png";
        EXPECT_TRUE(platform::SavePng(view, path, 1.0));
        EXPECT_FALSE(QImage(QString::fromStdString(path)).isNull());
    }
    SetUiLanguage(Language::English);
}

}  // namespace
}  // namespace veltrix::testing
