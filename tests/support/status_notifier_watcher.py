"""python3-dbusmock template: a notification area of the StatusNotifierItem kind.

The watcher that panels of KDE Plasma, Xfce, LXQt and GNOME's AppIndicator extension
run on the session bus, with a host registered, so Qt puts a program's tray icon there.
Each item's registration is in the call log; a test clicks an item by calling its
org.kde.StatusNotifierItem.Activate, as a panel does.
"""

import dbus

BUS_NAME = 'org.kde.StatusNotifierWatcher'
MAIN_OBJ = '/StatusNotifierWatcher'
MAIN_IFACE = 'org.kde.StatusNotifierWatcher'
SYSTEM_BUS = False


def load(mock, parameters):
    mock.AddMethods(MAIN_IFACE, [
        ('RegisterStatusNotifierItem', 's', '',
         'self.Set("org.kde.StatusNotifierWatcher", "RegisteredStatusNotifierItems", '
         'self.Get("org.kde.StatusNotifierWatcher", "RegisteredStatusNotifierItems") + [args[0]]); '
         'self.EmitSignal("org.kde.StatusNotifierWatcher", "StatusNotifierItemRegistered", '
         '"s", [args[0]])'),
        ('RegisterStatusNotifierHost', 's', '', ''),
    ])
    mock.AddProperties(MAIN_IFACE, {
        'RegisteredStatusNotifierItems': dbus.Array([], signature='s'),
        'IsStatusNotifierHostRegistered': dbus.Boolean(True),
        'ProtocolVersion': dbus.Int32(0),
    })
