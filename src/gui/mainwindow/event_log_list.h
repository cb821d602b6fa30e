#pragma once
// The window's event log: one line per controller event, in a list the window keeps
// hidden. It holds the newest lines only; without a bound it would grow for as long
// as the program runs. The whole history goes to the system journal.

#include <QString>

class QListWidget;

namespace veltrix {

inline constexpr int kEventLogLines = 10000;

// Appends `line`, dropping the oldest lines beyond `limit` (at least 1).
void AppendEventLogLine(QListWidget& list, const QString& line, int limit = kEventLogLines);

}  // namespace veltrix
