#pragma once
// A host's event history: one line per controller event, the newest lines only;
// without a bound it would grow for as long as the program runs. The window's hidden
// event log is a view of it; the whole history goes to the system journal.
//
// A line is kept as its event record (28 bytes, with the note's mark 32) in a ring and
// formatted only when a view asks for it, so a full log of 10,000 lines takes about
// 320 KB. Besides the service's events the log notes when the connection was lost and
// regained.

#include <QAbstractListModel>
#include <cstdint>
#include <deque>
#include <vector>

#include "model/records.h"

namespace veltrix {

inline constexpr int kEventLogLines = 10000;

class EventHistory : public QAbstractListModel {
  public:
    // Keeps at most `limit` lines (at least 1).
    explicit EventHistory(QObject* parent = nullptr, int limit = kEventLogLines);

    // Appends the event's line, dropping the oldest one beyond the limit.
    void Append(const EventRecord& event);
    // Appends the note that the connection was lost (or regained) at `secondsOfDay`.
    void AppendConnectionNote(bool lost, int secondsOfDay);
    // Appends a message of the host's (one it did not show as a box) at `secondsOfDay`.
    void AppendMessage(const QString& text, int secondsOfDay);
    void Clear();
    // The text of the newest line; empty when there is none.
    QString LastLine() const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

  private:
    enum class Kind : std::uint8_t { Event, ConnectionLost, ConnectionRegained, Message };
    struct Line {
        EventRecord event;  // for a note: its time of day in `event.code` (seconds)
        Kind kind = Kind::Event;
        // For a message: its number (modulo 2^16) among the messages' texts.
        std::uint16_t message = 0;
    };

    void Push(const Line& line);
    const Line& At(int row) const;
    QString Text(const Line& line) const;

    std::vector<Line> ring_;
    std::size_t first_ = 0;  // the oldest line's place in ring_ once it is full
    std::size_t limit_;
    // The texts of the message lines in the ring, oldest first, and the number of the
    // oldest; messages are rare, so the ring's lines stay small.
    std::deque<QString> messages_;
    std::uint16_t firstMessage_ = 0;
};

}  // namespace veltrix
