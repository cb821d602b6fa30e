#include "gui/shell/event_journal.h"

#include <syslog.h>
#include <systemd/sd-journal.h>

#include "session/service_session.h"

namespace veltrix::shell {

namespace {

constexpr char kIdentifier[] = "SYSLOG_IDENTIFIER=Veltrix";
// Information of this popup level and above is worth a notice.
constexpr int kNoticeLevel = 2;

int PriorityOf(const LoggedEvent& event) {
    switch (event.severity) {
        case Severity::Error:
            return LOG_ERR;
        case Severity::Warning:
            return LOG_WARNING;
        case Severity::Information:
            break;
    }
    return event.level >= kNoticeLevel ? LOG_NOTICE : LOG_INFO;
}

}  // namespace

JournalEntry JournalEntryOf(const LoggedEvent& event) {
    return {.message = event.line,
            .priority = PriorityOf(event),
            .controller = event.record.controller,
            .port = event.record.port,
            .drive = event.record.drive,
            .code = event.record.code};
}

void SystemJournal::Send(const JournalEntry& entry) {
    // The result is left alone: a system without a journal just keeps no history.
    // With several hosts the line starts with its host's name, as `journalctl` shows
    // only the line, and the host is a field of its own.
    if (entry.host.empty()) {
        sd_journal_send("MESSAGE=%s", entry.message.c_str(), "PRIORITY=%d", entry.priority,
                        kIdentifier, "VELTRIX_CONTROLLER=%d", entry.controller, "VELTRIX_PORT=%d",
                        entry.port, "VELTRIX_DRIVE=%d", entry.drive, "VELTRIX_CODE=%u", entry.code,
                        nullptr);
        return;
    }
    const std::string message = entry.host + ": " + entry.message;
    sd_journal_send("MESSAGE=%s", message.c_str(), "PRIORITY=%d", entry.priority, kIdentifier,
                    "VELTRIX_HOST=%s", entry.host.c_str(), "VELTRIX_CONTROLLER=%d",
                    entry.controller, "VELTRIX_PORT=%d", entry.port, "VELTRIX_DRIVE=%d",
                    entry.drive, "VELTRIX_CODE=%u", entry.code, nullptr);
}

void JournalHostName::Set(const std::string& name) {
    const std::lock_guard lock(mutex_);
    name_ = name;
}

std::string JournalHostName::Get() const {
    const std::lock_guard lock(mutex_);
    return name_;
}

void SendEventsToJournal(ServiceSession& session, EventJournal& journal,
                         std::shared_ptr<const JournalHostName> host) {
    QObject::connect(
        &session, &ServiceSession::EventLogged, &session,
        [&journal, host = std::move(host)](const LoggedEvent& event) {
            JournalEntry entry = JournalEntryOf(event);
            if (host != nullptr) {
                entry.host = host->Get();
            }
            journal.Send(entry);
        },
        Qt::DirectConnection);
}

}  // namespace veltrix::shell
