#include "gui/resources/main_menu.h"

#include <QtGlobal>

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
        MenuPopup(
            //% "&File"
            QT_TRID_NOOP("menu.file"), {MenuCommand(kShowErrorLog,
                                                    //% "Show Error &Log"
                                                    QT_TRID_NOOP("menu.show-error-log")),
                                        MenuCommand(kEvents,
                                                    //% "&Events..."
                                                    QT_TRID_NOOP("menu.events")),
                                        MenuCommand(kBiosUpdate,
                                                    //% "BIOS &Update..."
                                                    QT_TRID_NOOP("menu.bios-update")),
                                        MenuSeparator(),
                                        MenuCommand(kExit,
                                                    //% "E&xit"
                                                    QT_TRID_NOOP("menu.exit"))}),
        MenuPopup(
            //% "&Configuration"
            QT_TRID_NOOP("menu.configuration"),
            {MenuCommand(kHosts,
                         //% "&Hosts..."
                         QT_TRID_NOOP("menu.hosts")),
             MenuCommand(kPopup,
                         //% "&Popup..."
                         QT_TRID_NOOP("menu.popup")),
             MenuCommand(kEmail,
                         //% "&Email..."
                         QT_TRID_NOOP("menu.email")),
             MenuCommand(kLogFile,
                         //% "&Log File..."
                         QT_TRID_NOOP("menu.log-file")),
             MenuCommand(kPassword,
                         //% "Pass&word..."
                         QT_TRID_NOOP("menu.password")),
             MenuCommand(kKeepPasswordInKeyring,
                         //% "Keep the password in the &keyring"
                         QT_TRID_NOOP("menu.keep-password-in-keyring")),
             MenuSeparator(),
             MenuCommand(kAutoconnect,
                         //% "&Autoconnect"
                         QT_TRID_NOOP("menu.autoconnect")),
             MenuCommand(kStartMinimized,
                         //% "&Start minimized"
                         QT_TRID_NOOP("menu.start-minimized")),
             MenuCommand(kStartAtLogin,
                         //% "Start at lo&gin"
                         QT_TRID_NOOP("menu.start-at-login"))}),
        MenuPopup(
            //% "&?"
            QT_TRID_NOOP("menu.help-menu"), {MenuCommand(kAbout,
                                                         //% "&About Veltrix"
                                                         QT_TRID_NOOP("menu.about-veltrix")),
                                             // The user guide as installed.
                                             MenuCommand(kHelp,
                                                         //% "&Help"
                                                         QT_TRID_NOOP("menu.help"))}),
    };
    return menu;
}

}  // namespace veltrix
