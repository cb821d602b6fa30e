#pragma once
// Resource numbers of the main window: its dialog and menu, the ids of its controls,
// menu commands, window timers and icons.

namespace veltrix {

inline constexpr int kMainDialogId = 102;
inline constexpr int kMainMenuId = 141;

namespace control_id {
// Connection row.
inline constexpr int kConnect = 1001;     // default button
inline constexpr int kDisconnect = 1003;  // starts disabled
inline constexpr int kHost = 1004;
inline constexpr int kPassword = 1058;  // password-style edit
inline constexpr int kEnde = 1;         // hidden "ENDE" button: the Exit path
// When Autoconnect tries again after a lost connection; hidden while none waits.
inline constexpr int kReconnectStatus = 1096;

// One tab per controller.
inline constexpr int kControllerTabs = 1066;

// Controller area; the PM row starts hidden.
inline constexpr int kControllerNumber = 1018;
inline constexpr int kDriverVersion = 1006;
inline constexpr int kBiosVersion = 1093;
inline constexpr int kChipset = 1007;
inline constexpr int kRaid5Support = 1011;
inline constexpr int kJbodSupport = 1013;
inline constexpr int kPmSupport = 1012;
inline constexpr int kPmSupportLabel = 1094;

// Lists: drives (tab stops 32, 180, 215), RAID sets (32, 80, 129, 180, 215), and the
// event log that is never shown.
inline constexpr int kDeviceList = 1065;
inline constexpr int kSetList = 1067;
inline constexpr int kEventLog = 1070;

// Information group with its seven caption / value rows; rows 1 and 6 start hidden.
inline constexpr int kInfoGroup = 1080;
inline constexpr int kRow1Label = 1081, kRow1Value = 1039;
inline constexpr int kRow2Label = 1082, kRow2Value = 1040;  // "Port:"
inline constexpr int kRow3Label = 1083, kRow3Value = 1041;
inline constexpr int kRow4Label = 1084, kRow4Value = 1042;  // "Capacity:"
inline constexpr int kRow5Label = 1085, kRow5Value = 1043;
inline constexpr int kRow6Label = 1086, kRow6Value = 1044;
inline constexpr int kRow7Label = 1087, kRow7Value = 1046;

// Rebuild controls: all start hidden, all but the progress bar start disabled.
inline constexpr int kPriority = 1056;  // trackbar 0..100
inline constexpr int kPriorityLow = 1092;
inline constexpr int kPriorityHigh = 1091;
inline constexpr int kPriorityCaption = 1095;
inline constexpr int kSpeedCaption = 1055;
inline constexpr int kSpeed = 1057;
inline constexpr int kDurationCaption = 1054;
inline constexpr int kDuration = 1052;
inline constexpr int kProgress = 1050;
inline constexpr int kPercent = 1051;

// The controller picture in the lower left corner.
inline constexpr int kDiagram = 1200;
// The watched hosts beside the body; hidden while only one is watched.
inline constexpr int kHostList = 1201;

// The summary popup's button that opens the events view.
inline constexpr int kPopupEvents = 1165;
}  // namespace control_id

namespace menu_id {
inline constexpr int kShowErrorLog = 32795;
inline constexpr int kEvents = 32804;  // every watched host's events
inline constexpr int kBiosUpdate = 32798;
inline constexpr int kExit = 32781;
inline constexpr int kPopup = 32785;
inline constexpr int kEmail = 32775;
inline constexpr int kLogFile = 32776;
inline constexpr int kPassword = 32796;
inline constexpr int kAutoconnect = 32799;
inline constexpr int kStartMinimized = 32800;
inline constexpr int kStartAtLogin = 32801;  // the XDG autostart entry
inline constexpr int kKeepPasswordInKeyring = 32802;
inline constexpr int kHosts = 32803;  // the hosts the window watches
inline constexpr int kAbout = 32778;
inline constexpr int kHelp = 32779;  // the user guide
}  // namespace menu_id

// The window's own timer; the poll, mail-only and reconnect timers are the session's.
namespace timer_id {
inline constexpr int kHide = 98;  // 200 ms once after start
}  // namespace timer_id

namespace icon_id {
inline constexpr int kApplication = 5;
inline constexpr int kConnected = 140;
inline constexpr int kDisconnected = 179;
// The notification area's icons while several hosts are watched: the worst of them.
inline constexpr int kHostsWell = 190;         // every host connected, every set well
inline constexpr int kHostsSetProblem = 191;   // a set reduced, broken or rebuilding
inline constexpr int kHostsUnreachable = 192;  // some host not connected
}  // namespace icon_id

}  // namespace veltrix
