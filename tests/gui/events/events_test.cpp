// The events view: every host's lines merged by time with the host's name, following
// lines that come, go and are cleared; the host and severity filters; copying; and the
// menu item and the summary popup that open it.

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTreeView>
#include <functional>

#include "gui/events/events_command.h"
#include "gui/events/events_dialog.h"
#include "gui/events/events_filter.h"
#include "gui/events/events_model.h"
#include "gui/mainwindow/popup_presenter.h"
#include "gui/resources/main_window_ids.h"
#include "support/main_window_fixture.h"

namespace veltrix::testing {
namespace {

EventRecord At(std::uint16_t minute, std::uint32_t code) {
    return {.time = {.year = 2026, .month = 12, .day = 10, .hour = 9, .minute = minute},
            .code = code};
}

// "host severity code" of each row; a note's code is its text.
std::vector<std::string> Rows(const QAbstractItemModel& model) {
    std::vector<std::string> rows;
    for (int row = 0; row < model.rowCount(); ++row) {
        const auto cell = [&](EventsColumn c) {
            return model.index(row, static_cast<int>(c)).data().toString();
        };
        rows.push_back(QStringList{cell(EventsColumn::Host), cell(EventsColumn::Severity),
                                   cell(EventsColumn::Text).section(QStringLiteral(": "), -1)}
                           .join(QLatin1Char(' '))
                           .toStdString());
    }
    return rows;
}

// Two hosts' lines, alpha's ring keeping three; the lines come out of time order.
struct TwoHosts {
    EventHistory alpha{nullptr, 3};
    EventHistory beta;
    EventsModel model;

