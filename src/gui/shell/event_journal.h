#pragma once
// The controller events in the system journal: every event-log line goes there as
// well, under the identifier "Veltrix", with a priority from how serious the event is
// and its controller, port, drive and code as fields of their own, so that
// `journalctl -t Veltrix` shows the history after the window is gone. The program
// writes through the EventJournal interface; tests give it one that records.

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "session/session_types.h"

namespace veltrix {
class ServiceSession;
}

namespace veltrix::shell {

// One journal entry as it is sent.
struct JournalEntry {
    std::string message = {};  // the event-log line
    int priority = 6;          // syslog priority: 3 error, 4 warning, 5 notice, 6 informational
    int controller = 0;
    int port = 0;
    int drive = 0;
    std::uint32_t code = 0;
    // The host whose event it is, while several are watched; empty with one.
    std::string host = {};

    bool operator==(const JournalEntry&) const = default;
};

// The entry for one logged event: errors 3, warnings 4, information that pops up from
// level 2 (a status change, a finished rebuild) 5, any other event 6.
JournalEntry JournalEntryOf(const LoggedEvent& event);

class EventJournal {
  public:
    virtual ~EventJournal() = default;
    // Called on the session's thread; must not wait for the GUI thread.
    virtual void Send(const JournalEntry& entry) = 0;
};

// The system journal through libsystemd. Without a journal (no journald socket)
// nothing happens and nothing is reported.
class SystemJournal : public EventJournal {
  public:
    void Send(const JournalEntry& entry) override;
};

// The name a host's entries carry. The session's thread reads it while the window
// renames the host, so it is read and set under a lock.
class JournalHostName {
  public:
    void Set(const std::string& name);
    std::string Get() const;

  private:
    mutable std::mutex mutex_;
    std::string name_;
};

// From now on every event `session` logs goes to `journal`, on the session's thread,
// named by `host` when it names one; `journal` must outlive the session.
void SendEventsToJournal(ServiceSession& session, EventJournal& journal,
                         std::shared_ptr<const JournalHostName> host = nullptr);

}  // namespace veltrix::shell
