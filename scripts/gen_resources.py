#!/usr/bin/python3
"""Draws every picture under resources/ and writes resources/resources.qrc.

This is a developer tool: the build never runs it, it only compiles the files
it wrote, which are committed. Run it again after changing a drawing:

    apt-get install -y python3-pil      # Debian's Pillow, once
    /usr/bin/python3 scripts/gen_resources.py

The output is deterministic (no randomness, no timestamps), so an unchanged
drawing gives byte-identical files and a clean working tree.

Cursor hot spots live in src/canvas/canvas_resources.cpp; keep them in step
with CURSOR_HOT_SPOTS below when a cursor is redrawn.
"""

import colorsys
import math
import os
import sys

from PIL import Image, ImageDraw, ImageFilter, ImageFont

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "resources")

BLACK = (0, 0, 0, 255)
WHITE = (255, 255, 255, 255)
CLEAR = (0, 0, 0, 0)

# Colours of the glyph maps: one character per pixel, a space is transparent.
GLYPH_COLORS = {
    " ": CLEAR,
    "K": BLACK,
    "W": WHITE,
    "G": (128, 128, 128, 255),
    "L": (192, 192, 192, 255),
    "R": (220, 0, 0, 255),
    "B": (0, 90, 230, 255),
    "C": (160, 215, 255, 255),
    "O": (160, 95, 35, 255),
    "P": (245, 140, 160, 255),
    "Y": (245, 205, 0, 255),
}

written = []


def save(image, relpath, **options):
    path = os.path.join(ROOT, relpath)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    image.save(path, **options)
    written.append(relpath)


# ---------------------------------------------------------------- pixel sets

def midpoint_circle(cx, cy, r):
    """The one-pixel ring of radius r that the midpoint algorithm draws."""
    points = set()
    x, y, d = 0, r, 1 - r
    while x <= y:
        for px, py in ((x, y), (y, x)):
            for sx in (-1, 1):
                for sy in (-1, 1):
                    points.add((cx + sx * px, cy + sy * py))
        x += 1
        if d < 0:
            d += 2 * x + 1
        else:
            y -= 1
            d += 2 * (x - y) + 1
    return points


def line(x0, y0, x1, y1):
    """Bresenham line, both ends included."""
    points = set()
    dx, dy = abs(x1 - x0), -abs(y1 - y0)
    sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
    err = dx + dy
    while True:
        points.add((x0, y0))
        if (x0, y0) == (x1, y1):
            return points
        e2 = 2 * err
        if e2 >= dy:
            err += dy
            x0 += sx
        if e2 <= dx:
            err += dx
            y0 += sy


def region(size, test):
    return {(x, y) for y in range(size) for x in range(size) if test(x, y)}


def diagonal(size, test):
    """A region described along the lower-left to upper-right diagonal:
    test(a, p) with a = x - y (position along the tool) and p = x + y
    (position across it)."""
    return region(size, lambda x, y: test(x - y, x + y))


def border(points):
    """Pixels of the set that touch a pixel outside it (4-neighbourhood)."""
    return {(x, y) for (x, y) in points
            if any(n not in points for n in ((x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1)))}


def halo(points, size):
    """Pixels just outside the set (8-neighbourhood), inside the image."""
    out = set()
    for (x, y) in points:
        for dx in (-1, 0, 1):
            for dy in (-1, 0, 1):
                n = (x + dx, y + dy)
                if n not in points and 0 <= n[0] < size and 0 <= n[1] < size:
                    out.add(n)
    return out


def paint(size, layers, background=CLEAR, mode="RGBA"):
    """Image from (pixel set, colour) layers, later layers on top."""
    image = Image.new(mode, (size, size), background[:len(mode)])
    pixels = image.load()
    for points, color in layers:
        for (x, y) in points:
            if 0 <= x < size and 0 <= y < size:
                pixels[x, y] = color[:len(mode)]
    return image


