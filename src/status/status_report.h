#pragma once
// What one veltrix-status run found out: either the reason it got no status, or the
// service's version, the table of controllers, drives and RAID sets as the main
// window enumerates them, and each controller's rebuild status asked once.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/object_table.h"
#include "model/records.h"
#include "protocol/protocol.h"

namespace veltrix::status {

// Why a run has no status. Each has a stable name for the machine formats.
enum class Failure {
    None,
    Password,       // no password could be had
    Unreachable,    // no service at that host (no pipe, unknown host, refused)
    Busy,           // the service serves another client
    ConnectFailed,  // the pipe was there but could not be opened
    LoginRefused,   // wrong password
    Timeout,        // the run's time-out ran out
    ChannelError,   // a write or read failed after the connection was made
    Protocol,       // a reply that cannot be a valid answer
};

// "busy", "login_refused", ... ("" for None).
const char* FailureName(Failure failure);
// A few words for people: "service busy with another client", ...
const char* FailureSummary(Failure failure);

// A rebuild that runs on a set, with what one question and the last run's sample
// (when there is one) tell about it.
struct SetRebuild {
    int setIndex = -1;
    // Rebuild position in sectors, scaled as the program scales it for an incomplete set.
    std::uint64_t position = 0;
    // The program's percentage and its text ("-?-" when it cannot be worked out).
    std::optional<std::uint32_t> percent;
    std::string percentText;
    // Position over capacity, between 0 and 1; none when the percentage is unknown.
    std::optional<double> progressRatio;
    // From the previous run's sample of the same rebuild: none without one.
    std::optional<double> speedBytesPerSecond;
    std::optional<double> remainingSeconds;
};

struct ControllerRebuild {
    RebuildStatus raw;
    // The set the rebuild runs on; none when no rebuild runs or the service names a
    // set this controller does not have.
    std::optional<SetRebuild> set;
};

struct StatusReport {
    std::string host;
    Failure failure = Failure::None;
    // What went wrong, in the service's and the system's words (one line).
    std::string failureMessage;

    ServiceConfig serviceConfig;
    std::uint32_t serviceVersion = 0;
    // GET_CONTROLLER_COUNT as the service answered it; the table holds at most 8.
    std::uint32_t controllersReported = 0;
    int controllerCount = 0;
    ObjectTable table;
    std::array<ControllerRebuild, ObjectTable::kMaxControllers> rebuilds{};

    bool Ok() const { return failure == Failure::None; }
};

// Matches each controller's running rebuild to its set by port, as the poll cycle
// does, and works out position, percentage and progress ratio.
void ResolveRebuilds(StatusReport& report);

// Whether the scan found the drive / set the controller counts (an entry the scan did
// not find keeps the values of a new object).
bool IsFound(const Device& device);
bool IsFound(const RaidSet& set);
// The drives and sets of a controller the scan found, in table order, with their index.
template <typename T>
struct Indexed {
    int index;
    const T* object;
};
std::vector<Indexed<Device>> FoundDrives(const ObjectTable& table, int controller);
std::vector<Indexed<RaidSet>> FoundSets(const ObjectTable& table, int controller);
// How many drives / sets the controller says it has (as far as the table holds them).
int CountedDrives(const Controller& controller);
int CountedSets(const Controller& controller);

// A PCI vendor or device id as every output writes it as text: "0x1095".
std::string HexId(std::uint16_t id);

// The host as the metrics label it: the machine's own name for the local service (".").
std::string MachineLabel(const std::string& host);

// Text from the service made safe for every output: printable ASCII kept, every
// other byte shown as '?'; blanks at both ends removed when `trim`.
std::string Printable(std::string_view text, bool trim = true);

// What a drive's port state says about it, by the rules of its status text.
enum class PortRole { NoState, None, Current, Rebuild, Striping, Dropped, Removed, Orphaned };
PortRole ClassifyPortState(std::uint32_t portState);
// Dropped, removed or orphaned: the drive is gone from its set.
bool IsGone(PortRole role);

// What a drive's SMART flags say: bit 2 "Ok" wins over bit 3 "Critical".
enum class SmartState { Ok, Critical, Unknown };
SmartState ClassifySmart(std::uint8_t smartFlags);

// "50%", with the speed and the time left when known: "50%, 150.00 MB/s, 2 Min. left"
// (the program's own speed and duration texts).
std::string RebuildSummary(const SetRebuild& rebuild);

// RAID set state bits that make a set degraded: reduced (bit 4), broken (bit 5).
inline constexpr std::uint8_t kDegradedStateBits = 0x30;

// Where the time of a run went, in milliseconds from its start.
struct RunTimings {
    double connected = 0;   // login accepted
    double enumerated = 0;  // service version and the table read
    double rebuilds = 0;    // the rebuild status of every controller read
    double finished = 0;    // logged off, the session ended
};

}  // namespace veltrix::status
