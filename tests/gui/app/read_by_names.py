#!/usr/bin/python3
"""Reads Veltrix over AT-SPI by accessible names alone, as a screen reader would: once
the drive list has port 0, opens the e-mail settings from the menu, prints the first
address and cancels; prints the controller picture's description, the status the
window announces, and the drive rows.
With --rows LIST COUNT: once the list named LIST has COUNT rows, prints each row's name.
Each lookup waits at most 20 s; a name not found ends the script with its name."""
import sys
import time

import pyatspi
from gi.repository import Atspi

def find(root, name, role):
    end = time.monotonic() + 20
    while time.monotonic() < end:
        try:  # the tree changes while it is read
            hit = pyatspi.findDescendant(root, lambda a: a.name == name and a.getRole() == role)
            if hit is not None:
                return hit
        except Exception:
            pass
        time.sleep(0.2)
    sys.exit("not found: " + name)


def press(button):
    # A modal dialog answers the press only when it ends: the reply is not waited for.
    Atspi.set_timeout(500, 500)
    try:
        button.queryAction().doAction(0)
    except Exception:
        pass
    Atspi.set_timeout(-1, -1)


def read_mail_and_drives(window, item, dialog, cancel, address, drives, picture):
    app = find(pyatspi.Registry.getDesktop(0), "Veltrix", pyatspi.ROLE_APPLICATION)
    rows = find(app, drives, pyatspi.ROLE_TREE)
    find(rows, "0", pyatspi.ROLE_TABLE_CELL)
    press(find(app, item, pyatspi.ROLE_MENU_ITEM))
    box = find(app, dialog, pyatspi.ROLE_DIALOG)
    print("mail " + find(box, address, pyatspi.ROLE_TEXT).queryText().getText(0, -1))
    press(find(box, cancel, pyatspi.ROLE_PUSH_BUTTON))
    print("picture " + find(app, picture, pyatspi.ROLE_IMAGE).description)
    print("status " + find(app, window, pyatspi.ROLE_DIALOG).description)
    table = rows.queryTable()
    for r in range(table.nRows):
        print("drive " + "\t".join(table.getAccessibleAt(r, c).name for c in range(table.nColumns)))


def read_rows(name, count):
    app = find(pyatspi.Registry.getDesktop(0), "Veltrix", pyatspi.ROLE_APPLICATION)
    rows = find(app, name, pyatspi.ROLE_LIST)
    end = time.monotonic() + 20
    while rows.childCount != count and time.monotonic() < end:
        time.sleep(0.2)
    for r in range(rows.childCount):
        print(rows.getChildAtIndex(r).name)


if sys.argv[1] == "--rows":
    read_rows(sys.argv[2], int(sys.argv[3]))
else:
    read_mail_and_drives(*sys.argv[1:8])
