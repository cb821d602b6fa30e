#include "sample_dialog.h"

namespace veltrix::platform::testing {

DialogTemplate SampleTemplate() {
    using K = ControlKind;
    DialogTemplate t;
    t.id = 102;
    t.titleEn = "Sample Window";
    t.titleDe = "Beispielfenster";
    t.width = 640;
    t.height = 480;
    t.controls = {
        Control(kInfoGroup, K::GroupBox, 300, 300, 300, 150, "RAID Info", "RAID Info"),
        Control(kHost, K::Edit, 10, 10, 150, 24).MaxLength(63),
        Control(kPassword, K::Edit, 10, 40, 150, 24).Password(),
        Control(kNumber, K::Edit, 10, 70, 60, 24).NumberOnly(),
        Control(kNotes, K::Edit, 80, 70, 80, 48).ReadOnly().Multiline(),
        Control(kConnect, K::PushButton, 170, 10, 90, 26, "Connect", "Verbinden").DefaultButton(),
        Control(kDisconnect, K::PushButton, 170, 40, 90, 26, "Disconnect", "Trennen").Disabled(),
        Control(IDC_STATIC, K::Static, 270, 10, 120, 18, "Controller Number:", "Controllernummer:"),
        Control(kControllerNumber, K::Static, 400, 10, 60, 18, "-", "-"),
        Control(kPmLabel, K::Static, 270, 30, 120, 18, "PM support:", "PM Support:").Hidden(),
        Control(IDC_STATIC, K::Static, 10, 130, 40, 18, "Port", "Port"),
        Control(kAutoconnect, K::CheckBox, 470, 10, 160, 20, "Autoconnect",
                "Automatisch verbinden"),
        Control(kLow, K::RadioButton, 470, 40, 80, 20, "Low", "niedrig").Group(),
        Control(kHigh, K::RadioButton, 550, 40, 80, 20, "High", "hoch"),
        Control(kChoice, K::ComboBox, 470, 70, 160, 24),
        Control(kOther, K::RadioButton, 470, 100, 80, 20, "Other", "Andere"),
        Control(kSortedChoice, K::ComboBox, 470, 130, 160, 24).Sorted(),
        Control(kDevices, K::ListBox, 10, 150, 280, 120).TabStops({32, 180, 215}),
        Control(kSorted, K::ListBox, 10, 280, 280, 80).Sorted(),
        Control(kTabs, K::TabControl, 0, 120, 640, 360),
        Control(kPriority, K::Trackbar, 310, 200, 200, 30),
        Control(kProgress, K::ProgressBar, 310, 240, 200, 16),
        Control(kPicture, K::Picture, 310, 320, 188, 120),
        Control(kEnde, K::PushButton, 600, 460, 30, 16, "ENDE", "ENDE").Hidden(),
    };
    return t;
}

MenuTemplate SampleMenu() {
    MenuTemplate menu;
    menu.id = 141;
    menu.items = {
        MenuPopup("&File", "&Datei",
                  {MenuCommand(kShowLog, "Show Error Log", "Fehlerprotokoll &anzeigen"),
                   MenuSeparator(), MenuCommand(kExit, "Exit", "&Beenden")}),
        MenuPopup("&Configuration", "&Einstellungen",
                  {MenuCommand(kAutoconnectItem, "Autoconnect", "&Autoconnect", true),
                   MenuCommand(kStartMinimized, "Start minimized", "minimiert &Starten")}),
        MenuPopup("?", "?",
                  {MenuCommand(kAbout, "About Veltrix", "&Info über Veltrix"),
                   MenuCommand(kHelp, "Help", "&Hilfe", false, true)}),
    };
    return menu;
}

}  // namespace veltrix::platform::testing
