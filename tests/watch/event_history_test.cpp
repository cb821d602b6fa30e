// A host's event history keeps the newest lines only, in order.

#include <gtest/gtest.h>

#include "session/session_types.h"
#include "watch/event_history.h"

namespace veltrix {
namespace {

TEST(EventHistoryTest, KeepsTheNewestLinesInOrder) {
    struct Case {
        int limit;
        int added;
    };
    for (const Case c : {Case{3, 2}, Case{3, 3}, Case{3, 8}, Case{1, 4}, Case{0, 2}}) {
        EventHistory list(nullptr, c.limit);
        for (int i = 0; i < c.added; ++i) {
            list.Append({.time = {.hour = 1}, .port = 2, .code = static_cast<std::uint32_t>(i)});
        }
        const int kept = std::min(c.added, std::max(c.limit, 1));
        ASSERT_EQ(list.rowCount(), kept) << c.limit << " " << c.added;
        EXPECT_EQ(list.LastLine(), kept > 0 ? list.index(kept - 1).data().toString() : QString());
        for (int row = 0; row < kept; ++row) {
            const QString line = list.index(row).data().toString();
            EXPECT_EQ(line.section(QLatin1Char(':'), -1).toInt(), c.added - kept + row);
            EXPECT_EQ(
                line.toStdString(),
                FormatEventLogLine({.time = {.hour = 1},
                                    .port = 2,
                                    .code = static_cast<std::uint32_t>(c.added - kept + row)}));
        }
    }
}

// A message's text stays with its line while older lines, messages among them, leave.
TEST(EventHistoryTest, MessagesKeepTheirTextsAsOlderLinesLeave) {
    EventHistory list(nullptr, 3);
    for (int i = 0; i < 7; ++i) {
        if (i % 3 == 1) {
            list.Append({.time = {}, .code = static_cast<std::uint32_t>(i)});
        } else {
            list.AppendMessage(QString::number(i), QDateTime());
        }
    }
    for (int row = 0; row < 3; ++row) {
        const QString line = list.index(row).data().toString();
        EXPECT_EQ(line.section(QLatin1Char(' '), -1), QString::number(row + 4))
            << line.toStdString();
    }
}

}  // namespace
}  // namespace veltrix
