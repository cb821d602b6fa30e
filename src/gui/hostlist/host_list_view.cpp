#include "gui/hostlist/host_list_view.h"

#include <QAction>
#include <QItemSelectionModel>
#include <QSignalBlocker>
#include <QStyledItemDelegate>

#include "gui/resources/icons.h"
#include "gui/resources/main_window_ids.h"
#include "watch/host_list.h"

namespace veltrix {

namespace {

constexpr int kIconSize = 16;
// Ctrl+1 to Ctrl+9 choose the first nine hosts.
constexpr int kRowKeys = 9;

int IconIdOf(shell::HostsLevel level) {
    switch (level) {
        case shell::HostsLevel::Well:
            return icon_id::kHostsWell;
        case shell::HostsLevel::SetProblem:
            return icon_id::kHostsSetProblem;
        case shell::HostsLevel::Unreachable:
            break;
    }
    return icon_id::kHostsUnreachable;
}

// Each row as two lines, the name over the state line, after the state's icon.
class HostRowDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

  protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        const auto state = static_cast<HostState>(index.data(HostList::StateRole).toInt());
        option->icon = ProgramIcon(IconIdOf(HostsLevelOf(state)));
        option->decorationSize = QSize(kIconSize, kIconSize);
        option->features |= QStyleOptionViewItem::HasDecoration;
        option->text = index.data(Qt::DisplayRole).toString() + QLatin1Char('\n') +
                       index.data(HostList::StateLineRole).toString();
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

void HostListView::SetHosts(HostList* hosts) {
    setModel(hosts);
    if (selectionModel() == nullptr) {
        return;
    }
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
