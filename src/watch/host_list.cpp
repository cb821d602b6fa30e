#include "watch/host_list.h"

#include <algorithm>
#include <numeric>

namespace veltrix {

HostList::HostList(QObject* parent) : QAbstractListModel(parent) {}

HostList::~HostList() = default;

int HostList::Add(std::unique_ptr<HostMonitor> monitor) {
    const int row = Count();
    const HostMonitor* added = monitor.get();
    connect(added, &HostMonitor::StateChanged, this, [this, added] { OnStateChanged(added); });
    connect(added, &HostMonitor::EntryChanged, this, [this, added] { OnStateChanged(added); });
    beginInsertRows({}, row, row);
    monitors_.push_back(std::move(monitor));
    endInsertRows();
    NoteWorst();
    return row;
}

void HostList::Remove(int row) {
    if (row < 0 || row >= Count()) {
        return;
    }
    beginRemoveRows({}, row, row);
    const auto removed = monitors_.begin() + row;
    std::unique_ptr<HostMonitor> gone = std::move(*removed);
    monitors_.erase(removed);
    endRemoveRows();
    gone.reset();  // after the rows' views let go of it
    NoteWorst();
}

void HostList::Move(int from, int to) {
    if (from < 0 || from >= Count() || to < 0 || to >= Count() || from == to) {
        return;
    }
    // Qt counts the destination before the move: one past `to` when moving down.
    beginMoveRows({}, from, from, {}, to > from ? to + 1 : to);
    const auto first = monitors_.begin();
    if (to > from) {
        std::rotate(first + from, first + from + 1, first + to + 1);
    } else {
        std::rotate(first + to, first + from, first + from + 1);
    }
    endMoveRows();
}

HostMonitor* HostList::At(int row) const {
    return row >= 0 && row < Count() ? monitors_[static_cast<std::size_t>(row)].get() : nullptr;
}

int HostList::RowOf(const HostMonitor* monitor) const {
    const auto found = std::find_if(monitors_.begin(), monitors_.end(),
                                    [monitor](const auto& m) { return m.get() == monitor; });
    return found == monitors_.end() ? -1 : static_cast<int>(found - monitors_.begin());
}

HostState HostList::Worst() const {
    if (monitors_.empty()) {
        return HostState::NotConnected;
    }
    HostState worst = HostState::Ready;
    for (const auto& monitor : monitors_) {
        worst = std::max(worst, monitor->State());
    }
    return worst;
}

QStringList HostList::TooltipLines() const {
    std::vector<std::size_t> order(monitors_.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::vector<HostState> states;
    states.reserve(monitors_.size());
    for (const auto& monitor : monitors_) {
        states.push_back(monitor->State());
    }
    std::stable_sort(order.begin(), order.end(),
                     [&states](std::size_t a, std::size_t b) { return states[a] > states[b]; });
    QStringList lines;
    for (const std::size_t i : order) {
        lines << monitors_[i]->Name() + QStringLiteral(": ") + monitors_[i]->StateLine();
    }
    return lines;
}

int HostList::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Count();
}

QVariant HostList::data(const QModelIndex& index, int role) const {
    const HostMonitor* monitor = index.isValid() ? At(index.row()) : nullptr;
    if (monitor == nullptr) {
        return {};
    }
    switch (role) {
        case Qt::DisplayRole:
            return monitor->Name();
        case StateRole:
            return static_cast<int>(monitor->State());
        case StateLineRole:
            return monitor->StateLine();
        case Qt::AccessibleTextRole:
            return monitor->Name() + QStringLiteral(", ") + monitor->StateLine();
        default:
            return {};
    }
}

QHash<int, QByteArray> HostList::roleNames() const {
    QHash<int, QByteArray> names = QAbstractListModel::roleNames();
    names.insert(StateRole, "state");
    names.insert(StateLineRole, "stateLine");
    return names;
}

void HostList::OnStateChanged(const HostMonitor* monitor) {
    if (const int row = RowOf(monitor); row >= 0) {
        const QModelIndex changed = index(row);
        emit dataChanged(changed, changed);
    }
    NoteWorst();
}

void HostList::NoteWorst() {
    const HostState worst = Worst();
    if (worst != toldWorst_) {
        toldWorst_ = worst;
        emit WorstChanged();
    }
}

}  // namespace veltrix
