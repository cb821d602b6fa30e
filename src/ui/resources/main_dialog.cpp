#include "ui/resources/main_dialog.h"

#include "ui/resources/main_window_ids.h"

namespace veltrix {
namespace {

using platform::Control;
using platform::ControlTemplate;
using platform::IDC_STATIC;
using platform::MenuCommand;
using platform::MenuPopup;
using platform::MenuSeparator;
using platform::TextAlign;
using K = platform::ControlKind;

// Client area.
constexpr int kWidth = 800;
constexpr int kHeight = 500;

// Text rows: statics are one line high; beside an edit or button they sit lower so
// that the texts share a baseline.
constexpr int kTextHeight = 16;
constexpr int kFieldHeight = 24;
constexpr int kTextDrop = (kFieldHeight - kTextHeight) / 2;

// Top of the controller page: the tab control reaches from the tab row above it down
// behind the controller area and the two lists.
constexpr int kPageTop = 78;

// Controller area: caption column and value column.
constexpr int kControllerX = 20;
constexpr int kControllerCaptionWidth = 120;
constexpr int kControllerValueX = kControllerX + kControllerCaptionWidth + 4;
constexpr int kControllerValueWidth = 100;
constexpr int kControllerRowStep = 20;

// Lists and their column headers. A header sits over its column: one pixel in for the
// list's frame, then the tab stop in pixels at the default font's dialog base unit
// (7 px for four dialog units).
constexpr int kListX = 256;
constexpr int kListWidth = 524;
constexpr int kListTextInset = 1;
constexpr int kBaseUnit = 7;
constexpr int ColumnX(int dialogUnits) {
    return kListX + kListTextInset + (dialogUnits * kBaseUnit + 2) / 4;
}

// Lower area beside the picture: the information group, then the rebuild controls.
constexpr int kLowerTop = 320;
constexpr int kInfoX = 204;
constexpr int kInfoWidth = 332;
constexpr int kInfoCaptionX = kInfoX + 12;
constexpr int kInfoCaptionWidth = 124;
constexpr int kInfoValueX = kInfoCaptionX + kInfoCaptionWidth + 4;
constexpr int kInfoValueWidth = kInfoX + kInfoWidth - 8 - kInfoValueX;
constexpr int kInfoRowTop = kLowerTop + 26;
constexpr int kInfoRowStep = 20;

constexpr int kRebuildX = kInfoX + kInfoWidth + 12;
constexpr int kRebuildWidth = kWidth - 8 - kRebuildX;
constexpr int kRebuildValueWidth = 92;
constexpr int kRebuildValueX = kWidth - 8 - kRebuildValueWidth;
constexpr int kRebuildCaptionWidth = kRebuildValueX - 2 - kRebuildX;
constexpr int kPercentWidth = 44;

ControlTemplate ControllerRow(int id, int row, const char* en, const char* de) {
    return Control(id, K::Static, kControllerX, kPageTop + row * kControllerRowStep,
                   kControllerCaptionWidth, kTextHeight, en, de);
}

ControlTemplate ControllerValue(int id, int row) {
    return Control(id, K::Static, kControllerValueX, kPageTop + row * kControllerRowStep,
                   kControllerValueWidth, kTextHeight, "-", "-");
}

ControlTemplate Header(int dialogUnits, int y, const char* en, const char* de, int width) {
    return Control(IDC_STATIC, K::Static, ColumnX(dialogUnits), y, width, kTextHeight, en, de);
}

ControlTemplate InfoCaption(int id, int row, const char* en, const char* de) {
    return Control(id, K::Static, kInfoCaptionX, kInfoRowTop + row * kInfoRowStep,
                   kInfoCaptionWidth, kTextHeight, en, de);
}

ControlTemplate InfoValue(int id, int row) {
    return Control(id, K::Static, kInfoValueX, kInfoRowTop + row * kInfoRowStep, kInfoValueWidth,
                   kTextHeight, "-", "-");
}

}  // namespace

platform::DialogTemplate MainDialogTemplate() {
    using namespace control_id;

    // Lists: drives above RAID sets, each under its row of column headers.
    constexpr int kDeviceHeaderY = kPageTop;
    constexpr int kDeviceListY = kDeviceHeaderY + kTextHeight + 2;
    constexpr int kDeviceListHeight = 96;
    constexpr int kSetHeaderY = kDeviceListY + kDeviceListHeight + 8;
    constexpr int kSetListY = kSetHeaderY + kTextHeight + 2;
    constexpr int kSetListHeight = 90;
    constexpr int kTabsY = 42;
    constexpr int kTabsHeight = kSetListY + kSetListHeight + 6 - kTabsY;

    // Rebuild rows: progress, speed, duration, then the priority slider.
    constexpr int kProgressY = kLowerTop + 6;
    constexpr int kSpeedY = kProgressY + 30;
    constexpr int kDurationY = kSpeedY + 22;
    constexpr int kSliderY = kDurationY + 42;
    constexpr int kSliderLabelsY = kSliderY + kFieldHeight + 4;
    constexpr int kSliderEndWidth = 70;

    platform::DialogTemplate t;
    t.id = kMainDialogId;
    t.titleEn = "Kavotronik Veltrix";
    t.titleDe = "Kavotronik Veltrix";
    t.width = kWidth;
    t.height = kHeight;
    t.controls = {
        // Connection row.
        Control(IDC_STATIC, K::Static, 8, 10 + kTextDrop, 40, kTextHeight, "Host:", "Host:"),
        Control(kHost, K::Edit, 50, 10, 150, kFieldHeight).MaxLength(63),
        Control(IDC_STATIC, K::Static, 214, 10 + kTextDrop, 70, kTextHeight,
                "Password:", "Passwort:"),
        Control(kPassword, K::Edit, 286, 10, 140, kFieldHeight).Password(),
        Control(kConnect, K::PushButton, 440, 10, 96, kFieldHeight, "Connect", "Verbinden")
            .DefaultButton(),
        Control(kDisconnect, K::PushButton, 544, 10, 96, kFieldHeight, "Disconnect", "Trennen")
            .Disabled(),

        // Controller tabs: the frame behind the page below.
        Control(kControllerTabs, K::TabControl, 8, kTabsY, kWidth - 16, kTabsHeight),

        // Controller area.
        ControllerRow(IDC_STATIC, 0, "Controller Number:", "Controllernummer:"),
        ControllerValue(kControllerNumber, 0),
        ControllerRow(IDC_STATIC, 1, "Driver Version:", "Treiber Version:"),
        ControllerValue(kDriverVersion, 1),
        ControllerRow(IDC_STATIC, 2, "BIOS Version:", "BIOS Version:"),
        ControllerValue(kBiosVersion, 2),
        ControllerRow(IDC_STATIC, 3, "Chipset:", "Chipsatz:"),
        ControllerValue(kChipset, 3),
        ControllerRow(IDC_STATIC, 4, "RAID 5 support:", "RAID 5 Support:"),
        ControllerValue(kRaid5Support, 4),
        ControllerRow(IDC_STATIC, 5, "JBOD support:", "JBOD Support:"),
        ControllerValue(kJbodSupport, 5),
        ControllerRow(kPmSupportLabel, 6, "PM support:", "PM Support:").Hidden(),
        ControllerValue(kPmSupport, 6).Hidden(),

        // Drives: port, model, capacity, status.
        Header(0, kDeviceHeaderY, "Port", "Port", 50),
        Header(32, kDeviceHeaderY, "Model name", "Bezeichnung", 100),
        Header(180, kDeviceHeaderY, "Capacity", "Kapazität", 60),
        Header(215, kDeviceHeaderY, "Status", "Status", 80),
        Control(kDeviceList, K::ListBox, kListX, kDeviceListY, kListWidth, kDeviceListHeight)
            .TabStops({32, 180, 215}),

        // RAID sets: set, type, chunk size, members, capacity, status.
        Header(0, kSetHeaderY, "Set", "Set", 50),
        Header(32, kSetHeaderY, "Type", "Typ", 80),
        Header(80, kSetHeaderY, "Chunksize", "Blockgröße", 80),
        Header(129, kSetHeaderY, "Members", "Mitglieder", 80),
        Header(180, kSetHeaderY, "Capacity", "Kapazität", 60),
        Header(215, kSetHeaderY, "Status", "Status", 80),
        Control(kSetList, K::ListBox, kListX, kSetListY, kListWidth, kSetListHeight)
            .TabStops({32, 80, 129, 180, 215}),

        // Information on the selected drive or set; the program renames the captions.
        Control(kInfoGroup, K::GroupBox, kInfoX, kLowerTop, kInfoWidth, 171, "RAID Info",
                "RAID Info"),
        InfoCaption(kRow1Label, 0, "RAID Set Number:", "RAID-Set-Nummer:").Hidden(),
        InfoValue(kRow1Value, 0).Hidden(),
        InfoCaption(kRow2Label, 1, "Port:", "Port:"),
        InfoValue(kRow2Value, 1),
        InfoCaption(kRow3Label, 2, "RAID Type:", "RAID Typ:"),
        InfoValue(kRow3Value, 2),
        InfoCaption(kRow4Label, 3, "Capacity:", "Kapazität:"),
        InfoValue(kRow4Value, 3),
        InfoCaption(kRow5Label, 4, "Chunksize:", "Blockgröße:"),
        InfoValue(kRow5Value, 4),
        InfoCaption(kRow6Label, 5, "Interfacemode:", "Interface Mode:").Hidden(),
        InfoValue(kRow6Value, 5).Hidden(),
        InfoCaption(kRow7Label, 6, "RAID Status:", "RAID Status:"),
        InfoValue(kRow7Value, 6),

        // Never shown: the event log keeps its rows here, and ENDE is the Exit path.
        Control(kEventLog, K::ListBox, 648, 10, 56, kFieldHeight).Hidden(),
        Control(kEnde, K::PushButton, 712, 10, 80, kFieldHeight, "ENDE", "ENDE").Hidden(),

        // Rebuild: progress with its percentage, speed, duration and the priority.
        Control(kProgress, K::ProgressBar, kRebuildX, kProgressY, kRebuildWidth - kPercentWidth - 6,
                18)
            .Hidden(),
        Control(kPercent, K::Static, kWidth - 8 - kPercentWidth, kProgressY + 1, kPercentWidth,
                kTextHeight, "0%", "0%")
            .Align(TextAlign::Right)
            .Hidden()
            .Disabled(),
        Control(kSpeedCaption, K::Static, kRebuildX, kSpeedY, kRebuildCaptionWidth, kTextHeight,
                "Rebuild Speed:", "Rebuildgeschwindigkeit:")
            .Hidden()
            .Disabled(),
        Control(kSpeed, K::Static, kRebuildValueX, kSpeedY, kRebuildValueWidth, kTextHeight, "-",
                "-")
            .Hidden()
            .Disabled(),
        Control(kDurationCaption, K::Static, kRebuildX, kDurationY, kRebuildCaptionWidth,
                kTextHeight, "Estimated Duration:", "Vorraussichtliche Dauer:")
            .Hidden()
            .Disabled(),
        Control(kDuration, K::Static, kRebuildValueX, kDurationY, kRebuildValueWidth, kTextHeight,
                "-", "-")
            .Hidden()
            .Disabled(),
        Control(kPriority, K::Trackbar, kRebuildX, kSliderY, kRebuildWidth, kFieldHeight)
            .Hidden()
            .Disabled(),
        Control(kPriorityLow, K::Static, kRebuildX, kSliderLabelsY, kSliderEndWidth, kTextHeight,
                "Low", "niedrig")
            .Hidden()
            .Disabled(),
        Control(kPriorityCaption, K::Static, kRebuildX + kSliderEndWidth, kSliderLabelsY,
                kRebuildWidth - 2 * kSliderEndWidth, kTextHeight, "Priority", "Priorität")
            .Align(TextAlign::Center)
            .Hidden()
            .Disabled(),
        Control(kPriorityHigh, K::Static, kWidth - 8 - kSliderEndWidth, kSliderLabelsY,
                kSliderEndWidth, kTextHeight, "High", "hoch")
            .Align(TextAlign::Right)
            .Hidden()
            .Disabled(),

        // The controller picture in the lower left corner.
        Control(kDiagram, K::Picture, 8, kLowerTop, 188, 171),
    };
    return t;
}

platform::MenuTemplate MainMenuTemplate() {
    using namespace menu_id;
    platform::MenuTemplate menu;
    menu.id = kMainMenuId;
    menu.items = {
        MenuPopup("File", "&Datei",
                  {MenuCommand(kShowErrorLog, "Show Error Log", "Fehlerprotokoll &anzeigen"),
                   MenuCommand(kBiosUpdate, "BIOS Update...", "BIOS &Update..."), MenuSeparator(),
                   MenuCommand(kExit, "Exit", "&Beenden")}),
        MenuPopup("Configuration", "&Einstellungen",
                  {MenuCommand(kPopup, "Popup...", "P&opup..."),
                   MenuCommand(kEmail, "Email...", "E-&Mail..."),
                   MenuCommand(kLogFile, "Log File...", "Protokoll&datei..."),
                   MenuCommand(kPassword, "Password...", "&Passwort..."), MenuSeparator(),
                   MenuCommand(kAutoconnect, "Autoconnect", "&Autoconnect"),
                   MenuCommand(kStartMinimized, "Start minimized", "minimiert &Starten")}),
        MenuPopup("?", "?",
                  {MenuCommand(kAbout, "About Veltrix", "&Info über Veltrix"),
                   // Help has no content to show; the item stays greyed.
                   MenuCommand(kHelp, "Help", "&Hilfe", false, true)}),
    };
    return menu;
}

}  // namespace veltrix
