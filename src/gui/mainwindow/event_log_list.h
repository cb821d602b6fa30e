#pragma once
// The window's event log: one line per controller event, in a list the window keeps
// hidden. It holds the newest lines only; without a bound it would grow for as long
// as the program runs. The whole history goes to the system journal.
//
// A line is kept as its event record (28 bytes) in a ring and formatted only when a
// view asks for it, so a full log of 10,000 lines takes under 300 KB.

#include <QAbstractListModel>
#include <vector>

#include "model/records.h"

namespace veltrix {

inline constexpr int kEventLogLines = 10000;

class EventLogList : public QAbstractListModel {
  public:
    // Keeps at most `limit` lines (at least 1).
    explicit EventLogList(QObject* parent = nullptr, int limit = kEventLogLines);

    // Appends the event's line, dropping the oldest one beyond the limit.
    void Append(const EventRecord& event);
    void Clear();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

  private:
    const EventRecord& At(int row) const;
    std::vector<EventRecord> ring_;
    std::size_t first_ = 0;  // the oldest line's place in ring_ once it is full
    std::size_t limit_;
};

}  // namespace veltrix
