#!/usr/bin/env python3
"""Draws the pictures of the controller diagram and the main window's logo and badge.

    /usr/bin/python3 tools/pictures/draw_pictures.py [output folder]

The output folder defaults to src/gui/diagram/pictures/, where the PNG files are kept
and compiled into the program with Qt's resource system; the build never runs this
script. It needs Debian's Python with PyQt6 and the DejaVu fonts (python3-pyqt6 and
fonts-dejavu-core: `scripts/install-deps.sh --pictures`).

Every picture is saved as 24-bit opaque RGB at its fixed size. The diagram pictures
sit on white, the colour of the diagram's background. The logo and the badge sit on
magenta, which the window leaves transparent; their shapes are drawn smooth and then
cut hard at half coverage, so that no pink fringe remains where the key is removed.
"""

import os
import sys

os.environ.setdefault("QT_QPA_PLATFORM", "offscreen")

from PyQt6.QtCore import QPointF, QRectF, Qt  # noqa: E402
from PyQt6.QtGui import (  # noqa: E402
    QBrush,
    QColor,
    QFont,
    QGuiApplication,
    QImage,
    QLinearGradient,
    QPainter,
    QPainterPath,
    QPen,
)

WHITE = QColor("#ffffff")
MAGENTA = QColor("#ff00ff")

# Circuit board, its parts and connectors.
PCB = QColor("#3f9160")
PCB_EDGE = QColor("#25643d")
PCB_TRACE = QColor("#5aa878")
GOLD = QColor("#e0b13f")
GOLD_EDGE = QColor("#a97d1a")
CHIP = QColor("#30353c")
CHIP_EDGE = QColor("#596170")
PART = QColor("#c9ccd1")
PORT = QColor("#2b2f36")
PORT_KEY = QColor("#8a929c")

# Drive: brushed metal lid, platter, actuator arm.
METAL_LIGHT = QColor("#eef0f3")
METAL_DARK = QColor("#bfc5cc")
METAL_EDGE = QColor("#646c76")
PLATTER = QColor("#d7dbe0")
PLATTER_EDGE = QColor("#8d959e")
HUB = QColor("#7b838d")

# Disk cylinders of the set pictures: light steel, so the blue set lines stand out.
DISK_LIGHT = QColor("#f3f5f8")
DISK_MID = QColor("#d3d9e1")
DISK_DARK = QColor("#a9b3bf")
DISK_EDGE = QColor("#56616e")
FRAME_FILL = QColor("#e9eef6")
FRAME_EDGE = QColor("#8093ab")

# Cable runs: red like the cable lines of the other layouts, with dark plugs.
CABLE = QColor("#e0261e")

# Logo and badge.
BRAND_DARK = QColor("#17406f")
BRAND_LIGHT = QColor("#2d74c4")
BADGE = QColor("#e66100")

FONT_FAMILY = "DejaVu Sans"


def canvas(width, height, background):
    image = QImage(width, height, QImage.Format.Format_ARGB32_Premultiplied)
    image.fill(background)
    return image


def begin(image, smooth=True):
    painter = QPainter(image)
    painter.setRenderHint(QPainter.RenderHint.Antialiasing, smooth)
    painter.setRenderHint(QPainter.RenderHint.TextAntialiasing, smooth)
    return painter


def save_opaque(image, path, size):
    assert (image.width(), image.height()) == size, (path, image.size())
    rgb = image.convertToFormat(QImage.Format.Format_RGB888)
    if not rgb.save(path, "PNG"):
        raise SystemExit(f"cannot write {path}")


def save_keyed(image, path, size):
    """Pixels covered to at least half keep their colour, the others become magenta."""
    out = canvas(image.width(), image.height(), MAGENTA)
    argb = image.convertToFormat(QImage.Format.Format_ARGB32)
    for y in range(argb.height()):
        for x in range(argb.width()):
            colour = argb.pixelColor(x, y)
            if colour.alpha() >= 128:
                colour.setAlpha(255)
                out.setPixelColor(x, y, colour)
    save_opaque(out, path, size)


def fill_px(painter, x, y, w, h, colour):
    """Fills whole pixels x..x+w-1, y..y+h-1."""
    painter.fillRect(x, y, w, h, colour)


