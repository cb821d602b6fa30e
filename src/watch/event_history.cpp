#include "watch/event_history.h"

#include <QTime>
#include <algorithm>

namespace veltrix {

namespace {

// The part of a line after its time.
constexpr QLatin1StringView kAfterTime("   ");

}  // namespace

EventHistory::EventHistory(QObject* parent, int limit)
    : QAbstractListModel(parent), limit_(static_cast<std::size_t>(std::max(limit, 1))) {}

void EventHistory::Append(const EventRecord& event, Severity severity) {
    Push({.event = event, .kind = Kind::Event, .severity = static_cast<std::uint8_t>(severity)});
}

void EventHistory::AppendConnectionNote(bool lost, const QDateTime& when) {
    Push(NoteLine(lost ? Kind::ConnectionLost : Kind::ConnectionRegained,
                  lost ? Severity::Warning : Severity::Information, when));
}

void EventHistory::AppendMessage(const QString& text, const QDateTime& when) {
    Line line = NoteLine(Kind::Message, Severity::Warning, when);
    line.message = static_cast<std::uint16_t>(firstMessage_ + messages_.size());
    messages_.push_back(text);
    Push(line);
}

EventHistory::Line EventHistory::NoteLine(Kind kind, Severity severity, const QDateTime& when) {
    Line line{.event = {}, .kind = kind, .severity = static_cast<std::uint8_t>(severity)};
    const QDate date = when.date();
    const QTime time = when.time();
    line.event.time = {.year = static_cast<std::uint16_t>(date.year()),
                       .month = static_cast<std::uint16_t>(date.month()),
                       .dayOfWeek = static_cast<std::uint16_t>(date.dayOfWeek() % 7),
                       .day = static_cast<std::uint16_t>(date.day()),
                       .hour = static_cast<std::uint16_t>(time.hour()),
                       .minute = static_cast<std::uint16_t>(time.minute()),
                       .second = static_cast<std::uint16_t>(time.second()),
                       .milliseconds = static_cast<std::uint16_t>(time.msec())};
    return line;
}

void EventHistory::Push(const Line& line) {
    if (count_ == limit_) {
        // The oldest row goes first, so that the new one is inserted as the last row.
        beginRemoveRows({}, 0, 0);
        if (At(0).kind == Kind::Message) {
            messages_.pop_front();
            ++firstMessage_;
        }
        first_ = (first_ + 1) % limit_;
        --count_;
        endRemoveRows();
    }
    const int row = static_cast<int>(count_);
    beginInsertRows({}, row, row);
    if (ring_.empty()) {
        ring_.reserve(limit_);  // once, all of it: a growing vector would keep spare room
    }
    if (ring_.size() < limit_) {
        ring_.push_back(line);
    } else {
        ring_[(first_ + count_) % limit_] = line;
    }
    ++count_;
    endInsertRows();
}

void EventHistory::Clear() {
    beginResetModel();
    ring_.clear();
    ring_.shrink_to_fit();
    first_ = 0;
    count_ = 0;
    messages_.clear();
    firstMessage_ = 0;
    endResetModel();
}

int EventHistory::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(count_);
}

const EventHistory::Line& EventHistory::At(int row) const {
    return ring_[(first_ + static_cast<std::size_t>(row)) % ring_.size()];
}

QVariant EventHistory::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const Line& line = At(index.row());
    if (role == Qt::DisplayRole) {
        return Text(line);
    }
    if (role >= static_cast<int>(EventRole::Time) && role <= static_cast<int>(EventRole::Text)) {
        return RoleData(line, static_cast<EventRole>(role));
    }
    return {};
}

QVariant EventHistory::RoleData(const Line& line, EventRole role) const {
    switch (role) {
        case EventRole::Time: {
            const SystemTime& t = line.event.time;
            return QDateTime(QDate(t.year, t.month, t.day),
                             QTime(t.hour, t.minute, t.second, t.milliseconds));
        }
        case EventRole::Severity:
            return static_cast<int>(line.severity);
        case EventRole::Text: {
            const QString text = Text(line);
            return text.mid(text.indexOf(kAfterTime) + kAfterTime.size());
        }
    }
    return {};
}

Severity EventHistory::SeverityAt(int row) const {
    return static_cast<Severity>(At(row).severity);
}

std::int64_t EventHistory::TimeKeyAt(int row) const {
    const SystemTime& t = At(row).event.time;
    // Each field in as many bits as its largest sensible value needs: 52 in all.
    struct Field {
        std::uint16_t value;
        int bits;
    };
    std::int64_t key = 0;
    for (const Field f : {Field{t.year, 16}, Field{t.month, 4}, Field{t.day, 5}, Field{t.hour, 5},
                          Field{t.minute, 6}, Field{t.second, 6}, Field{t.milliseconds, 10}}) {
        const std::int64_t most = (std::int64_t{1} << f.bits) - 1;
        key = (key << f.bits) | std::min<std::int64_t>(f.value, most);
    }
    return key;
}

QString EventHistory::LastLine() const {
    return count_ == 0 ? QString() : Text(At(rowCount() - 1));
}

QString EventHistory::Text(const Line& line) const {
    if (line.kind == Kind::Event) {
        return QString::fromStdString(FormatEventLogLine(line.event));
    }
    const SystemTime& t = line.event.time;
    const QString when = QTime(t.hour, t.minute, t.second).toString(QStringLiteral("HH:mm:ss"));
    if (line.kind == Kind::Message) {
        const auto number = static_cast<std::uint16_t>(line.message - firstMessage_);
        return when + kAfterTime + messages_[number];
    }
    if (line.kind == Kind::ConnectionLost) {
        //% "Connection to the service lost"
        return when + kAfterTime + qtTrId("main.connection-to-the-service-lost");
    }
    //% "Connection to the service re-established"
    const QString text = qtTrId("main.connection-to-the-service-re-establi");
    return when + kAfterTime + text;
}

}  // namespace veltrix
