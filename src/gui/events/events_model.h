#pragma once
// Every watched host's event lines as one table: Time, Host, Severity, Text, ordered by
// the lines' date and time (a host's lines of the same moment in their order), newest
// last. The model reads the hosts' histories and never copies a line: it keeps 24
// bytes a line, where to find it, and follows each history's appended, dropped and
// cleared lines as they come, one row at a time.

#include <QAbstractTableModel>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

#include "session/session_types.h"

namespace veltrix {

class EventHistory;

enum class EventsColumn { Time, Host, Severity, Text };
inline constexpr int kEventsColumns = 4;

// The text of a severity as the events view shows it.
QString SeverityText(Severity severity);

class EventsModel : public QAbstractTableModel {
  public:
    explicit EventsModel(QObject* parent = nullptr);
    ~EventsModel() override;

    // Shows the lines of `history` (which must stay until RemoveHost or its end) as the
    // host `name`'s; a history already shown is only renamed.
    void AddHost(const QString& name, EventHistory& history);
    void RemoveHost(const EventHistory& history);
    void RenameHost(const EventHistory& history, const QString& name);

    // The hosts shown, in the order they were added.
    std::vector<const EventHistory*> Hosts() const;
    QString HostName(const EventHistory& history) const;
    // The host and severity of a row, without a QVariant.
    const EventHistory* HistoryAt(int row) const;
    Severity SeverityAt(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

  private:
    struct Host;
    // A line: its time key, its host's slot and its number in that host (rows of a
    // history are numbers from the host's first kept one). Rows are ordered by all three.
    struct Entry {
        std::int64_t key = 0;
        std::uint32_t host = 0;
        std::uint64_t number = 0;
        auto operator<=>(const Entry&) const = default;
    };

    Host* Find(const EventHistory& history) const;
    void Watch(Host& host);
    void Drop(std::uint32_t slot);
    Entry EntryOf(const Host& host, int row) const;
    // The history's rows [first, last] were appended at its end.
    void OnAppended(Host& host, int first, int last);
    // The history's rows [first, last] go: its oldest ones.
    void OnDropping(Host& host, int first, int last);
    // The history changed as a whole: its rows are read again.
    void Reread(Host& host);
    // Merges the rows of `host` into the entries (the model is being reset).
    void Merge(Host& host);
    const Host& HostOf(const Entry& entry) const;
    int SourceRow(const Entry& entry) const;

    std::vector<std::unique_ptr<Host>> hosts_;  // by slot; a removed host leaves null
    std::vector<Entry> entries_;
};

}  // namespace veltrix
