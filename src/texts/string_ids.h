#pragma once
// Names of the string table ids.

namespace veltrix {
namespace ids {

inline constexpr int kAboutMenu = 101;              // "&About Veltrix..."
inline constexpr int kServiceNotAvailable = 102;    // "Kavotronik Service not available ?"
inline constexpr int kConnectionNotPossible = 103;  // open of the pipe failed
inline constexpr int kServiceReadError = 104;       // "Kavotronik Service Read Error!"
inline constexpr int kServiceWriteError = 105;      // "Kavotronik Service Write Error!"
inline constexpr int kYes = 106;
inline constexpr int kNo = 107;
inline constexpr int kUnknown = 108;
inline constexpr int kDriverNotFound = 109;  // no controllers enumerated
inline constexpr int kInvalidPassword = 110;
inline constexpr int kTipConnected = 111;           // tray tooltip after login
inline constexpr int kBalloonHostConnection = 112;  // balloon title of connect/disconnect
inline constexpr int kBalloonConnected = 113;
inline constexpr int kButtonConnected = 114;
inline constexpr int kButtonDisconnect = 115;
inline constexpr int kButtonConnect = 116;
inline constexpr int kButtonDisconnected = 117;
inline constexpr int kTipDisconnected = 118;
inline constexpr int kBalloonDisconnected = 119;
inline constexpr int kPasswordCorrupted = 120;
inline constexpr int kMailEntriesIncomplete = 121;
inline constexpr int kTipRebuildStatus = 122;
inline constexpr int kBalloonRebuildProgress = 123;
inline constexpr int kTipRebuildLine = 124;         // (controller)
inline constexpr int kBalloonRebuildPercent = 125;  // (controller, percent)
inline constexpr int kTipNoRebuildLine = 126;       // (controller)
inline constexpr int kEventDeviceFound = 127;       // (controller, port)
inline constexpr int kTipNotConnected = 128;
inline constexpr int kNoResponse = 129;
inline constexpr int kEventSetFound = 130;           // (controller, set)
inline constexpr int kEventDeviceLost = 131;         // (controller, port)
inline constexpr int kEventSpareAccessed = 132;      // (controller)
inline constexpr int kEventSetLost = 133;            // (controller, set)
inline constexpr int kEventRaidStatusChanged = 134;  // (controller, set)
inline constexpr int kEventRebuildCompleted = 135;   // (controller, set)
inline constexpr int kBalloonRebuildDone = 136;
inline constexpr int kBalloonRebuildDoneText = 137;  // (controller)
inline constexpr int kEventRedundancyLost = 138;     // (controller, set)
inline constexpr int kEventGeneral = 139;
inline constexpr int kEventRaidBroken = 140;  // (controller, set)
inline constexpr int kEventErrorCode = 141;   // (code)
inline constexpr int kMailSystemError = 142;
inline constexpr int kHostNotConnected = 143;
inline constexpr int kPasswordReentryInvalid = 144;
inline constexpr int kDeviceInfo = 145;
inline constexpr int kSerialNumber = 146;
inline constexpr int kModelNumber = 147;
inline constexpr int kInterfaceMode = 148;
inline constexpr int kRaidInfo = 149;
inline constexpr int kDeviceNumber = 150;
inline constexpr int kRaidType = 151;
inline constexpr int kChunkSize = 152;
inline constexpr int kSystemError = 153;
inline constexpr int kSataModeUnknown = 155;
inline constexpr int kControllerNotFound = 156;
inline constexpr int kDriverTooOld = 157;
inline constexpr int kServiceTooOld = 158;
inline constexpr int kSelectBackupFile = 159;
inline constexpr int kSelectBiosFile = 160;
inline constexpr int kFilterBinaryName = 161;
inline constexpr int kDeterminingFlashParameters = 162;
inline constexpr int kSavingOldBios = 163;
inline constexpr int kBackupComplete = 164;
inline constexpr int kFileError = 165;  // (cause)
inline constexpr int kErasingFlash = 166;
inline constexpr int kWritingBios = 167;
inline constexpr int kFlashWriteError = 168;
inline constexpr int kUpdateComplete = 169;
inline constexpr int kFlashType = 170;
inline constexpr int kInComputer = 171;
inline constexpr int kLineBusy = 174;
inline constexpr int kFilterBinaryPattern = 175;
inline constexpr int kFilterAllName = 176;
inline constexpr int kFilterAllPattern = 177;
inline constexpr int kFlashNotBios = 182;
inline constexpr int kFlashBiosNotFound = 183;
inline constexpr int kFlashIoError = 184;
inline constexpr int kFlashBiosVersion = 185;  // (major, minor)
inline constexpr int kSmartCritical = 186;
inline constexpr int kFlashNotFound = 187;
inline constexpr int kSmartOk = 188;
inline constexpr int kBiosNotNewer = 189;
inline constexpr int kWrongBiosFile = 190;
inline constexpr int kFileBiosVersion = 191;  // (major, minor)
inline constexpr int kNotABiosFile = 192;
inline constexpr int kBiosFileReadError = 193;
inline constexpr int kBiosFileTooLarge = 194;

}  // namespace ids
}  // namespace veltrix