    TwoHosts() {
        alpha.Append(At(1, 1));
        model.AddHost(QStringLiteral("alpha"), alpha);
        model.AddHost(QStringLiteral("beta"), beta);
        beta.Append(At(2, 2), Severity::Error);
        alpha.Append(At(3, 3), Severity::Warning);
        beta.Append(At(0, 4));
    }
};

TEST(EventsModelTest, MergesByTimeAndFollowsTheHistories) {
    TwoHosts h;
    struct Step {
        std::function<void()> change;
        std::vector<std::string> rows;
    };
    const std::vector<Step> steps = {
        {[] {}, {"beta Information 4", "alpha Information 1", "beta Error 2", "alpha Warning 3"}},
        // alpha's ring is full: its oldest line goes as the new one comes.
        {[&] { h.alpha.AppendConnectionNote(true, QDateTime(QDate(2026, 12, 10), QTime(9, 5))); },
         {"beta Information 4", "alpha Information 1", "beta Error 2", "alpha Warning 3",
          "alpha Warning Connection to the service lost"}},
        {[&] { h.alpha.Append(At(4, 5), Severity::Error); },
         {"beta Information 4", "beta Error 2", "alpha Warning 3", "alpha Error 5",
          "alpha Warning Connection to the service lost"}},
        {[&] { h.beta.Clear(); },
         {"alpha Warning 3", "alpha Error 5", "alpha Warning Connection to the service lost"}},
        {[&] {
             h.model.RenameHost(h.alpha, QStringLiteral("gamma"));
             h.beta.Append(At(9, 6));
         },
         {"gamma Warning 3", "gamma Error 5", "gamma Warning Connection to the service lost",
          "beta Information 6"}},
        {[&] { h.model.RemoveHost(h.alpha); }, {"beta Information 6"}},
    };
    for (std::size_t i = 0; i < steps.size(); ++i) {
        steps[i].change();
        EXPECT_EQ(Rows(h.model), steps[i].rows) << "step " << i;
    }
}

TEST(EventsModelTest, FiltersByHostAndSeverity) {
    TwoHosts h;
    EventsFilter filter(h.model);
    struct Case {
        const EventHistory* host;
        std::optional<Severity> severity;
        std::vector<std::string> rows;
    };
    const Case cases[] = {
        {nullptr, Severity::Error, {"beta Error 2"}},
        {&h.alpha, std::nullopt, {"alpha Information 1", "alpha Warning 3"}},
        {&h.beta, Severity::Information, {"beta Information 4"}},
        {&h.alpha, Severity::Error, {}},
        {nullptr,
         std::nullopt,
         {"beta Information 4", "alpha Information 1", "beta Error 2", "alpha Warning 3"}},
    };
    for (const Case& c : cases) {
        filter.SetHost(c.host);
        filter.SetSeverity(c.severity);
        EXPECT_EQ(Rows(filter), c.rows);
    }
    // A filtered view follows new lines too.
    filter.SetHost(&h.beta);
    h.beta.Append(At(7, 7), Severity::Warning);
    h.alpha.Append(At(8, 8));
    EXPECT_EQ(Rows(filter),
              (std::vector<std::string>{"beta Information 4", "beta Error 2", "beta Warning 7"}));
}

TEST(EventsViewTest, CopiesTheSelectedRowsOrAllShown) {
    TwoHosts h;
    EventsDialog view(h.model);
    auto* table = platform::FindControl<QTreeView>(view, events_id::kTable);
    auto* severity = platform::FindControl<QComboBox>(view, events_id::kSeverityFilter);
    auto* copy = platform::FindControl<QPushButton>(view, events_id::kCopy);
    ASSERT_TRUE(table != nullptr && severity != nullptr && copy != nullptr);
    const QString lines[] = {"2026-12-10 09:00:00\tbeta\tInformation\tC 0, Dev 0, Dri 0, : 4\n",
                             "2026-12-10 09:01:00\talpha\tInformation\tC 0, Dev 0, Dri 0, : 1\n",
                             "2026-12-10 09:02:00\tbeta\tError\tC 0, Dev 0, Dri 0, : 2\n",
                             "2026-12-10 09:03:00\talpha\tWarning\tC 0, Dev 0, Dri 0, : 3\n"};
    QClipboard* clipboard = QApplication::clipboard();

    QTest::keyClick(table, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text(), lines[0] + lines[1] + lines[2] + lines[3]);

    for (const int row : {3, 1}) {
        table->selectionModel()->select(table->model()->index(row, 0),
                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    QTest::keyClick(table, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text(), lines[1] + lines[3]);

    table->clearSelection();
    severity->setCurrentIndex(severity->findData(static_cast<int>(Severity::Error)));
    QTest::mouseClick(copy, Qt::LeftButton);
    EXPECT_EQ(clipboard->text(), lines[2]);
}

// The menu item opens the one view with the window's own host, named as its field
// names it; the summary popup's Events button opens it too.
TEST_F(MainWindowTest, TheMenuAndTheSummaryPopupOpenTheView) {
    StartConnectedWithEveryPopup();
    EXPECT_EQ(window().Events().View(), nullptr) << "made when first asked for";

    PopupPresenter presenter(window().Popups(), nullptr);
    presenter.SetEventsOpener([this] { window().Choose(menu_id::kEvents); });
    for (int i = 0; i < 5; ++i) {
        sim().PushEvent({.controller = 0, .code = EVENT_SPARE_ACCESSED});
    }
    Tick();
    QApplication::processEvents();
    ASSERT_NE(presenter.Current(), nullptr);
    EXPECT_EQ(
        presenter.Current()->findChild<QPushButton*>(QString::number(control_id::kPopupEvents)),
        nullptr)
        << "a single event's box has OK only";
    presenter.Current()->accept();
    QApplication::processEvents();
    QMessageBox* summary = presenter.Current();
    ASSERT_NE(summary, nullptr);
    ASSERT_EQ(summary->text(), "4 more events \u2014 see the event log");
    auto* events = summary->findChild<QPushButton*>(QString::number(control_id::kPopupEvents));
    ASSERT_NE(events, nullptr);
    QTest::mouseClick(events, Qt::LeftButton);
    QApplication::processEvents();

    EXPECT_EQ(presenter.Current(), nullptr) << "the button closes the box";
    EventsDialog* view = window().Events().View();
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->isVisible());
    WindowDriver viewDriver(*view);
    EXPECT_EQ(viewDriver.RowCount(events_id::kTable), window().Monitor().Events().rowCount());
    // The one host is named by its entry, as the host list would name it.
    const std::string host = window().Monitor().Name().toStdString();
    EXPECT_EQ(viewDriver.Row(events_id::kTable, 0).find(host), 20u) << "after the time";
}

}  // namespace
}  // namespace veltrix::testing
