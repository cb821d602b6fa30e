#pragma once
// The request functions: each carries out one whole exchange with the service over
// the shared message buffer, stores what the reply says into the status model, and
// reports a failed write or read with a message that ends in its own error number.

#include <string>

#include "model/object_table.h"
#include "model/records.h"
#include "protocol/protocol.h"
#include "session/service_link.h"
#include "session/user_interface.h"

namespace veltrix {

// `text` followed by "\nError <mark><prefix>-<site>", e.g. "...\nError #KGD-3562".
std::string SiteText(const std::string& text, int site, const char* mark = "#",
                     const char* prefix = "KGD");
// A resource text followed by "\nError #<prefix>-<site>".
std::string ErrorText(int stringId, int site, const char* prefix = "KGD");
// The system's text of a channel error as the first line of a message (empty when it
// has none).
std::string SystemTextLine(const ChannelError& e);

class StatusRequests {
  public:
    StatusRequests(ServiceLink& link, ObjectTable& table, UserInterface& ui)
        : link_(link), table_(table), ui_(ui) {}

    // GET_CONTROLLER_INFO then GET_CONTROLLER_FLAG; fills controller `ctl`.
    bool RequestControllerInfo(int ctl);
    // Scans the controller's addresses for its n-th present drive and fills that device.
    bool RequestDevice(int ctl, int n);
    // Scans for the s-th valid set and fills it, with the member value of its first drive.
    bool RequestRaidSet(int ctl, int s);
    // Takes `pipeBusy`; GET_SERVICE_CONFIG into `out` (how much by the version rule).
    bool RequestServiceConfig(ServiceConfig& out);
    // Takes `pipeBusy`; SET_HOST_LOGFILE with all 261 bytes. True when written.
    bool SendHostLogFile(const ServiceConfig& config);
    // Takes `pipeBusy`; SET_SERVICE_PASSWORD. True when written (the caller then shows
    // the new password in the main window).
    bool SendServicePassword(const std::string& password);
    // GET_LOG_ENTRY, waiting for the reply up to the link's reply time-out. An entry with
    // controller 0xFE when no reply came or the exchange failed.
    LogEntry RequestLogEntry();

    // Reads controller `ctl` again with its drives and sets, as an event asks for.
    // Stops at the first channel failure (its message shown) and then leaves the
    // table as it was. False for that, and for a number outside the table.
    bool ReadController(int ctl);

  private:
    // Writes the request in the shared buffer; reads one reply into it.
    void WriteRequest();
    void ReadReply();
    // Write / read with the message box of a failed step; false when it failed.
    bool SendOrShow(int site);
    bool ReceiveOrShow(int site);
    // Message boxes of a failed step: the system text first where the caller shows it.
    void ShowFailure(int stringId, int site);
    void ShowFailureWithSystemText(const ChannelError& e, int stringId, int site);

    // The drive or set scan: asks every address in order until `onRecord` says it has
    // found what it looks for (true), or the addresses run out (false).
    template <typename OnRecord>
    bool Scan(int ctl, std::uint32_t command, int writeSite, int readSite, OnRecord&& onRecord);

    ServiceLink& link_;
    ObjectTable& table_;
    UserInterface& ui_;
};

}  // namespace veltrix
