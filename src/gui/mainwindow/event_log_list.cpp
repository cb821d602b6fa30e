#include "gui/mainwindow/event_log_list.h"

#include <algorithm>

#include "session/session_types.h"

namespace veltrix {

EventLogList::EventLogList(QObject* parent, int limit)
    : QAbstractListModel(parent), limit_(static_cast<std::size_t>(std::max(limit, 1))) {}

void EventLogList::Append(const EventRecord& event) {
    if (ring_.size() == limit_) {
        beginRemoveRows({}, 0, 0);
        first_ = (first_ + 1) % limit_;
        endRemoveRows();
    }
    const int row = rowCount();
    beginInsertRows({}, row, row);
    if (ring_.empty()) {
        ring_.reserve(limit_);  // once, all of it: a growing vector would keep spare room
    }
    if (ring_.size() < limit_) {
        ring_.push_back(event);
    } else {
        ring_[(first_ + limit_ - 1) % limit_] = event;
    }
    endInsertRows();
}

void EventLogList::Clear() {
    beginResetModel();
    ring_.clear();
    ring_.shrink_to_fit();
    first_ = 0;
    endResetModel();
}

int EventLogList::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(ring_.size());
}

const EventRecord& EventLogList::At(int row) const {
    return ring_[(first_ + static_cast<std::size_t>(row)) % ring_.size()];
}

QVariant EventLogList::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    return QString::fromStdString(FormatEventLogLine(At(index.row())));
}

}  // namespace veltrix