def box_px(painter, x, y, w, h, fill, edge):
    """A pixel-exact box with a one-pixel edge."""
    fill_px(painter, x, y, w, h, edge)
    if w > 2 and h > 2:
        fill_px(painter, x + 1, y + 1, w - 2, h - 2, fill)


# --- controller cards ---------------------------------------------------------------


def top_port(painter, x, y):
    """A connector standing on the board's top edge, centred on column x, from row y;
    the cable line of its port ends at (x, y)."""
    box_px(painter, x - 3, y, 7, 6, PORT, PORT)
    fill_px(painter, x - 2, y + 1, 5, 1, PORT_KEY)
    fill_px(painter, x - 2, y + 1, 1, 2, PORT_KEY)


def side_ports(painter, x0, x1, y, columns):
    """A connector block at the board's back edge (columns x0..x1, rows y-3..y+3), with
    a key for each port whose cable line leaves at (column, y)."""
    box_px(painter, x0, y - 3, x1 - x0 + 1, 7, PORT, PORT)
    for column in columns:
        fill_px(painter, column - 1, y - 2, 3, 1, PORT_KEY)
        fill_px(painter, column - 1, y + 2, 3, 1, PORT_KEY)


def chip(painter, x, y, w, h):
    box_px(painter, x, y, w, h, CHIP, CHIP_EDGE)
    fill_px(painter, x + 1, y + 1, 1, 1, CHIP_EDGE)  # pin-one mark


def parts(painter, positions):
    """Small components as specks on the board."""
    for x, y in positions:
        fill_px(painter, x, y, 2, 1, PART)


def card(width, board_top, fingers, chips, specks, traces):
    """A card seen from its component side: the board from board_top down to row 26,
    the gold edge connector below it (rows 27..30), left edge at the bracket."""
    image = canvas(width, 32, WHITE)
    p = begin(image, smooth=False)
    right = width - 1
    # Board with a chamfered top right corner.
    path = QPainterPath()
    path.moveTo(0, board_top)
    path.lineTo(right - 3, board_top)
    path.lineTo(right + 1, board_top + 4)
    path.lineTo(right + 1, 27)
    path.lineTo(0, 27)
    path.closeSubpath()
    p.setPen(Qt.PenStyle.NoPen)
    p.setBrush(PCB)
    p.drawPath(path)
    # Edge darker all round (top, right, bottom rows).
    fill_px(p, 0, board_top, right - 3, 1, PCB_EDGE)
    fill_px(p, right, board_top + 4, 1, 27 - board_top - 4, PCB_EDGE)
    fill_px(p, 0, 26, width, 1, PCB_EDGE)
    for i in range(4):
        fill_px(p, right - 3 + i, board_top + i, 1, 1, PCB_EDGE)
    # Traces.
    for x, y, w, h in traces:
        fill_px(p, x, y, w, h, PCB_TRACE)
    # Gold fingers below the board, a notch between the two parts.
    x0, x1, notch = fingers
    fill_px(p, x0, 27, x1 - x0 + 1, 4, GOLD_EDGE)
    for x in range(x0 + 1, x1, 2):
        fill_px(p, x, 27, 1, 3, GOLD)
    fill_px(p, notch, 27, 2, 4, WHITE)
    for c in chips:
        chip(p, *c)
    parts(p, specks)
    return image, p


def card_top_ports(width, port_columns, port_row, chips, specks, traces, fingers):
    image, p = card(width, port_row + 3, fingers, chips, specks, traces)
    for x in port_columns:
        top_port(p, x, port_row)
    p.end()
    return image


def card_side_ports(width, blocks, chips, specks, traces, fingers):
    image, p = card(width, 2, fingers, chips, specks, traces)
    for x0, x1, y, columns in blocks:
        side_ports(p, x0, x1, y, columns)
    p.end()
    return image