def from_map(rows):
    height, width = len(rows), len(rows[0])
    assert all(len(r) == width for r in rows), rows
    image = Image.new("RGBA", (width, height), CLEAR)
    pixels = image.load()
    for y, row in enumerate(rows):
        for x, ch in enumerate(row):
            pixels[x, y] = GLYPH_COLORS[ch]
    return image


# ------------------------------------------------------------------- cursors

CURSOR = 32

# Where each cursor acts, in cursor pixels; must match the C++ table.
CURSOR_HOT_SPOTS = {
    "sharp": (15, 15),
    "brush": (3, 28),
    "eraser": (15, 15),
    "eyedrop": (3, 28),
    "paint_bucket": (6, 27),
    "set_point": (15, 15),
}


def cursor(black, white_fill=frozenset()):
    """Black shape, white inside where asked, and a one-pixel white rim all
    around so that the cursor shows on any colour."""
    shape = set(black) | set(white_fill)
    return paint(CURSOR, [(halo(shape, CURSOR), WHITE), (white_fill, WHITE), (black, BLACK)])


def sharp_cursor():
    c = 15
    arms = set()
    for d in range(4, 11):
        arms |= {(c - d, c), (c + d, c), (c, c - d), (c, c + d)}
    return cursor(arms | {(c, c)})


