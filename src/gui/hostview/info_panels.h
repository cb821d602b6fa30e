#pragma once
// Contents of the main window's information panels as plain data.
//
// Each panel is a list of steps in the order they are applied to the dialog: a
// control id with a new text, a new visibility, or both. A control may appear more
// than once (first its caption, later its visibility). The window only applies them.

#include <optional>
#include <string>
#include <vector>

#include "gui/resources/main_window_ids.h"

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

// The controller area for controller `number`.
std::vector<PanelItem> ControllerPanel(const Controller& controller, int number);
// The information group for a drive.
std::vector<PanelItem> DrivePanel(const Device& device);
// The information group for a RAID set.
std::vector<PanelItem> RaidSetPanel(const RaidSet& set);

}  // namespace veltrix