def draw_cards():
    cards = {}
    # Four ports on the top edge at columns 10, 22, 42, 54, cable ends on row 1.
    cards[135] = card_top_ports(
        68, [10, 22, 42, 54], 1,
        chips=[(27, 9, 11, 11), (51, 13, 8, 6)],
        specks=[(6, 10), (6, 14), (17, 18), (44, 20), (61, 9), (14, 11)],
        traces=[(10, 7, 1, 5), (22, 7, 1, 4), (22, 11, 5, 1), (42, 7, 1, 3), (38, 10, 4, 1),
                (54, 7, 1, 6), (12, 22, 40, 1)],
        fingers=(8, 56, 20))
    # The same ports lower down: the board's connectors start on row 5.
    cards[168] = card_top_ports(
        69, [10, 22, 42, 54], 5,
        chips=[(27, 12, 11, 10), (50, 16, 9, 6), (62, 12, 4, 4)],
        specks=[(6, 13), (6, 17), (16, 20), (44, 23), (15, 14)],
        traces=[(10, 11, 1, 4), (22, 11, 1, 3), (22, 14, 5, 1), (42, 11, 1, 3), (38, 14, 4, 1),
                (54, 11, 1, 5), (12, 24, 42, 1)],
        fingers=(8, 57, 20))
    # Two ports at columns 9 and 19, cable ends on row 6.
    cards[136] = card_top_ports(
        37, [9, 19], 6,
        chips=[(25, 12, 8, 8)],
        specks=[(5, 16), (5, 20), (14, 21), (28, 22)],
        traces=[(9, 12, 1, 5), (19, 12, 1, 3), (19, 15, 6, 1), (8, 23, 22, 1)],
        fingers=(6, 30, 16))
    # Four ports, columns 10, 22, 42, 54 (port 3 on the left), cable ends on row 1.
    cards[138] = card_top_ports(
        63, [10, 22, 42, 54], 1,
        chips=[(27, 9, 11, 11), (48, 15, 6, 5)],
        specks=[(6, 10), (6, 14), (17, 19), (44, 21), (58, 10)],
        traces=[(10, 7, 1, 5), (22, 7, 1, 4), (22, 11, 5, 1), (42, 7, 1, 3), (38, 10, 4, 1),
                (54, 7, 1, 7), (12, 22, 38, 1)],
        fingers=(8, 52, 20))
    # Two ports at columns 11 and 41, cable ends on row 1.
    cards[137] = card_top_ports(
        50, [11, 41], 1,
        chips=[(20, 9, 11, 10)],
        specks=[(6, 11), (6, 15), (36, 18), (44, 12), (16, 20)],
        traces=[(11, 7, 1, 6), (11, 13, 9, 1), (41, 7, 1, 6), (31, 13, 10, 1), (9, 22, 32, 1)],
        fingers=(7, 42, 18))
    # Four ports in two blocks at the back edge: keys at columns 53 and 57, rows 8
    # and 18.
    side = [(50, 60, 8, [53, 57]), (50, 60, 18, [53, 57])]
    cards[166] = card_side_ports(
        61, side,
        chips=[(24, 8, 12, 12), (9, 9, 7, 5)],
        specks=[(40, 8), (40, 12), (43, 20), (11, 19), (19, 22)],
        traces=[(36, 13, 14, 1), (36, 17, 14, 1), (16, 11, 8, 1), (8, 23, 36, 1)],
        fingers=(7, 46, 18))
    cards[181] = card_side_ports(
        61, side,
        chips=[(21, 7, 13, 13), (38, 15, 7, 6)],
        specks=[(9, 8), (9, 12), (12, 20), (41, 9), (45, 23)],
        traces=[(34, 11, 16, 1), (34, 13, 4, 1), (45, 17, 5, 1), (8, 23, 36, 1)],
        fingers=(7, 46, 18))
    # Two ports at the back edge, cable lines leaving at column 43, rows 8 and 18.
    cards[178] = card_side_ports(
        43, [(36, 42, 8, [40]), (36, 42, 18, [40])],
        chips=[(17, 8, 11, 11)],
        specks=[(7, 9), (7, 13), (10, 21), (31, 22)],
        traces=[(28, 11, 8, 1), (28, 17, 8, 1), (6, 23, 24, 1)],
        fingers=(6, 32, 15))
    cards[182] = card_side_ports(
        46, [(38, 45, 8, [43]), (38, 45, 18, [43])],
        chips=[(17, 8, 12, 11), (7, 9, 6, 4)],
        specks=[(8, 17), (8, 21), (32, 22), (33, 5)],
        traces=[(29, 11, 9, 1), (29, 17, 9, 1), (6, 23, 26, 1)],
        fingers=(6, 34, 16))
    # Two wide connectors on the top edge (columns 20..28 and 32..40, from row 3) for
    # the plugs of the cable pictures.
    image, p = card(
        56, 6, (7, 44, 17),
        chips=[(11, 11, 8, 8), (44, 12, 7, 6)],
        specks=[(5, 12), (5, 16), (24, 21), (37, 21), (48, 21)],
        traces=[(24, 9, 1, 5), (36, 9, 1, 5), (19, 14, 5, 1), (36, 14, 8, 1), (8, 23, 34, 1)])
    for x0 in (20, 32):
        box_px(p, x0, 3, 9, 6, PORT, PORT)
        fill_px(p, x0 + 1, 4, 7, 1, PORT_KEY)
    p.end()
    cards[169] = image
    return cards


