#include "gui/events/events_model.h"

#include <QDateTime>
#include <algorithm>

#include "watch/event_history.h"

namespace veltrix {

namespace {

QStringList Headers() {
    return {//% "Time"
            qtTrId("events.time"),
            //% "Host"
            qtTrId("events.host"),
            //% "Severity"
            qtTrId("events.severity"),
            //% "Text"
            qtTrId("events.text")};
}

// A line's time as the view shows it: date and time to the second; a record whose
// fields make no date shows the time its line starts with.
QString TimeText(const EventHistory& history, const QModelIndex& row) {
    const QDateTime when = history.data(row, static_cast<int>(EventRole::Time)).toDateTime();
    if (when.isValid()) {
        return when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    }
    return history.data(row, Qt::DisplayRole).toString().section(QLatin1Char(' '), 0, 0);
}

}  // namespace

QString SeverityText(Severity severity) {
    switch (severity) {
        case Severity::Error:
            //% "Error"
            return qtTrId("events.error");
        case Severity::Warning:
            //% "Warning"
            return qtTrId("events.warning");
        case Severity::Information:
            break;
    }
    //% "Information"
    return qtTrId("events.information");
}

struct EventsModel::Host {
    EventHistory* history = nullptr;
    QString name;
    std::uint32_t slot = 0;
    // The number of the history's row 0, and how many of its rows the entries hold.
    std::uint64_t firstNumber = 0;
    int rows = 0;
    // The context of the connections to the history: they end with it.
    std::unique_ptr<QObject> context = std::make_unique<QObject>();
};

EventsModel::EventsModel(QObject* parent) : QAbstractTableModel(parent) {}

EventsModel::~EventsModel() = default;

void EventsModel::AddHost(const QString& name, EventHistory& history) {
    if (Find(history) != nullptr) {
        RenameHost(history, name);
        return;
    }
    auto host = std::make_unique<Host>();
    host->history = &history;
    host->name = name;
    host->slot = static_cast<std::uint32_t>(hosts_.size());
    Host& added = *hosts_.emplace_back(std::move(host));
    beginResetModel();
    Merge(added);
    endResetModel();
    Watch(added);
}

void EventsModel::Watch(Host& host) {
    QObject* context = host.context.get();
    EventHistory* history = host.history;
    connect(history, &QAbstractItemModel::rowsInserted, context,
            [this, &host](const QModelIndex&, int first, int last) {
                first == host.rows ? OnAppended(host, first, last) : Reread(host);
            });
    connect(history, &QAbstractItemModel::rowsAboutToBeRemoved, context,
            [this, &host](const QModelIndex&, int first, int last) {
                if (first == 0) {
                    OnDropping(host, first, last);
                }
            });
    connect(history, &QAbstractItemModel::rowsRemoved, context,
            [this, &host](const QModelIndex&, int first, int last) {
                if (first != 0) {
                    Reread(host);
                    return;
                }
                host.firstNumber += static_cast<std::uint64_t>(last - first + 1);
                host.rows -= last - first + 1;
            });
    connect(history, &QAbstractItemModel::modelAboutToBeReset, context,
            [this] { beginResetModel(); });
    connect(history, &QAbstractItemModel::modelReset, context, [this, &host] {
        std::erase_if(entries_, [&host](const Entry& e) { return e.host == host.slot; });
        Merge(host);
        endResetModel();
    });
    // A history that goes before its host is removed takes its rows along.
    connect(history, &QObject::destroyed, context, [this, slot = host.slot] { Drop(slot); });
}

void EventsModel::RemoveHost(const EventHistory& history) {
    if (const Host* host = Find(history)) {
        Drop(host->slot);
    }
}

void EventsModel::Drop(std::uint32_t slot) {
    beginResetModel();
    std::erase_if(entries_, [slot](const Entry& e) { return e.host == slot; });
    hosts_[slot].reset();
    endResetModel();
}

void EventsModel::RenameHost(const EventHistory& history, const QString& name) {
    Host* host = Find(history);
    if (host == nullptr || host->name == name) {
        return;
    }
    host->name = name;
    if (!entries_.empty()) {
        const int column = static_cast<int>(EventsColumn::Host);
        emit dataChanged(index(0, column), index(rowCount() - 1, column), {Qt::DisplayRole});
    }
}

std::vector<const EventHistory*> EventsModel::Hosts() const {
    std::vector<const EventHistory*> shown;
    for (const auto& host : hosts_) {
        if (host) {
            shown.push_back(host->history);
        }
    }
    return shown;
}

QString EventsModel::HostName(const EventHistory& history) const {
    const Host* host = Find(history);
    return host != nullptr ? host->name : QString();
}

EventsModel::Host* EventsModel::Find(const EventHistory& history) const {
    for (const auto& host : hosts_) {
        if (host && host->history == &history) {
            return host.get();
        }
    }
    return nullptr;
}

EventsModel::Entry EventsModel::EntryOf(const Host& host, int row) const {
    return {.key = host.history->TimeKeyAt(row),
            .host = host.slot,
            .number = host.firstNumber + static_cast<std::uint64_t>(row)};
}

void EventsModel::OnAppended(Host& host, int first, int last) {
    for (int row = first; row <= last; ++row) {
        const Entry entry = EntryOf(host, row);
        // A line is the newest nearly always: the search ends at once.
        auto at = entries_.end();
        if (!entries_.empty() && entry < entries_.back()) {
            at = std::upper_bound(entries_.begin(), entries_.end(), entry);
        }
        const int place = static_cast<int>(at - entries_.begin());
        beginInsertRows({}, place, place);
        entries_.insert(at, entry);
        ++host.rows;
        endInsertRows();
    }
}

void EventsModel::OnDropping(Host& host, int first, int last) {
    for (int row = first; row <= last; ++row) {
        const Entry entry = EntryOf(host, row);
        const auto at = std::lower_bound(entries_.begin(), entries_.end(), entry);
        if (at == entries_.end() || *at != entry) {
            continue;
        }
        const int place = static_cast<int>(at - entries_.begin());
        beginRemoveRows({}, place, place);
        entries_.erase(at);
        endRemoveRows();
    }
}

void EventsModel::Reread(Host& host) {
    beginResetModel();
    std::erase_if(entries_, [&host](const Entry& e) { return e.host == host.slot; });
    Merge(host);
    endResetModel();
}

void EventsModel::Merge(Host& host) {
    // New numbers: no entry of the host's former rows can be taken for one of these.
    host.firstNumber += static_cast<std::uint64_t>(std::max(host.rows, 0));
    host.rows = host.history->rowCount();
    const auto middle = static_cast<std::ptrdiff_t>(entries_.size());
    entries_.reserve(entries_.size() + static_cast<std::size_t>(host.rows));
    for (int row = 0; row < host.rows; ++row) {
        entries_.push_back(EntryOf(host, row));
    }
    std::sort(entries_.begin() + middle, entries_.end());
    std::inplace_merge(entries_.begin(), entries_.begin() + middle, entries_.end());
}

const EventsModel::Host& EventsModel::HostOf(const Entry& entry) const {
    return *hosts_[entry.host];
}

int EventsModel::SourceRow(const Entry& entry) const {
    return static_cast<int>(entry.number - HostOf(entry).firstNumber);
}

const EventHistory* EventsModel::HistoryAt(int row) const {
    return HostOf(entries_[static_cast<std::size_t>(row)]).history;
}

Severity EventsModel::SeverityAt(int row) const {
    const Entry& entry = entries_[static_cast<std::size_t>(row)];
    return HostOf(entry).history->SeverityAt(SourceRow(entry));
}

int EventsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(entries_.size());
}

int EventsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kEventsColumns;
}

QVariant EventsModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const Entry& entry = entries_[static_cast<std::size_t>(index.row())];
    const Host& host = HostOf(entry);
    const QModelIndex line = host.history->index(SourceRow(entry));
    switch (static_cast<EventsColumn>(index.column())) {
        case EventsColumn::Time:
            return TimeText(*host.history, line);
        case EventsColumn::Host:
            return host.name;
        case EventsColumn::Severity:
            return SeverityText(host.history->SeverityAt(line.row()));
        case EventsColumn::Text:
            return host.history->data(line, static_cast<int>(EventRole::Text));
    }
    return {};
}

QVariant EventsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= kEventsColumns) {
        return {};
    }
    return Headers()[section];
}

}  // namespace veltrix
