#pragma once
// The vocabulary the session and the user interface share: how serious a message is,
// the system's power events, what a rebuild step shows, and the state of the session.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "model/object_table.h"
#include "model/records.h"
#include "protocol/protocol.h"

namespace veltrix {

// How serious a popup, a balloon or a message box is.
enum class Severity { Information, Warning, Error };

// The system is about to sleep, or has woken up.
enum class PowerEvent { Suspend, Resume };

// A copy of the session's object table at one moment, shared read-only with the window.
using TableSnapshot = std::shared_ptr<const ObjectTable>;

// The event-log line of an event: "hh:mm:ss,ms   C c, Dev port, Dri drive, : code".
std::string FormatEventLogLine(const EventRecord& event);

// One controller event as the poll cycle logged it: the record, its event-log line,
// and the severity and popup level of its message (Information and 0 for an event
// without one).
struct LoggedEvent {
    EventRecord record = {};
    std::string line = {};
    Severity severity = Severity::Information;
    int level = 0;
};

// Where the reading of the controllers after the login is: the controller count and
// the service's settings (Start), a controller's own record, or one of its drives or
// RAID sets. Numbers count from 0.
struct EnumerationStep {
    enum class Part { Start, Controller, Drive, Set };
    Part part = Part::Start;
    int controller = 0;
    int controllers = 0;
    int index = 0;  // of the drive or set
    int count = 0;  // drives or sets of the controller
};

// What one rebuild step of the poll cycle shows for a controller.
struct RebuildView {
    int controller = 0;
    // A rebuild runs on a set of this controller that the session knows.
    bool active = false;
    // Show all ten rebuild controls (the step found the rebuild new or selected).
    bool showControls = false;
    // The figures for the progress display; only meaningful while active.
    std::string percentText;
    int percent = 0;
    std::string speedText;
    // The remaining time; nothing keeps the text shown before.
    std::optional<std::string> durationText;
};

// Timers the session runs.
enum class SessionTimer : std::uint8_t {
    Poll,       // 500 ms once after connect, then 5000 ms
    MailOnly,   // 4000 ms while the service reports no controller
    Reconnect,  // 3000 / 10000 / 15000 ms
};

// What the session keeps about the connection; owned by the session's thread.
struct SessionState {
    bool isConnected = false;
    bool justConnected = false;
    std::uint32_t controllerCount = 0;
    std::int32_t serviceVersion = 0;
    ServiceConfig serviceConfig;  // its four version words, cleared by Disconnect
    // Poll cycles that got past the rebuild phase; 0 after connect and after a cycle
    // in which the current controller's rebuild made no progress.
    std::uint32_t pollCount = 0;
    bool changesPending = false;
    bool deviceListDirty = false;
    bool setListDirty = false;
    // Per controller: percent / 5 and the rebuild position at the last step.
    std::array<std::uint32_t, ObjectTable::kMaxControllers> lastPercentStep{};
    std::array<std::uint64_t, ObjectTable::kMaxControllers> lastPosition{};
    bool quietDisconnect = false;
    bool keepDisplay = false;
    bool pipeClosedBySuspend = false;
    bool wasConnectedBeforeSuspend = false;
    // What the window shows, as it last told the session: the controller on screen,
    // the selected RAID set's index (-1 for none) and the priority slider's position.
    int currentController = 0;
    int selectedSetIndex = -1;
    int sliderPosition = 0;
    bool autoConnect = false;
};

}  // namespace veltrix
