#include "gui/hostlist/host_list_view.h"

#include <QAction>
#include <QApplication>
#include <QItemSelectionModel>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <algorithm>

#include "gui/resources/icons.h"
#include "session/reconnect_backoff.h"
#include "watch/host_list.h"

namespace veltrix {

namespace {

constexpr int kIconSize = 16;
constexpr int kGap = 4;
// The list is as wide as its widest name or state line, within these bounds.
constexpr int kMinWidth = 160;
constexpr int kMaxWidth = 240;
// Ctrl+1 to Ctrl+9 choose the first nine hosts.
constexpr int kRowKeys = 9;

// Each row as two lines after the state's icon: the name over the state line.
class HostRowDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const QFontMetrics metrics(option.font);
        const int text = std::max(metrics.horizontalAdvance(Name(index)), WidestLine(metrics));
        return {kGap + kIconSize + kGap + text + kGap, kGap + 2 * metrics.height() + kGap};
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        // The style draws the row's ground, selection and focus; the rest is drawn here.
        QStyleOptionViewItem ground = option;
        initStyleOption(&ground, index);
        ground.text.clear();
        ground.icon = QIcon();
        ground.features &= ~QStyleOptionViewItem::HasDecoration;
        const QWidget* view = option.widget;
        QStyle* style = view != nullptr ? view->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &ground, painter, view);

        const QRect row = option.rect;
        const auto state = static_cast<HostState>(index.data(HostList::StateRole).toInt());
        const QRect icon(row.left() + kGap, row.top() + (row.height() - kIconSize) / 2, kIconSize,
                         kIconSize);
        ProgramIcon(shell::HostsIconId(HostsLevelOf(state))).paint(painter, icon);

        const bool selected = (option.state & QStyle::State_Selected) != 0;
        painter->save();
        painter->setPen(
            option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        const QFontMetrics metrics(option.font);
        const int left = icon.right() + 1 + kGap;
        QRect line(left, row.top() + kGap, row.right() - kGap - left, metrics.height());
        const auto draw = [&](const QString& text) {
            painter->drawText(line, Qt::AlignLeft | Qt::AlignVCenter,
                              metrics.elidedText(text, Qt::ElideRight, line.width()));
            line.translate(0, metrics.height());
        };
        draw(Name(index));
        draw(Line(index));
        painter->restore();
    }

  private:
    // The widest line any state can have, so that the list keeps its width while the
    // hosts' states and countdowns change.
    static int WidestLine(const QFontMetrics& metrics) {
        constexpr int kLongestRebuild = 100;
        constexpr int kLongestCountdownS =
            ReconnectBackoff::kMaxDelayMs / 1000 * (100 + ReconnectBackoff::kJitterPercent) / 100;
        int widest = 0;
        for (const HostState state :
             {HostState::Ready, HostState::Rebuilding, HostState::Reduced, HostState::Broken,
              HostState::NotConnected, HostState::Reconnecting, HostState::PasswordRefused}) {
            widest = std::max(widest, metrics.horizontalAdvance(
                                          StateLineOf(state, kLongestRebuild, kLongestCountdownS)));
        }
        return widest;
    }
    static QString Name(const QModelIndex& index) { return index.data(Qt::DisplayRole).toString(); }
    static QString Line(const QModelIndex& index) {
        return index.data(HostList::StateLineRole).toString();
    }
};

}  // namespace

shell::HostsLevel HostsLevelOf(HostState state) {
    switch (state) {
        case HostState::Ready:
            return shell::HostsLevel::Well;
        case HostState::Rebuilding:
        case HostState::Reduced:
        case HostState::Broken:
            return shell::HostsLevel::SetProblem;
        case HostState::NotConnected:
        case HostState::Reconnecting:
        case HostState::PasswordRefused:
            break;
    }
    return shell::HostsLevel::Unreachable;
}

HostListView::HostListView(QWidget* parent) : QListView(parent) {
    setItemDelegate(new HostRowDelegate(this));
    setIconSize(QSize(kIconSize, kIconSize));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    AddRowKeys();
}

void HostListView::AddRowKeys() {
    // The keys belong to the list: while it is hidden (one host) they do nothing.
    for (int row = 0; row < kRowKeys; ++row) {
        auto* key = new QAction(this);
        key->setShortcut(QKeySequence(Qt::CTRL | static_cast<Qt::Key>(Qt::Key_1 + row)));
        key->setShortcutContext(Qt::WindowShortcut);
        connect(key, &QAction::triggered, this, [this, row] {
            if (model() != nullptr && row < model()->rowCount()) {
                setCurrentIndex(model()->index(row, 0));
            }
        });
        addAction(key);
    }
}

QSize HostListView::sizeHint() const {
    const int rows =
        sizeHintForColumn(0) + 2 * frameWidth() + verticalScrollBar()->sizeHint().width();
    return {std::clamp(rows, kMinWidth, kMaxWidth), QListView::sizeHint().height()};
}

void HostListView::SetHosts(HostList* hosts) {
    setModel(hosts);
    if (hosts == nullptr || selectionModel() == nullptr) {
        return;
    }
    // A renamed, added or removed host may change the widest row.
    const auto resize = [this] { updateGeometry(); };
    connect(hosts, &HostList::dataChanged, this, resize);
    connect(hosts, &HostList::rowsInserted, this, resize);
    connect(hosts, &HostList::rowsRemoved, this, resize);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) {
                    emit HostChosen(current.row());
                }
            });
}

void HostListView::MarkShown(int row) {
    if (model() == nullptr || row < 0 || row >= model()->rowCount()) {
        return;
    }
    const QSignalBlocker blocker(selectionModel());
    selectionModel()->setCurrentIndex(model()->index(row, 0), QItemSelectionModel::ClearAndSelect);
    viewport()->update();
}

}  // namespace veltrix
