#include "watch/event_history.h"

#include <QTime>
#include <algorithm>

#include "session/session_types.h"

namespace veltrix {

EventHistory::EventHistory(QObject* parent, int limit)
    : QAbstractListModel(parent), limit_(static_cast<std::size_t>(std::max(limit, 1))) {}

void EventHistory::Append(const EventRecord& event) {
    Push({.event = event, .kind = Kind::Event});
}

void EventHistory::AppendConnectionNote(bool lost, int secondsOfDay) {
    Line line{.event = {}, .kind = lost ? Kind::ConnectionLost : Kind::ConnectionRegained};
    line.event.code = static_cast<std::uint32_t>(secondsOfDay);
    Push(line);
}

void EventHistory::AppendMessage(const QString& text, int secondsOfDay) {
    Line line{.event = {}, .kind = Kind::Message};
    line.event.code = static_cast<std::uint32_t>(secondsOfDay);
    line.message = static_cast<std::uint16_t>(firstMessage_ + messages_.size());
    messages_.push_back(text);
    Push(line);
}

void EventHistory::Push(const Line& line) {
    if (ring_.size() == limit_) {
        beginRemoveRows({}, 0, 0);
        if (At(0).kind == Kind::Message) {
            messages_.pop_front();
            ++firstMessage_;
        }
        first_ = (first_ + 1) % limit_;
        endRemoveRows();
    }
    const int row = rowCount();
    beginInsertRows({}, row, row);
    if (ring_.empty()) {
        ring_.reserve(limit_);  // once, all of it: a growing vector would keep spare room
    }
    if (ring_.size() < limit_) {
        ring_.push_back(line);
    } else {
        ring_[(first_ + limit_ - 1) % limit_] = line;
    }
    endInsertRows();
}

void EventHistory::Clear() {
    beginResetModel();
    ring_.clear();
    ring_.shrink_to_fit();
    first_ = 0;
    messages_.clear();
    firstMessage_ = 0;
    endResetModel();
}

int EventHistory::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(ring_.size());
}

const EventHistory::Line& EventHistory::At(int row) const {
    return ring_[(first_ + static_cast<std::size_t>(row)) % ring_.size()];
}

QVariant EventHistory::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    return Text(At(index.row()));
}

QString EventHistory::LastLine() const {
    return ring_.empty() ? QString() : Text(At(rowCount() - 1));
}

QString EventHistory::Text(const Line& line) const {
    if (line.kind == Kind::Event) {
        return QString::fromStdString(FormatEventLogLine(line.event));
    }
    const QString when = QTime::fromMSecsSinceStartOfDay(static_cast<int>(line.event.code) * 1000)
                             .toString(QStringLiteral("HH:mm:ss"));
    if (line.kind == Kind::Message) {
        const auto number = static_cast<std::uint16_t>(line.message - firstMessage_);
        return when + QStringLiteral("   ") + messages_[number];
    }
    if (line.kind == Kind::ConnectionLost) {
        //% "Connection to the service lost"
        return when + QStringLiteral("   ") + qtTrId("main.connection-to-the-service-lost");
    }
    //% "Connection to the service re-established"
    const QString text = qtTrId("main.connection-to-the-service-re-establi");
    return when + QStringLiteral("   ") + text;
}

}  // namespace veltrix
