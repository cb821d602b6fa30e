#pragma once
// The error numbers of the session's messages, one table per conversation. Each number
// names one failing step, so that a user's report points at the exact place.

namespace veltrix {

// Connect and login ("Error #KGD-...").
namespace connect_site {
inline constexpr int kNotAvailable = 715;
inline constexpr int kOpen = 730;
inline constexpr int kLoginWrite = 748;
inline constexpr int kLoginRead = 761;
inline constexpr int kCountWrite = 811;
inline constexpr int kCountRead = 829;
}  // namespace connect_site

// The poll cycle, the mail-only poll and the priority command.
namespace poll_site {
inline constexpr int kFlush = 1613;
inline constexpr int kMailOnlyWrite = 1625;
inline constexpr int kRebuildWrite = 1637;
inline constexpr int kRebuildRead = 1664;
inline constexpr int kRebuildWait = 1668;
inline constexpr int kChangeFlagWrite = 1808;
inline constexpr int kChangeFlagRead = 1833;
inline constexpr int kEventWrite = 1860;
inline constexpr int kEventRead = 1885;
// The mail status: in the mail-only poll, and in the full cycle.
inline constexpr int kMailOnlyStatusWrite = 1646;
inline constexpr int kMailOnlyStatusRead = 1671;
inline constexpr int kMailOnlyStatusYear = 1685;
inline constexpr int kMailStatusWrite = 2161;
inline constexpr int kMailStatusRead = 2186;
inline constexpr int kMailStatusYear = 2200;
inline constexpr int kPriorityWrite = 3488;
}  // namespace poll_site

// The status requests.
namespace request_site {
inline constexpr int kPasswordWrite = 3392;
inline constexpr int kHostLogFileWrite = 3419;
inline constexpr int kServiceConfigWrite = 3443;
inline constexpr int kServiceConfigRead = 3457;
inline constexpr int kControllerInfoWrite = 3562;
inline constexpr int kControllerInfoRead = 3577;
inline constexpr int kControllerFlagWrite = 3633;
inline constexpr int kControllerFlagRead = 3647;
inline constexpr int kDeviceWrite = 3689;
inline constexpr int kDeviceRead = 3703;
inline constexpr int kRaidSetWrite = 3798;
inline constexpr int kRaidSetRead = 3810;
inline constexpr int kLogEntryWrite = 3994;
inline constexpr int kLogEntryRead = 4014;
}  // namespace request_site

}  // namespace veltrix
