#include "gui/events/events_dialog.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>

#include "gui/events/events_filter.h"
#include "gui/events/events_model.h"
#include "gui/platform/control_id.h"

namespace veltrix {

namespace {

using platform::SetControlId;

constexpr int kDefaultWidth = 760;
constexpr int kDefaultHeight = 420;
constexpr int kColumnPadding = 24;
constexpr int kHostColumnWidth = 140;

// The severity list's entries: all, then each severity, the most serious first.
constexpr int kAllSeverities = -1;

}  // namespace

EventsDialog::EventsDialog(EventsModel& model, QWidget* parent) : QDialog(parent), model_(model) {
    SetControlId(this, events_id::kDialog);
    setWindowTitle(
        //% "Events"
        qtTrId("events.events"));
    setSizeGripEnabled(true);
    setModal(false);
    filter_ = new EventsFilter(model_, this);
    BuildTable();
    BuildFilters();

    auto* copy = new QPushButton(
        //% "&Copy"
        qtTrId("events.copy"), this);
    SetControlId(copy, events_id::kCopy);
    copy->setAutoDefault(false);
    connect(copy, &QPushButton::clicked, this, &EventsDialog::CopySelection);
    auto* close = new QPushButton(
        //% "Close"
        qtTrId("events.close"), this);
    SetControlId(close, events_id::kClose);
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QWidget::hide);

    auto* filters = new QHBoxLayout;
    //% "&Host:"
    auto* hostLabel = new QLabel(qtTrId("events.host-filter"), this);
    hostLabel->setBuddy(hosts_);
    //% "&Severity:"
    auto* severityLabel = new QLabel(qtTrId("events.severity-filter"), this);
    severityLabel->setBuddy(severities_);
    filters->addWidget(hostLabel);
    filters->addWidget(hosts_, 1);
    filters->addWidget(severityLabel);
    filters->addWidget(severities_);
    filters->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(copy);
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(table_, 1);
    layout->addLayout(buttons);
    resize(kDefaultWidth, kDefaultHeight);
}

void EventsDialog::BuildTable() {
    table_ = new QTreeView(this);
    SetControlId(table_, events_id::kTable);
    table_->setAccessibleName(windowTitle());
    table_->setModel(filter_);
    table_->setRootIsDecorated(false);
    table_->setItemsExpandable(false);
    table_->setUniformRowHeights(true);  // many rows: no row is measured
    table_->setAllColumnsShowFocus(true);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table_->header()->setSectionsMovable(false);
    table_->header()->setStretchLastSection(true);
    const QFontMetrics metrics = table_->fontMetrics();
    table_->header()->resizeSection(
        static_cast<int>(EventsColumn::Time),
        metrics.horizontalAdvance(QStringLiteral("0000-00-00 00:00:00")) + kColumnPadding);
    table_->header()->resizeSection(static_cast<int>(EventsColumn::Host), kHostColumnWidth);
    table_->header()->resizeSection(
        static_cast<int>(EventsColumn::Severity),
        std::max({metrics.horizontalAdvance(SeverityText(Severity::Information)),
                  metrics.horizontalAdvance(SeverityText(Severity::Warning)),
                  metrics.horizontalAdvance(SeverityText(Severity::Error))}) +
            kColumnPadding);

    // Ctrl+C in the table and its context menu; as a key too, when no shortcut handling
    // sees it (a window that is not active).
    auto* copy = new QAction(qtTrId("events.copy"), table_);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(copy, &QAction::triggered, this, &EventsDialog::CopySelection);
    table_->addAction(copy);
    table_->setContextMenuPolicy(Qt::ActionsContextMenu);
    table_->installEventFilter(this);

    // The table follows new rows while its last row is in sight.
    connect(filter_, &QAbstractItemModel::rowsAboutToBeInserted, this, [this] {
        const QScrollBar* bar = table_->verticalScrollBar();
        followNewest_ = bar->value() == bar->maximum();
    });
    connect(filter_, &QAbstractItemModel::rowsInserted, this, [this] {
        if (followNewest_) {
            table_->scrollToBottom();
        }
    });
}

void EventsDialog::BuildFilters() {
    hosts_ = new QComboBox(this);
    SetControlId(hosts_, events_id::kHostFilter);
    RefreshHosts();
    severities_ = new QComboBox(this);
    SetControlId(severities_, events_id::kSeverityFilter);
    //% "All"
    severities_->addItem(qtTrId("events.all-severities"), kAllSeverities);
    //% "Errors"
    severities_->addItem(qtTrId("events.errors"), static_cast<int>(Severity::Error));
    //% "Warnings"
    severities_->addItem(qtTrId("events.warnings"), static_cast<int>(Severity::Warning));
    severities_->addItem(SeverityText(Severity::Information),
                         static_cast<int>(Severity::Information));
    connect(hosts_, &QComboBox::currentIndexChanged, this, &EventsDialog::OnFilterChosen);
    connect(severities_, &QComboBox::currentIndexChanged, this, &EventsDialog::OnFilterChosen);
}

void EventsDialog::RefreshHosts() {
    const QVariant chosen = hosts_->currentData();
    const QSignalBlocker quiet(hosts_);
    hosts_->clear();
    //% "All hosts"
    hosts_->addItem(qtTrId("events.all-hosts"), QVariant::fromValue<quintptr>(0));
    for (const EventHistory* host : model_.Hosts()) {
        hosts_->addItem(model_.HostName(*host),
                        QVariant::fromValue(reinterpret_cast<quintptr>(host)));
    }
    hosts_->setCurrentIndex(std::max(hosts_->findData(chosen), 0));
    if (severities_ != nullptr) {
        OnFilterChosen();
    }
}

void EventsDialog::OnFilterChosen() {
    filter_->SetHost(
        reinterpret_cast<const EventHistory*>(hosts_->currentData().value<quintptr>()));
    const int severity = severities_->currentData().toInt();
    filter_->SetSeverity(severity == kAllSeverities
                             ? std::nullopt
                             : std::optional<Severity>(static_cast<Severity>(severity)));
}

void EventsDialog::ScrollToNewest() {
    table_->scrollToBottom();
}

QString EventsDialog::SelectedText() const {
    std::vector<int> rows;
    for (const QModelIndex& index : table_->selectionModel()->selectedRows()) {
        rows.push_back(index.row());
    }
    if (rows.empty()) {
        rows.resize(static_cast<std::size_t>(filter_->rowCount()));
        for (std::size_t i = 0; i < rows.size(); ++i) {
            rows[i] = static_cast<int>(i);
        }
    }
    std::sort(rows.begin(), rows.end());
    QString text;
    for (const int row : rows) {
        for (int column = 0; column < kEventsColumns; ++column) {
            text += filter_->index(row, column).data().toString();
            text += column + 1 < kEventsColumns ? QLatin1Char('\t') : QLatin1Char('\n');
        }
    }
    return text;
}

void EventsDialog::CopySelection() const {
    QGuiApplication::clipboard()->setText(SelectedText());
}

bool EventsDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == table_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
        CopySelection();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace veltrix