# --- drive --------------------------------------------------------------------------


def draw_drive():
    """A 3.5-inch drive seen from above; its connector at the bottom, centred on
    column 13 where the cable ends. Column 24 and row 34 stay white."""
    image = canvas(25, 35, WHITE)
    p = begin(image)
    body = QRectF(0.5, 0.5, 23, 30)
    gradient = QLinearGradient(0, 0, 24, 31)
    gradient.setColorAt(0.0, METAL_LIGHT)
    gradient.setColorAt(1.0, METAL_DARK)
    p.setPen(QPen(METAL_EDGE, 1))
    p.setBrush(QBrush(gradient))
    p.drawRoundedRect(body, 2.5, 2.5)
    # Platter with its hub.
    p.setPen(QPen(PLATTER_EDGE, 1))
    p.setBrush(PLATTER)
    p.drawEllipse(QPointF(12, 12.5), 9.5, 9.5)
    p.setPen(QPen(QColor("#eef1f4"), 1))
    p.setBrush(Qt.BrushStyle.NoBrush)
    p.drawArc(QRectF(5, 5.5, 14, 14), 100 * 16, 70 * 16)
    p.setPen(QPen(PLATTER_EDGE, 1))
    p.setBrush(HUB)
    p.drawEllipse(QPointF(12, 12.5), 2.5, 2.5)
    # Actuator arm from its pivot near the bottom right corner over the platter.
    p.setPen(QPen(HUB, 2, Qt.PenStyle.SolidLine, Qt.PenCapStyle.RoundCap))
    p.drawLine(QPointF(19, 25), QPointF(14.5, 15.5))
    p.setPen(QPen(METAL_EDGE, 1))
    p.setBrush(METAL_DARK)
    p.drawEllipse(QPointF(19, 25), 2.2, 2.2)
    # Screws in the corners.
    p.setPen(Qt.PenStyle.NoPen)
    p.setBrush(METAL_EDGE)
    for x, y in ((2.5, 2.5), (21.5, 2.5), (2.5, 28.5)):
        p.drawEllipse(QPointF(x, y), 0.9, 0.9)
    p.end()
    p = begin(image, smooth=False)
    box_px(p, 9, 31, 9, 3, PORT, PORT)
    fill_px(p, 10, 32, 7, 1, PORT_KEY)
    p.end()
    return image


# --- cable runs (layout with cable pictures) ----------------------------------------


def cable_path(points):
    path = QPainterPath()
    path.moveTo(*points[0])
    for point in points[1:]:
        path.lineTo(*point)
    return path


def cable(p, points):
    """A cable two pixels wide along whole pixels, with square bends."""
    p.setPen(QPen(CABLE, 2, Qt.PenStyle.SolidLine, Qt.PenCapStyle.FlatCap,
                  Qt.PenJoinStyle.MiterJoin))
    p.setBrush(Qt.BrushStyle.NoBrush)
    p.drawPath(cable_path(points))


def plug_up(p, x):
    """The plug under a drive's connector: rows 0..2, centred on column x."""
    box_px(p, x - 3, 0, 7, 3, PORT, PORT)


def plug_down(p, x0):
    """The plug on the card's connector: columns x0..x0+8, rows 26..30."""
    box_px(p, x0, 26, 9, 5, PORT, PORT)
    fill_px(p, x0 + 1, 27, 7, 1, PORT_KEY)


# Picture coordinates: the drives' connectors at columns 9, 49, 89, 129 (ports 3, 2,
# 1, 0) above row 0; the card's connectors at columns 12..20 (left run, ports 2 and 3)
# and 24..32 (right run, ports 0 and 1) below row 30.
RIGHT_RUN = ([(29, 26), (29, 13), (130, 13), (130, 3)],
             [(90, 13), (90, 3)])
