#include "gui/hostview/info_panels.h"

#include <QString>

#include "model/controller.h"
#include "model/device.h"
#include "model/raid_set.h"
#include "model/status_texts.h"
#include "texts/string_ids.h"
#include "texts/strings.h"

namespace veltrix {

namespace {

using namespace control_id;

PanelItem Text(int id, std::string text) {
    return PanelItem{id, std::move(text), std::nullopt};
}
PanelItem Shown(int id, bool shown) {
    return PanelItem{id, std::nullopt, shown};
}
PanelItem TextShown(int id, std::string text, bool shown) {
    return PanelItem{id, std::move(text), shown};
}

std::string YesNo(bool yes) {
    return LoadString(yes ? ids::kYes : ids::kNo);
}

std::string WithoutLeadingBlanks(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first);
}

}  // namespace

std::vector<PanelItem> ControllerPanel(const Controller& controller, int number) {
    const bool pm = controller.HasPortMultiplier();
    return {
        Text(kControllerNumber, std::to_string(number)),
        Text(kDriverVersion, controller.DriverVersion()),
        Text(kBiosVersion, controller.BiosVersionText()),
        Text(kChipset, controller.ChipName()),
        Text(kRaid5Support, YesNo(controller.HasRaid5())),
        Text(kJbodSupport, YesNo(controller.HasJbod())),
        // The port-multiplier row exists only for controllers that have the feature.
        TextShown(kPmSupport, YesNo(pm), pm),
        Shown(kPmSupportLabel, pm),
    };
}

std::vector<PanelItem> DrivePanel(const Device& device) {
    return {
        Text(kInfoGroup, LoadString(ids::kDeviceInfo)),
        Shown(kRow1Value, false),
        Text(kRow1Label, ""),
        Text(kRow3Label, LoadString(ids::kSerialNumber)),
        Text(kRow5Label, LoadString(ids::kModelNumber)),
        TextShown(kRow6Label, LoadString(ids::kInterfaceMode), true),
        Text(kRow2Value, std::to_string(device.Position())),
        TextShown(kRow3Value, WithoutLeadingBlanks(device.SerialNumber()), true),
        Text(kRow4Value, device.CapacityText()),
        TextShown(kRow5Value, device.ModelNumber(), true),
        TextShown(kRow6Value, device.InterfaceText(), true),
        TextShown(kRow7Label,
                  //% "SMART Status:"
                  qtTrId("panel.smart-status").toStdString(), true),
        TextShown(kRow7Value, device.SmartStatusText(), true),
    };
}

std::vector<PanelItem> RaidSetPanel(const RaidSet& set) {
    std::vector<PanelItem> items{
        Text(kInfoGroup, LoadString(ids::kRaidInfo)),
        Text(kRow1Label, LoadString(ids::kDeviceNumber)),
        Text(kRow3Label, LoadString(ids::kRaidType)),
        Text(kRow5Label, LoadString(ids::kChunkSize)),
        Shown(kRow6Label, false),
        Text(kRow7Label,
             //% "RAID Status:"
             qtTrId("panel.raid-status").toStdString()),
        Text(kRow2Value, std::to_string(set.Port())),
        Text(kRow4Value, set.CapacityText()),
    };
    if (set.IsRaid()) {
        // The device number is filled in but its row stays hidden.
        items.push_back(TextShown(kRow1Value, std::to_string(set.DeviceNumber()), false));
        items.push_back(TextShown(kRow3Value, set.TypeText(), true));
        items.push_back(TextShown(kRow5Value, ChunkSizePanelText(set.ChunkSize()), true));
        items.push_back(TextShown(kRow7Value, set.StatusText(), true));
        items.push_back(Shown(kRow7Label, true));
        items.push_back(Shown(kRow6Value, false));
    } else {
        for (const int id :
             {kRow1Value, kRow3Value, kRow5Value, kRow6Value, kRow7Value, kRow7Label}) {
            items.push_back(Shown(id, false));
        }
    }
    return items;
}

}  // namespace veltrix
