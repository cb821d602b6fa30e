#pragma once
// A host's event history: one line per controller event, the newest lines only;
// without a bound it would grow for as long as the program runs. The window's hidden
// event log is a view of it; the whole history goes to the system journal.
//
// A line is kept as its event record (28 bytes, with the note's mark and severity 32)
// in a ring and formatted only when a view asks for it, so a full log of 10,000 lines
// takes about 320 KB. Besides the service's events the log notes when the connection
// was lost and regained.

#include <QAbstractListModel>
#include <QDateTime>
#include <cstdint>
#include <deque>
#include <vector>

#include "model/records.h"
#include "session/session_types.h"

namespace veltrix {

inline constexpr int kEventLogLines = 10000;

// What a line gives besides its text (Qt::DisplayRole): its date and time (a QDateTime,
// invalid when the record's fields make none), its Severity (as an int) and its text
// without the time in front.
enum class EventRole : int { Time = Qt::UserRole + 1, Severity, Text };

class EventHistory : public QAbstractListModel {
  public:
    // Keeps at most `limit` lines (at least 1).
    explicit EventHistory(QObject* parent = nullptr, int limit = kEventLogLines);

    // Appends the event's line, dropping the oldest one beyond the limit.
    void Append(const EventRecord& event, Severity severity = Severity::Information);
    // Appends the note that the connection was lost (a warning) or regained at `when`
    // (local time).
    void AppendConnectionNote(bool lost, const QDateTime& when);
    // Appends a message of the host's (one it did not show as a box) at `when`, a
    // warning.
    void AppendMessage(const QString& text, const QDateTime& when);
    void Clear();
    // The text of the newest line; empty when there is none.
    QString LastLine() const;

    // For a view that merges histories, without a QVariant per question: the line's
    // severity, and a number that orders lines by their date and time (each field
    // clamped to its width, so a record's nonsense still orders).
    Severity SeverityAt(int row) const;
    std::int64_t TimeKeyAt(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

  private:
    enum class Kind : std::uint8_t { Event, ConnectionLost, ConnectionRegained, Message };
    struct Line {
        EventRecord event;  // for a note: only its time
        Kind kind = Kind::Event;
        std::uint8_t severity = 0;  // a Severity, in a byte so that a line stays 32 bytes
        // For a message: its number (modulo 2^16) among the messages' texts.
        std::uint16_t message = 0;
    };

    static Line NoteLine(Kind kind, Severity severity, const QDateTime& when);
    void Push(const Line& line);
    const Line& At(int row) const;
    QString Text(const Line& line) const;
    QVariant RoleData(const Line& line, EventRole role) const;

    std::vector<Line> ring_;
    std::size_t first_ = 0;  // the oldest line's place in ring_ once it is full
    std::size_t count_ = 0;  // the rows shown: ring_'s lines but while the oldest goes
    std::size_t limit_;
    // The texts of the message lines in the ring, oldest first, and the number of the
    // oldest; messages are rare, so the ring's lines stay small.
    std::deque<QString> messages_;
    std::uint16_t firstMessage_ = 0;
};

}  // namespace veltrix