LEFT_RUN = ([(17, 26), (17, 7), (10, 7), (10, 3)],
            [(17, 7), (50, 7), (50, 3)])


def draw_cables(left, right):
    image = canvas(141, 31, WHITE)
    p = begin(image, smooth=False)
    for run, wanted in ((LEFT_RUN, left), (RIGHT_RUN, right)):
        if wanted:
            for points in run:
                cable(p, points)
    p.end()
    p = begin(image, smooth=False)
    if left:
        plug_down(p, 12)
        plug_up(p, 9)
        plug_up(p, 49)
    if right:
        plug_down(p, 24)
        plug_up(p, 89)
        plug_up(p, 129)
    p.end()
    return image


# --- disk cylinders (set view) ------------------------------------------------------


def cylinder(p, x, y, w, h, cap):
    """A disk cylinder in the box (x, y, w, h) with a top ellipse of height cap."""
    body = QPainterPath()
    body.moveTo(x, y + cap / 2)
    body.lineTo(x, y + h - cap / 2)
    body.arcTo(QRectF(x, y + h - cap, w, cap), 180, 180)
    body.lineTo(x + w, y + cap / 2)
    body.arcTo(QRectF(x, y, w, cap), 0, -180)
    body.closeSubpath()
    gradient = QLinearGradient(x, 0, x + w, 0)
    gradient.setColorAt(0.0, DISK_DARK)
    gradient.setColorAt(0.35, DISK_LIGHT)
    gradient.setColorAt(1.0, DISK_MID)
    p.setPen(QPen(DISK_EDGE, 1))
    p.setBrush(QBrush(gradient))
    p.drawPath(body)
    p.setBrush(DISK_LIGHT)
    p.drawEllipse(QRectF(x, y, w, cap))


def disk_bands(p, x, w, ys, cap):
    """Faint arcs across a cylinder: the platters inside."""
    p.setPen(QPen(QColor(86, 97, 110, 110), 1))
    p.setBrush(Qt.BrushStyle.NoBrush)
    for y in ys:
        p.drawArc(QRectF(x, y - cap / 2, w, cap), 180 * 16, 180 * 16)


def draw_single_cylinder():
    """One cylinder; the set lines meet at (20, 25)."""
    image = canvas(36, 42, WHITE)
    p = begin(image)
    cylinder(p, 4.5, 2.5, 27, 37, 10)
    disk_bands(p, 4.5, 27, [17.5, 27.5], 10)
    p.end()
    return image


def draw_mirror():
    """Two cylinders, the rear one in a frame: lines end at column 34 (rows 28..38) on
    the rear one and at column 16 (rows 44..54) on the front one."""
    image = canvas(60, 61, WHITE)
    p = begin(image)
    p.setPen(QPen(FRAME_EDGE, 1))
    p.setBrush(FRAME_FILL)
    p.drawRoundedRect(QRectF(20.5, 3.5, 34, 46), 4, 4)
    cylinder(p, 24.5, 8.5, 22, 36, 8)
    disk_bands(p, 24.5, 22, [22.5, 32.5], 8)
    cylinder(p, 4.5, 26.5, 22, 33, 8)
    disk_bands(p, 4.5, 22, [39.5, 49.5], 8)
    p.end()
    return image


def draw_stack(count):
    """count flat cylinders stacked from the bottom, each 14 rows high; the k-th one's
    set line ends on row 52 - 14 (k - 1)."""
    image = canvas(21, 61, WHITE)
    p = begin(image)
    for k in range(count):
        top = 45.5 - 14 * k - 2
        cylinder(p, 1.5, top, 18, 14, 6)
    p.end()
    return image


# --- logo and badge -----------------------------------------------------------------


