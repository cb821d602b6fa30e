#include "gui/errorlog/error_log_dialog.h"

#include <QAbstractTableModel>
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "gui/platform/control_id.h"
#include "texts/format.h"
#include "texts/strings.h"

namespace veltrix {

namespace {

using platform::SetControlId;

constexpr int kDefaultHeight = 320;
constexpr int kColumnPadding = 24;

QStringList Headers() {
    return {//% "Date / Time"
            qtTrId("errorlog.date-time"),
            //% "C.Num."
            qtTrId("errorlog.controller-number"),
            //% "Port"
            qtTrId("errorlog.port"),
            //% "Cmd."
            qtTrId("errorlog.command"),
            //% "Sts."
            qtTrId("errorlog.status"),
            //% "Ctl."
            qtTrId("errorlog.control"),
            //% "LBA"
            qtTrId("errorlog.lba"),
            //% "LBA-count"
            qtTrId("errorlog.lba-count")};
}

// The widest text each column shows, for its starting width (the columns are not
// measured row by row: the list has no limit).
constexpr std::array<const char*, kErrorLogColumns> kWidestTexts = {
    "00.00.0000  00:00:00", "00", "00", "00", "00", "00", "0000000000AB", "0000"};

}  // namespace

std::array<std::string, kErrorLogColumns> ErrorLogFields(const LogEntry& e) {
    const SystemTime& t = e.time;
    const auto lbaPart = [&e](int shift) {
        return static_cast<std::uint16_t>((e.lba >> shift) & 0xFFFF);
    };
    return {
        Format("%02d.%02d.%d  %02d:%02d:%02d", t.day, t.month, t.year, t.hour, t.minute, t.second),
        Format("%02X", e.controller),
        Format("%02X", e.port),
        Format("%02X", e.command),
        Format("%02X", e.status),
        Format("%02X", e.control),
        Format("%04X%04X%04X", lbaPart(32), lbaPart(16), lbaPart(0)),
        Format("%02X", e.sectorCount)};
}

std::string ErrorLogLine(const LogEntry& entry) {
    std::string line;
    for (const std::string& field : ErrorLogFields(entry)) {
        if (!line.empty()) {
            line += '\t';
        }
        line += field;
    }
    return line;
}

// The entries as rows, its own or a list another keeps (`shown`); each column's text is
// made when the list draws it.
class ErrorLogModel : public QAbstractTableModel {
  public:
    ErrorLogModel(std::vector<LogEntry> entries, const std::vector<LogEntry>* shown,
                  QObject* parent)
        : QAbstractTableModel(parent),
          own_(std::move(entries)),
          entries_(shown != nullptr ? *shown : own_),
          rows_(entries_.size()) {}

    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(rows_);
    }
    int columnCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : kErrorLogColumns;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole || !index.isValid() ||
            static_cast<std::size_t>(index.row()) >= rows_) {
            return {};
        }
        const auto fields = ErrorLogFields(entries_[static_cast<std::size_t>(index.row())]);
        return QString::fromStdString(fields[static_cast<std::size_t>(index.column())]);
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
            section >= kErrorLogColumns) {
            return {};
        }
        return headers_[section];
    }

    // A line at the end: appended to its own list, or already appended by the list's
    // keeper, which the rows follow.
    void Append(const LogEntry& entry) {
        const int row = static_cast<int>(rows_);
        beginInsertRows(QModelIndex(), row, row);
        if (&entries_ == &own_) {
            own_.push_back(entry);
        }
        ++rows_;
        endInsertRows();
    }
    const std::vector<LogEntry>& Entries() const { return entries_; }

  private:
    QStringList headers_ = Headers();
    std::vector<LogEntry> own_;
    const std::vector<LogEntry>& entries_;
    std::size_t rows_;
};

ErrorLogDialog::ErrorLogDialog(std::vector<LogEntry> entries, QWidget* parent)
    : ErrorLogDialog(std::move(entries), nullptr, parent) {}

ErrorLogDialog::ErrorLogDialog(const std::vector<LogEntry>* shown, QWidget* parent)
    : ErrorLogDialog({}, shown, parent) {}

ErrorLogDialog::ErrorLogDialog(std::vector<LogEntry> entries, const std::vector<LogEntry>* shown,
                               QWidget* parent)
    : QDialog(parent) {
    SetControlId(this, error_log_id::kDialog);
    setWindowTitle(
        //% "Error log"
        qtTrId("errorlog.error-log"));
    setSizeGripEnabled(true);

    model_ = new ErrorLogModel(std::move(entries), shown, this);
    list_ = new QTreeView(this);
    SetControlId(list_, error_log_id::kList);
    // A list has no caption to take its name from.
    list_->setAccessibleName(
        //% "Error log entries"
        qtTrId("errorlog.error-log-entries"));
    list_->setModel(model_);
    list_->setRootIsDecorated(false);
    list_->setItemsExpandable(false);
    list_->setUniformRowHeights(true);
    list_->setSortingEnabled(false);
    list_->setAllColumnsShowFocus(true);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    list_->header()->setSectionsMovable(false);
    list_->header()->setStretchLastSection(true);
    int width = 0;
    for (int column = 0; column < kErrorLogColumns; ++column) {
        const QString header =
            model_->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
        const int columnWidth =
            std::max(
                list_->fontMetrics().horizontalAdvance(QString::fromLatin1(kWidestTexts[column])),
                list_->header()->fontMetrics().horizontalAdvance(header)) +
            kColumnPadding;
        list_->header()->resizeSection(column, columnWidth);
        width += columnWidth;
    }

    // Copy: Ctrl+C in the list and its context menu.
    auto* copy = new QAction(
        //% "&Copy"
        qtTrId("errorlog.copy"), list_);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(copy, &QAction::triggered, this, &ErrorLogDialog::CopySelection);
    list_->addAction(copy);
    list_->setContextMenuPolicy(Qt::ActionsContextMenu);
    // The list copies only its current cell itself; Ctrl+C that reaches it as a key
    // (no shortcut handling, as in a window that is not active) copies the lines.
    list_->installEventFilter(this);

    auto* hide = new QPushButton(
        //% "Hide"
        qtTrId("errorlog.hide"), this);
    SetControlId(hide, error_log_id::kHide);
    hide->setAutoDefault(false);
    connect(hide, &QPushButton::clicked, this, &QWidget::hide);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(hide);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);
    resize(width + list_->verticalScrollBar()->sizeHint().width() + 2 * kColumnPadding,
           kDefaultHeight);
}

void ErrorLogDialog::AddLogLine(const LogEntry& entry) {
    model_->Append(entry);
}

const std::vector<LogEntry>& ErrorLogDialog::Entries() const {
    return model_->Entries();
}

std::string ErrorLogDialog::SelectedText() const {
    std::vector<int> rows;
    for (const QModelIndex& index : list_->selectionModel()->selectedRows()) {
        rows.push_back(index.row());
    }
    if (rows.empty()) {
        rows.resize(Entries().size());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            rows[i] = static_cast<int>(i);
        }
    }
    std::sort(rows.begin(), rows.end());
    std::string text;
    for (const int row : rows) {
        text += ErrorLogLine(Entries()[static_cast<std::size_t>(row)]) + '\n';
    }
    return text;
}

void ErrorLogDialog::CopySelection() const {
    QGuiApplication::clipboard()->setText(QString::fromStdString(SelectedText()));
}

bool ErrorLogDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
        CopySelection();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace veltrix