def brush_cursor():
    axis = 31  # the tool lies on x + y = 31; its tip is (3, 28)
    bristles = diagonal(CURSOR, lambda a, p: -25 <= a <= -10 and abs(p - axis) <= min(3, (a + 25) // 4))
    ferrule = diagonal(CURSOR, lambda a, p: -9 <= a <= -6 and abs(p - axis) <= 4)
    handle = diagonal(CURSOR, lambda a, p: -5 <= a <= 14 and abs(p - axis) <= 3)
    return cursor(bristles | ferrule | border(handle), handle - border(handle))


def eraser_cursor():
    block = region(CURSOR, lambda x, y: 9 <= x <= 21 and 9 <= y <= 21)
    sleeve = region(CURSOR, lambda x, y: 9 <= x <= 21 and 9 <= y <= 13)
    inside = block - border(block) - sleeve
    return cursor(border(block) | sleeve | {(15, 15)}, inside - {(15, 15)})


def eyedrop_cursor():
    axis = 31  # tip at (3, 28)
    tip = diagonal(CURSOR, lambda a, p: -25 <= a <= -20 and abs(p - axis) <= (0 if a < -22 else 1))
    tube = diagonal(CURSOR, lambda a, p: -19 <= a <= -2 and abs(p - axis) <= 2)
    collar = diagonal(CURSOR, lambda a, p: -1 <= a <= 1 and abs(p - axis) <= 5)
    bulb = diagonal(CURSOR, lambda a, p: ((a - 8) / 7.5) ** 2 + ((p - axis) / 5.0) ** 2 <= 1.0)
    return cursor(tip | border(tube) | collar | bulb, tube - border(tube))


def polygon(size, vertices):
    mask = Image.new("1", (size, size), 0)
    ImageDraw.Draw(mask).polygon(vertices, fill=1)
    return {(x, y) for y in range(size) for x in range(size) if mask.getpixel((x, y))}


def paint_bucket_cursor():
    # An upright bucket whose paint pours over the left rim into a drop; the
    # tip of the drop is where the fill starts.
    handle = {(x, y) for (x, y) in midpoint_circle(18, 11, 8) if y <= 10}
    rim = region(CURSOR, lambda x, y: 8 <= x <= 28 and 10 <= y <= 12)
    body = polygon(CURSOR, [(10, 12), (26, 12), (24, 26), (12, 26)])
    pour = polygon(CURSOR, [(7, 10), (10, 10), (10, 12), (8, 15), (7, 20), (6, 20), (6, 15)])
    drop = region(CURSOR, lambda x, y: (x - 6) ** 2 + (y - 24) ** 2 <= 5) | {(6, 21), (6, 27)}
    black = handle | border(rim) | border(body) | pour | drop
    return cursor(black, ((rim - border(rim)) | (body - border(body))) - black)


def set_point_cursor():
    c = 15
    shape = midpoint_circle(c, c, 4) | {(c, c)}
    for d in range(6, 14):
        shape |= {(c - d, c), (c + d, c), (c, c - d), (c, c + d)}
    for k in (1, 2):  # arrow heads at the four arm ends
        for e in (-1, 1):
            shape |= {(c - 13 + k, c + e * k), (c + 13 - k, c + e * k),
                      (c + e * k, c - 13 + k), (c + e * k, c + 13 - k)}
    return cursor(shape)


def cursors():
    for name, draw in (("sharp", sharp_cursor), ("brush", brush_cursor), ("eraser", eraser_cursor),
                       ("eyedrop", eyedrop_cursor), ("paint_bucket", paint_bucket_cursor),
                       ("set_point", set_point_cursor)):
        image = draw()
        hx, hy = CURSOR_HOT_SPOTS[name]
        assert image.getpixel((hx, hy)) == BLACK, name  # the hot spot is on the drawn shape
        save(image, f"cursors/{name}.png")


# -------------------------------------------------------------- centre icons

ICON = 32
MARK = 12  # the icon pixel that lands on the centre point


def ring_and_ticks():
    shape = midpoint_circle(MARK, MARK, 5)
    for d in (6, 7):
        shape |= {(MARK, MARK - d), (MARK, MARK + d), (MARK - d, MARK), (MARK + d, MARK)}
    return shape


def square(left, top):
    return {(x, y) for x in range(left, left + 3) for y in range(top, top + 3)}


def inversion_icon(shape):
    # White marks the pixels the program inverts; black leaves the display alone.
    return paint(ICON, [(shape, WHITE)], background=BLACK, mode="RGB")


def center_icons():
    centre = ring_and_ticks() | {(MARK, MARK)}
    save(inversion_icon(centre | square(18, 17)), "icons/center_1.png")
    save(inversion_icon(centre | square(18, 17) | square(23, 17)), "icons/center_2.png")
    plus = {(MARK, y) for y in range(8, 17)} | {(x, MARK) for x in range(8, 17)}
    save(inversion_icon(plus), "icons/center_scr.png")
    save(paint(ICON, [(ring_and_ticks(), (192, 192, 192, 255))]), "icons/center2_shadow.png")


# -------------------------------------------------------------- shadow image

def shadow_image():
    w, h, inset = 400, 300, 20
    offset, blur = 7, 5
    image = Image.new("RGB", (w, h), (127, 127, 127))
    mask = Image.new("L", (w, h), 0)
    ImageDraw.Draw(mask).rectangle((inset + offset, inset + offset, w - inset - 1 + offset, h - inset - 1 + offset),
                                   fill=215)
    mask = mask.filter(ImageFilter.GaussianBlur(blur))
    image = Image.composite(Image.new("RGB", (w, h), (20, 20, 20)), image, mask)
    ImageDraw.Draw(image).rectangle((inset, inset, w - inset - 1, h - inset - 1), fill=(255, 255, 255))
    save(image, "images/img_sblur.jpg", quality=92, optimize=False)


# ----------------------------------------------------------- palette picture

def palette_picture():
    w, h = 198, 40
    image = Image.new("RGB", (w, h))
    pixels = image.load()
    for x in range(w):
        r, g, b = colorsys.hsv_to_rgb(x / (w - 1) % 1.0, 1.0, 1.0)
        for y in range(30):
            if y <= 15:
                t = (15 - y) / 15 * 0.85  # towards white
                mix = [c + (1 - c) * t for c in (r, g, b)]
            else:
                t = (y - 15) / 14 * 0.85  # towards black
                mix = [c * (1 - t) for c in (r, g, b)]
            pixels[x, y] = tuple(round(255 * c) for c in mix)
        grey = 255 if x <= 11 else 0 if x >= 187 else round(255 * (187 - x) / (187 - 11))
        for y in range(30, 40):
            pixels[x, y] = (grey, grey, grey)
    save(image, "images/palette.png")


# -------------------------------------------------------------------- glyphs

GLYPH = 16


def tool_glyphs():
    save(from_map([
        "       K        ",
        "      KKK       ",
        "     KKKKK      ",
        "       K        ",
        "       K        ",
        "  K   RRR   K   ",
        " KK  R   R  KK  ",
        "KKKKKR K RKKKKK ",
        " KK  R   R  KK  ",
        "  K   RRR   K   ",
        "       K        ",
        "       K        ",
        "     KKKKK      ",
        "      KKK       ",
        "       K        ",
        "                ",
    ]), "glyphs/tools/move.png")

    axis = 15  # tools lie on x + y = 15, tip at the lower left
    handle = diagonal(GLYPH, lambda a, p: 1 <= a <= 12 and abs(p - axis) <= 1)
    brush = paint(GLYPH, [
        (handle, GLYPH_COLORS["O"]),
        (diagonal(GLYPH, lambda a, p: -2 <= a <= 0 and abs(p - axis) <= 2), GLYPH_COLORS["G"]),
        (diagonal(GLYPH, lambda a, p: -12 <= a <= -3 and abs(p - axis) <= min(2, (a + 12) // 3)), BLACK),
    ])
    save(brush, "glyphs/tools/brush.png")

    save(from_map([
        "                ",
        "                ",
        "                ",
        "        KKKKKKK ",
        "       KBBBBBBK ",
        "      KBBBBBBK  ",
        "     KBBBBBBK   ",
        "    KKKKKKKK    ",
        "   KPPPPPPK     ",
        "  KPPPPPPK      ",
        " KPPPPPPK       ",
        " KKKKKKK        ",
        "                ",
        "                ",
        "                ",
        "                ",
    ]), "glyphs/tools/eraser.png")

    tube = diagonal(GLYPH, lambda a, p: -8 <= a <= 0 and abs(p - axis) <= 1)
    eyedrop = paint(GLYPH, [
        (diagonal(GLYPH, lambda a, p: -12 <= a <= -9 and p == axis), BLACK),
        (tube, BLACK),
        (tube - border(tube), GLYPH_COLORS["C"]),
        (diagonal(GLYPH, lambda a, p: 1 <= a <= 2 and abs(p - axis) <= 3), BLACK),
        (diagonal(GLYPH, lambda a, p: ((a - 7) / 4.5) ** 2 + ((p - axis) / 3.0) ** 2 <= 1.0), BLACK),
    ])
    save(eyedrop, "glyphs/tools/eyedrop.png")

    save(from_map([
        "                ",
        "     KKKKKK     ",
        "    K      K    ",
        "   K        K   ",
        "  KKKKKKKKKKKK  ",
        "  KBBBBBBBBBBKB ",
        "  KWWWWWWWWWWKBB",
        "   KWWWWWWWWK BB",
        "   KWWWWWWWWK BB",
        "   KWWWWWWWWK B ",
        "    KWWWWWWK    ",
        "    KWWWWWWK    ",
        "    KKKKKKKK    ",
        "                ",
        "                ",
        "                ",
    ]), "glyphs/tools/paint_bucket.png")


def quarter_turn(points):
    """The points turned a quarter clockwise about the glyph's centre."""
    return {(GLYPH - 1 - y, x) for (x, y) in points}


def mirrored(points):
    """The points mirrored across the glyph's vertical middle line."""
    return {(GLYPH - 1 - x, y) for (x, y) in points}


def polyline(points):
    out = set()
    for (x0, y0), (x1, y1) in zip(points, points[1:]):
        out |= line(x0, y0, x1, y1)
    return out


def all_turns(points):
    out, turned = set(), set(points)
    for _ in range(4):
        out |= turned
        turned = quarter_turn(turned)
    return out


def reflection_glyphs():
    red = GLYPH_COLORS["R"]
    centre = {(7, 7), (8, 7), (7, 8), (8, 8)}
    # One stroke; each mode shows the copies it would paint of it.
    stroke = polyline([(5, 2), (2, 5), (5, 8), (3, 12)])
    save(paint(GLYPH, [(stroke, BLACK)]), "glyphs/reflections/none.png")

    spokes = all_turns(polyline([(7, 1), (7, 4)]) | polyline([(2, 2), (4, 4)]))
    save(paint(GLYPH, [(spokes, BLACK), (centre, red)]), "glyphs/reflections/primary.png")

    vee = polyline([(6, 5), (4, 1)])
    save(paint(GLYPH, [(all_turns(vee | mirrored(vee)), BLACK), (centre, red)]),
         "glyphs/reflections/mirror_primary.png")

    satellites = all_turns(midpoint_circle(7, 2, 2))
    save(paint(GLYPH, [(satellites, BLACK), (centre, red)]), "glyphs/reflections/secondary.png")

    axis = {(x, y) for x in (7, 8) for y in range(0, GLYPH, 2)}
    save(paint(GLYPH, [(axis, red), (stroke | mirrored(stroke), BLACK)]), "glyphs/reflections/vertical.png")
    turned = {(y, x) for (x, y) in stroke}
    save(paint(GLYPH, [({(y, x) for (x, y) in axis}, red), (turned | {(x, GLYPH - 1 - y) for (x, y) in turned}, BLACK)]),
         "glyphs/reflections/horizontal.png")

    # A flag repeated over four cells of a lattice whose edges are dotted.
    flag = polyline([(2, 6), (2, 1), (5, 2), (2, 3)])
    tiles = {(x + dx, y + dy) for (x, y) in flag for dx in (0, 8) for dy in (0, 8)}
    edges = {(7, y) for y in range(0, GLYPH, 2)} | {(x, 7) for x in range(0, GLYPH, 2)}
    save(paint(GLYPH, [(edges, red), (tiles, BLACK)]), "glyphs/reflections/pattern.png")


def coloring_glyphs():
    save(from_map([
        "                ",
        "                ",
        "KKKKKKKKK       ",
        "KRRRRRRRK       ",
        "KRRRRRRRK       ",
        "KRRRRRRRK       ",
        "KRRRRRRRK KKK   ",
        "KRRRRRRRKK   K  ",
        "KRRRRRRRKK   K  ",
        "KRRRRRRRKK   K  ",
        "KKKKKKKKKKKKKKK ",
        "        KYYYYYK ",
        "        KYYKYYK ",
        "        KYYKYYK ",
        "        KYYYYYK ",
        "        KKKKKKK ",
    ]), "glyphs/coloring/protect_color.png")

    save(from_map([
        "            OO  ",
        "           OOO  ",
        "          OOO   ",
        "         OOO    ",
        "        GGG     ",
        "       GGG      ",
        "KKKKKKKKK       ",
        "KRRRRRKKK       ",
        "KRRRRKKRK       ",
        "KRRRKKRRK       ",
        "KRRRRRRRK       ",
        "KRRRRRRRK       ",
        "KRRRRRRRK       ",
        "KRRRRRRRK       ",
        "KKKKKKKKK       ",
        "                ",
    ]), "glyphs/coloring/paint_over_color.png")

    save(from_map([
        "                ",
        "     KKKKK      ",
        "   KK     KK K  ",
        "  K         KK  ",
        "  K        KKK  ",
        " K    RRR       ",
        " K   RRRRR    K ",
        " K   RRRRR    K ",
        " K   RRRRR    K ",
        "      RRR     K ",
        "  KKK        K  ",
        "  KK         K  ",
        "  K KK     KK   ",
        "      KKKKK     ",
        "                ",
        "                ",
    ]), "glyphs/coloring/auto_mask.png")


def disk(diameter):
    r = diameter / 2
    return region(GLYPH, lambda x, y: (x + 0.5 - 8) ** 2 + (y + 0.5 - 8) ** 2 <= r * r)


def brush_size_glyphs():
    save(paint(GLYPH, [({(8, 8)}, BLACK)]), "glyphs/brush_size/brush_1.png")
    save(paint(GLYPH, [(disk(4), BLACK)]), "glyphs/brush_size/brush_3.png")
    save(paint(GLYPH, [(disk(8), BLACK)]), "glyphs/brush_size/brush_7.png")
    save(paint(GLYPH, [(disk(12), BLACK)]), "glyphs/brush_size/brush_13.png")
    corner = region(GLYPH, lambda x, y: x + y >= 26)
    save(paint(GLYPH, [(disk(12) | corner, BLACK)]), "glyphs/brush_size/brush_21.png")


def palette_glyphs():
    save(from_map([
        "KKKKKKK     ",
        "KKKKKKK     ",
        "KKKKKKK     ",
        "KKKKKKKKKKK ",
        "KKKKKKKWWWK ",
        "KKKKKKKWWWK ",
        "KKKKKKKWWWK ",
        "   KWWWWWWK ",
        "   KWWWWWWK ",
        "   KWWWWWWK ",
        "   KKKKKKKK ",
        "            ",
    ]), "glyphs/palette/black_and_white.png")

    save(from_map([
        "  K         ",
        " KK         ",
        "KKKKKKK     ",
        " KK    K    ",
        "  K     K   ",
        "         K  ",
        "         K  ",
        "         K  ",
        "       KKKKK",
        "        KKK ",
        "         K  ",
        "            ",
    ]), "glyphs/palette/exchange.png")


COMMAND = 20


def command_glyphs():
    """The commands bar: four 20 x 20 file and clipboard glyphs, and the
    16 x 16 undo and redo arrows."""
    page = region(COMMAND, lambda x, y: 4 <= x <= 15 and 2 <= y <= 17 and x - y <= 9)
    ear = region(COMMAND, lambda x, y: 11 <= x <= 15 and 2 <= y <= 6 and x - y >= 9)
    save(paint(COMMAND, [(page, WHITE), (border(page), BLACK), (ear, GLYPH_COLORS["L"]), (border(ear), BLACK)]),
         "glyphs/commands/new.png")

    back = region(COMMAND, lambda x, y: (2 <= x <= 15 and 5 <= y <= 16) or (2 <= x <= 7 and 3 <= y <= 5))
    front = region(COMMAND, lambda x, y: 9 <= y <= 16 and 2 + (16 - y) // 2 <= x <= 17 - (16 - y) // 2 + 1)
    save(paint(COMMAND, [(back, GLYPH_COLORS["Y"]), (border(back), BLACK),
                         (front, (250, 225, 120, 255)), (border(front), BLACK)]),
         "glyphs/commands/open.png")

    body = region(COMMAND, lambda x, y: 2 <= x <= 17 and 2 <= y <= 17 and x - y <= 13)
    label = region(COMMAND, lambda x, y: 5 <= x <= 14 and 3 <= y <= 8)
    shutter = region(COMMAND, lambda x, y: 6 <= x <= 13 and 12 <= y <= 17)
    slot = region(COMMAND, lambda x, y: 10 <= x <= 11 and 13 <= y <= 15)
    save(paint(COMMAND, [(body, GLYPH_COLORS["B"]), (border(body), BLACK), (label, WHITE),
                         (shutter, GLYPH_COLORS["L"]), (slot, BLACK)]),
         "glyphs/commands/save.png")

    back_sheet = region(COMMAND, lambda x, y: 2 <= x <= 11 and 2 <= y <= 13)
    front_sheet = region(COMMAND, lambda x, y: 8 <= x <= 17 and 6 <= y <= 17)
    text = region(COMMAND, lambda x, y: 10 <= x <= 15 and y in (9, 11, 13, 15))
    save(paint(COMMAND, [(back_sheet, WHITE), (border(back_sheet), BLACK), (front_sheet, WHITE),
                         (border(front_sheet), BLACK), (text, GLYPH_COLORS["G"])]),
         "glyphs/commands/copy.png")

    # A half ring open to the left whose upper end carries the arrow head.
    ring = region(GLYPH, lambda x, y: 16 <= (x - 7.5) ** 2 + (y - 8.5) ** 2 <= 30 and (x >= 7 or y >= 9))
    head = region(GLYPH, lambda x, y: 1 <= x <= 6 and abs(y - 4) <= x - 2)
    undo = ring | head
    save(paint(GLYPH, [(undo, GLYPH_COLORS["B"])]), "glyphs/commands/undo.png")
    save(paint(GLYPH, [(mirrored(undo), GLYPH_COLORS["B"])]), "glyphs/commands/redo.png")


def version_banner():
    """The about box's 389 x 68 banner: the name beside a small rosette."""
    width, height = 389, 68
    image = Image.new("RGB", (width, height), (255, 255, 255))
    draw = ImageDraw.Draw(image)
    navy = (20, 40, 120)
    cx, cy = 34, 34
    for k in range(12):
        phi = k * math.pi / 6
        x = cx + round(26 * math.cos(phi))
        y = cy + round(26 * math.sin(phi))
        draw.line([(cx, cy), (x, y)], fill=navy, width=2)
        draw.ellipse([x - 3, y - 3, x + 3, y + 3], fill=(200, 30, 60))
    font = ImageFont.truetype("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf", 40)
    draw.text((76, 6), "Velmora", font=font, fill=navy)
    small = ImageFont.truetype("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", 16)
    draw.text((278, 27), "version 2.1", font=small, fill=(90, 90, 90))
    draw.line([(76, 56), (372, 56)], fill=(200, 30, 60), width=2)
    save(image.convert("P", palette=Image.ADAPTIVE, colors=32), "images/version.gif")


APP_ICON_SIZES = (16, 32, 48, 64, 128, 256)


def app_icon(size):
    """The application icon: a twelve-fold rosette of petals around a ring,
    drawn large and scaled down so every size keeps the same figure."""
    big = 1024
    image = Image.new("RGBA", (big, big), CLEAR)
    draw = ImageDraw.Draw(image)
    c = big / 2
    draw.ellipse([24, 24, big - 24, big - 24], fill=(20, 40, 120, 255))
    for k in range(12):
        phi = k * math.pi / 6
        tip = (c + 380 * math.cos(phi), c + 380 * math.sin(phi))
        left = (c + 170 * math.cos(phi - 0.33), c + 170 * math.sin(phi - 0.33))
        right = (c + 170 * math.cos(phi + 0.33), c + 170 * math.sin(phi + 0.33))
        colour = (235, 60, 90, 255) if k % 2 else (250, 200, 40, 255)
        draw.polygon([(c, c), left, tip, right], fill=colour)
    draw.ellipse([c - 90, c - 90, c + 90, c + 90], fill=WHITE)
    draw.ellipse([c - 40, c - 40, c + 40, c + 40], fill=(20, 40, 120, 255))
    return image.resize((size, size), Image.LANCZOS)


def app_icons():
    for size in APP_ICON_SIZES:
        save(app_icon(size), f"icons/app/velmora_{size}.png")


def qrc():
    lines = ["<!DOCTYPE RCC>", '<RCC version="1.0">', '<qresource prefix="/">']
    lines += [f"    <file>{path}</file>" for path in written]
    lines += ["</qresource>", "</RCC>", ""]
    with open(os.path.join(ROOT, "resources.qrc"), "w", newline="\n") as f:
        f.write("\n".join(lines))


def main():
    cursors()
    center_icons()
    shadow_image()
    palette_picture()
    tool_glyphs()
    reflection_glyphs()
    coloring_glyphs()
    brush_size_glyphs()
    palette_glyphs()
    command_glyphs()
    version_banner()
    app_icons()
    qrc()
    print(f"wrote {len(written)} files and resources.qrc under {os.path.normpath(ROOT)}")


if __name__ == "__main__":
    sys.exit(main())