def draw_logo():
    """The maker's logo: a plate with a stack of disks and the name."""
    image = canvas(240, 61, QColor(0, 0, 0, 0))
    p = begin(image)
    gradient = QLinearGradient(0, 0, 240, 61)
    gradient.setColorAt(0.0, BRAND_DARK)
    gradient.setColorAt(1.0, BRAND_LIGHT)
    p.setPen(Qt.PenStyle.NoPen)
    p.setBrush(QBrush(gradient))
    p.drawRoundedRect(QRectF(0, 0, 240, 61), 9, 9)
    # Emblem: a disk cylinder in white strokes.
    p.setPen(QPen(QColor("#ffffff"), 2.4))
    p.setBrush(QColor(255, 255, 255, 40))
    body = QPainterPath()
    body.moveTo(15, 16)
    body.lineTo(15, 44)
    body.arcTo(QRectF(15, 38, 30, 12), 180, 180)
    body.lineTo(45, 16)
    body.arcTo(QRectF(15, 10, 30, 12), 0, -180)
    p.drawPath(body)
    p.setBrush(QColor("#9cc3ee"))
    p.drawEllipse(QRectF(15, 10, 30, 12))
    p.setBrush(Qt.BrushStyle.NoBrush)
    for y in (23.5, 33.5):
        p.drawArc(QRectF(15, y, 30, 12), 180 * 16, 180 * 16)
    # Name.
    font = QFont(FONT_FAMILY)
    font.setPixelSize(27)
    font.setBold(True)
    font.setLetterSpacing(QFont.SpacingType.AbsoluteSpacing, 0.5)
    p.setFont(font)
    p.setPen(QColor("#ffffff"))
    p.drawText(QRectF(58, 6, 178, 34), Qt.AlignmentFlag.AlignLeft | Qt.AlignmentFlag.AlignVCenter,
               "Kavotronik")
    small = QFont(FONT_FAMILY)
    small.setPixelSize(10)
    small.setLetterSpacing(QFont.SpacingType.AbsoluteSpacing, 2.2)
    p.setFont(small)
    p.setPen(QColor("#cfe1f7"))
    p.drawText(QRectF(60, 38, 176, 14), Qt.AlignmentFlag.AlignLeft | Qt.AlignmentFlag.AlignVCenter,
               "RAID CONTROLLERS")
    p.end()
    return image


def draw_badge():
    """The word BETA on an orange tab."""
    image = canvas(70, 27, QColor(0, 0, 0, 0))
    p = begin(image)
    p.setPen(Qt.PenStyle.NoPen)
    p.setBrush(BADGE)
    p.drawRoundedRect(QRectF(2, 2, 66, 23), 6, 6)
    font = QFont(FONT_FAMILY)
    font.setPixelSize(15)
    font.setBold(True)
    font.setLetterSpacing(QFont.SpacingType.AbsoluteSpacing, 1.5)
    p.setFont(font)
    p.setPen(QColor("#ffffff"))
    p.drawText(QRectF(2, 2, 67, 23), Qt.AlignmentFlag.AlignCenter, "BETA")
    p.end()
    return image


# --- output -------------------------------------------------------------------------

SIZES = {
    135: (68, 32), 136: (37, 32), 137: (50, 32), 138: (63, 32), 166: (61, 32),
    168: (69, 32), 169: (56, 32), 178: (43, 32), 181: (61, 32), 182: (46, 32),
    157: (25, 35), 170: (141, 31), 171: (141, 31), 172: (141, 31),
    162: (36, 42), 158: (60, 61), 163: (21, 61), 159: (21, 61), 160: (21, 61), 161: (21, 61),
    165: (240, 61), 174: (70, 27),
}


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    default = os.path.join(here, "..", "..", "src", "ui", "diagram", "pictures")
    out = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else default)
    os.makedirs(out, exist_ok=True)
    _app = QGuiApplication(sys.argv[:1])

    opaque = dict(draw_cards())
    opaque[157] = draw_drive()
    opaque[170] = draw_cables(left=True, right=True)
    opaque[171] = draw_cables(left=False, right=True)
    opaque[172] = draw_cables(left=True, right=False)
    opaque[162] = draw_single_cylinder()
    opaque[158] = draw_mirror()
    for count, picture_id in ((1, 163), (2, 159), (3, 160), (4, 161)):
        opaque[picture_id] = draw_stack(count)
    for picture_id, image in opaque.items():
        save_opaque(image, os.path.join(out, f"{picture_id}.png"), SIZES[picture_id])
    save_keyed(draw_logo(), os.path.join(out, "165.png"), SIZES[165])
    save_keyed(draw_badge(), os.path.join(out, "174.png"), SIZES[174])
    print(f"draw_pictures: {len(opaque) + 2} pictures in {out}")


if __name__ == "__main__":
    main()
