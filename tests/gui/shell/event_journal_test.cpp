// The event log: every event goes to the system journal with its priority and fields.

#include "gui/shell/event_journal.h"
#include "gui/resources/main_window_ids.h"
#include "support/main_window_fixture.h"

namespace veltrix::testing {
namespace {

class RecordingJournal : public shell::EventJournal {
  public:
    void Send(const shell::JournalEntry& entry) override { entries.push_back(entry); }
    std::vector<shell::JournalEntry> entries;  // read after the session has settled
};

class EventJournalTest : public MainWindowTest {
  protected:
    RecordingJournal journal;  // outlives the window, which goes in TearDown
};

TEST_F(EventJournalTest, EveryEventGoesToTheJournalWithItsPriorityAndFields) {
    struct Case {
        sim::EventSpec event;
        int priority;
    };
    const std::vector<Case> cases = {
        {{.controller = 0, .port = 1, .drive = 1, .code = EVENT_DRIVE_LOST}, 3},
        {{.controller = 1, .port = 2, .code = 0x777}, 4},
        {{.controller = 0, .setIndex = 0, .code = EVENT_RAID_STATUS_CHANGED}, 5},
        {{.controller = 1, .port = 3, .drive = 2, .code = EVENT_DRIVE_FOUND}, 6},
        {{.controller = 0, .port = 4, .drive = 7, .code = EVENT_LOGGED_3}, 6},
    };
    Start(sim::TwoControllerScenario());
    shell::SendEventsToJournal(session(), journal);
    Connect();
    for (const Case& c : cases) {
        sim().PushEvent(c.event);
    }
    FirstTick();

    const auto log = driver().Rows(control_id::kEventLog);
    ASSERT_EQ(log.size(), cases.size());
    ASSERT_EQ(journal.entries.size(), cases.size());
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const sim::EventSpec& e = cases[i].event;
        EXPECT_EQ(journal.entries[i], (shell::JournalEntry{.message = log[i],
                                                           .priority = cases[i].priority,
                                                           .controller = e.controller,
                                                           .port = e.port,
                                                           .drive = e.drive,
                                                           .code = e.code}))
            << log[i];
    }
}

}  // namespace
}  // namespace veltrix::testing
