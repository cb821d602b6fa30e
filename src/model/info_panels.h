#pragma once
// Contents of the main window's information panels as plain data.
//
// Each panel is a list of steps in the order they are applied to the dialog: a
// control id with a new text, a new visibility, or both. A control may appear more
// than once (first its caption, later its visibility). The window only applies them.

#include <optional>
#include <string>
#include <vector>

namespace veltrix {

class Controller;
class Device;
class RaidSet;

struct PanelItem {
    int controlId = 0;
    std::optional<std::string> text;  // set the control's text
    std::optional<bool> shown;        // show (true) or hide (false) the control

    bool operator==(const PanelItem&) const = default;
};

// Control ids of the controller area and of the information group.
namespace control_id {
inline constexpr int kControllerNumber = 1018;
inline constexpr int kDriverVersion = 1006;
inline constexpr int kBiosVersion = 1093;
inline constexpr int kChipset = 1007;
inline constexpr int kRaid5Support = 1011;
inline constexpr int kJbodSupport = 1013;
inline constexpr int kPmSupport = 1012;
inline constexpr int kPmSupportLabel = 1094;

inline constexpr int kInfoGroup = 1080;
// Caption / value pairs of the seven rows of the information group.
inline constexpr int kRow1Label = 1081, kRow1Value = 1039;
inline constexpr int kRow2Label = 1082, kRow2Value = 1040;  // "Port:"
inline constexpr int kRow3Label = 1083, kRow3Value = 1041;
inline constexpr int kRow4Label = 1084, kRow4Value = 1042;  // "Capacity:"
inline constexpr int kRow5Label = 1085, kRow5Value = 1043;
inline constexpr int kRow6Label = 1086, kRow6Value = 1044;
inline constexpr int kRow7Label = 1087, kRow7Value = 1046;
}  // namespace control_id

// The controller area for controller `number`.
std::vector<PanelItem> ControllerPanel(const Controller& controller, int number);
// The information group for a drive.
std::vector<PanelItem> DrivePanel(const Device& device);
// The information group for a RAID set.
std::vector<PanelItem> RaidSetPanel(const RaidSet& set);

}  // namespace veltrix
