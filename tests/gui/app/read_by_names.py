#!/usr/bin/python3
"""A screen reader's view of Veltrix over AT-SPI, by accessible names alone.

Finds the program on the accessibility bus, opens the e-mail settings from the menu,
prints the recipient's address and closes the dialog with Cancel, then prints the
controller picture's description and the rows of the drive list, a line each:
"mail <address>", "picture <description>", "drive <cell>\t<cell>...". Every wait
is bounded; exit status 2 when something was not found in time, with the tree the
reader saw on stderr.
"""
import sys
import time

import pyatspi
from gi.repository import Atspi

ITEM, DIALOG, CANCEL, ADDRESS, DRIVES, PICTURE = sys.argv[1:7]


def wait_for(find, what, seconds=20.0):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        try:
            found = find()
        except Exception:  # the tree changes while it is read
            found = None
        if found is not None:
            return found
        time.sleep(0.2)
    print("not found: " + what, file=sys.stderr)
    for app in desktop:
        dump(app)
    sys.exit(2)


def dump(accessible, depth=0):
    """What the reader saw, to stderr: role and name, a line each."""
    if accessible is not None and depth < 8:
        print("  " * depth + accessible.getRoleName() + " [" + accessible.name + "]",
              file=sys.stderr)
        for child in accessible:
            dump(child, depth + 1)


def named(root, name, roles):
    return pyatspi.findDescendant(root, lambda a: a.name == name and a.getRole() in roles)


def press(accessible):
    # A modal dialog answers the press only when it ends: the reply is not waited for.
    Atspi.set_timeout(500, 500)
    try:
        accessible.queryAction().doAction(0)
    except Exception:
        pass
    Atspi.set_timeout(-1, -1)


desktop = pyatspi.Registry.getDesktop(0)
app = wait_for(lambda: next(a for a in desktop if a is not None and a.name == "Veltrix"), "app")
window = wait_for(lambda: next(w for w in app if w.getRole() == pyatspi.ROLE_FRAME or
                               w.getRole() == pyatspi.ROLE_DIALOG), "main window")
rows = wait_for(lambda: named(window, DRIVES, [pyatspi.ROLE_TREE, pyatspi.ROLE_TABLE]),
                "drive list")
# Connected: the list has its rows.
wait_for(lambda: rows.queryTable().nRows or None, "drive rows")

press(wait_for(lambda: named(window, ITEM, [pyatspi.ROLE_MENU_ITEM]), "menu item"))
dialog = wait_for(lambda: next(w for w in app if w.name == DIALOG), "dialog")
address = wait_for(lambda: named(dialog, ADDRESS, [pyatspi.ROLE_TEXT]), "address field")
print("mail " + address.queryText().getText(0, -1))
picture = named(window, PICTURE, [pyatspi.ROLE_IMAGE])
print("picture " + (picture.description if picture is not None else "missing"))
press(wait_for(lambda: named(dialog, CANCEL, [pyatspi.ROLE_PUSH_BUTTON]), "cancel"))
wait_for(lambda: None if any(w.name == DIALOG for w in app) else True, "dialog closed")

table = rows.queryTable()
for r in range(table.nRows):
    cells = [table.getAccessibleAt(r, c).name for c in range(table.nColumns)]
    print("drive " + "\t".join(cells))
