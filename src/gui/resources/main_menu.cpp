#include "gui/resources/main_menu.h"

#include "gui/resources/main_window_ids.h"

namespace veltrix {

using platform::MenuCommand;
using platform::MenuPopup;
using platform::MenuSeparator;

platform::MenuTemplate MainMenuTemplate() {
    using namespace menu_id;
    platform::MenuTemplate menu;
    menu.id = kMainMenuId;
    menu.items = {
        MenuPopup("&File", "&Datei",
                  {MenuCommand(kShowErrorLog, "Show Error &Log", "Fehlerprotokoll &anzeigen"),
                   MenuCommand(kBiosUpdate, "BIOS &Update...", "BIOS &Update..."), MenuSeparator(),
                   MenuCommand(kExit, "E&xit", "&Beenden")}),
        MenuPopup("&Configuration", "&Einstellungen",
                  {MenuCommand(kPopup, "&Popup...", "P&opup..."),
                   MenuCommand(kEmail, "&Email...", "E-&Mail..."),
                   MenuCommand(kLogFile, "&Log File...", "Protokoll&datei..."),
                   MenuCommand(kPassword, "Pass&word...", "&Passwort..."), MenuSeparator(),
                   MenuCommand(kAutoconnect, "&Autoconnect", "&Autoconnect"),
                   MenuCommand(kStartMinimized, "&Start minimized", "minimiert &Starten"),
                   MenuCommand(kStartAtLogin, "Start at lo&gin", "&Beim Anmelden starten")}),
        MenuPopup("&?", "&?",
                  {MenuCommand(kAbout, "&About Veltrix", "&Info über Veltrix"),
                   // Help has no content to show; the item stays greyed.
                   MenuCommand(kHelp, "&Help", "&Hilfe", false, true)}),
    };
    return menu;
}

}  // namespace veltrix
