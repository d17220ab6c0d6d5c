#!/usr/bin/env python3
"""Draws the program's own icon and button pictures and writes them under resources/.

The generated files are committed, so the build never needs Python; run this
script again only after changing a drawing:  python3 scripts/make-artwork.py
"""

import os
import struct

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources")

# The 16 colours of the standard Windows palette, as (red, green, blue).
VGA16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, MAROON, GREY, DARK_GREY, RED, YELLOW, WHITE = 0, 1, 7, 8, 9, 11, 15
# The transparent colour of a button picture is whatever its bottom-left pixel holds.
KEY = 3  # olive: a colour none of the drawings uses


def canvas(width, height, fill):
    return [[fill] * width for _ in range(height)]


def fill_rect(pic, left, top, right, bottom, colour):
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            pic[y][x] = colour


def greyed(pic):
    """The disabled look: the shape in dark grey with a white shadow one pixel down and right."""
    height, width = len(pic), len(pic[0])
    out = canvas(width, height, KEY)
    for y in range(height):
        for x in range(width):
            if pic[y][x] != KEY and y + 1 < height and x + 1 < width:
                out[y + 1][x + 1] = WHITE
    for y in range(height):
        for x in range(width):
            if pic[y][x] != KEY:
                out[y][x] = DARK_GREY
    return out


def side_by_side(first, second):
    return [a + b for a, b in zip(first, second)]


def bmp_bytes(pic, bits, palette):
    """A Windows bitmap file: BITMAPFILEHEADER, BITMAPINFOHEADER, colour table, bottom-up rows."""
    height, width = len(pic), len(pic[0])
    stride = ((width * bits + 31) // 32) * 4
    rows = bytearray()
    for y in range(height - 1, -1, -1):
        row = bytearray(stride)
        for x, index in enumerate(pic[y]):
            bit = x * bits
            row[bit // 8] |= index << (8 - bits - bit % 8)
        rows += row
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(rows), 3780, 3780,
                       len(palette), len(palette))
    offset = 14 + len(info) + len(table)
    header = struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset)
    return header + info + table + bytes(rows)


def eject_picture():
    pic = canvas(16, 16, KEY)
    for i in range(6):  # upward triangle, apex at row 3
        fill_rect(pic, 7 - i, 3 + i, 8 + i, 3 + i, BLACK)
    fill_rect(pic, 2, 11, 13, 12, BLACK)
    return pic


def plus_picture():
    pic = canvas(16, 16, KEY)
    fill_rect(pic, 7, 2, 8, 13, BLACK)
    fill_rect(pic, 2, 7, 13, 8, BLACK)
    return pic


def hide_picture():
    pic = canvas(16, 16, KEY)
    fill_rect(pic, 5, 1, 10, 8, RED)  # shaft
    for i in range(6):  # head, pointing down
        fill_rect(pic, 2 + i, 8 + i, 13 - i, 8 + i, RED)
    # a dark outline keeps the arrow readable on the button face
    outline = [row[:] for row in pic]
    for y in range(16):
        for x in range(16):
            if pic[y][x] != KEY:
                continue
            near = [(y + dy, x + dx) for dy in (-1, 0, 1) for dx in (-1, 0, 1)]
            if any(0 <= ny < 16 and 0 <= nx < 16 and pic[ny][nx] == RED for ny, nx in near):
                outline[y][x] = MAROON
    fill_rect(outline, 4, 0, 11, 0, YELLOW)  # the yellow top edge
    fill_rect(outline, 5, 1, 10, 1, YELLOW)
    outline[15][0] = KEY
    return outline


def bolt(pic, left):
    """One lightning bolt, 8 pixels wide, from the top right down to the bottom left."""
    shape = [
        (4, 7), (4, 7), (3, 6), (3, 6), (2, 5), (2, 5), (1, 7), (1, 7),
        (3, 6), (3, 5), (2, 5), (2, 4), (1, 4), (1, 3), (0, 3), (0, 2),
        (0, 1), (0, 1),
    ]
    for y, (a, b) in enumerate(shape):
        for x in range(a, b + 1):
            pic[1 + y][left + x] = 0


def about_picture():
    pic = canvas(20, 20, 1)  # index 1: white, the transparent background
    bolt(pic, 1)
    bolt(pic, 11)
    return pic


def icon_bytes():
    """MAINICON: 48 by 48 pixels in 256 colours: a screen showing a landscape wallpaper."""
    size = 48
    palette = [(0, 0, 0)] * 256
    named = {
        "clear": (0, 0, 0), "black": (0, 0, 0), "frame": (64, 64, 72), "bezel": (160, 160, 168),
        "bezel_light": (224, 224, 232), "stand": (112, 112, 120), "hill_dark": (24, 120, 40),
        "hill": (56, 168, 64), "sun": (255, 216, 32), "sun_edge": (240, 160, 0),
    }
    keys = list(named)
    for i, k in enumerate(keys):
        palette[i] = named[k]
    sky_base = len(keys)
    for i in range(24):  # a sky ramp, deep blue at the top to pale near the horizon
        t = i / 23
        palette[sky_base + i] = (int(40 + 140 * t), int(90 + 130 * t), int(200 + 55 * t))
    ix = {k: i for i, k in enumerate(keys)}
    pic = canvas(size, size, ix["clear"])
    mask = canvas(size, size, 1)

    def put(x, y, name):
        pic[y][x] = ix[name] if isinstance(name, str) else name
        mask[y][x] = 0

    for y in range(2, 38):  # the screen's case
        for x in range(1, 47):
            edge = x in (1, 46) or y in (2, 37)
            light = x == 2 or y == 3
            put(x, y, "frame" if edge else ("bezel_light" if light else "bezel"))
    for y in range(6, 34):  # the picture on the screen
        for x in range(5, 43):
            put(x, y, sky_base + min(23, (y - 6) * 24 // 22))
    for y in range(6, 34):
        for x in range(5, 43):
            dx, dy = x - 33, y - 13
            if dx * dx + dy * dy <= 20:
                put(x, y, "sun" if dx * dx + dy * dy <= 12 else "sun_edge")
            far = 21 + ((x - 14) ** 2) // 30
            near = 26 + ((x - 34) ** 2) // 40
            if y >= near:
                put(x, y, "hill")
            elif y >= far:
                put(x, y, "hill_dark")
    for x in range(4, 44):  # screen border
        put(x, 5, "frame")
        put(x, 34, "bezel_light")
    for y in range(5, 35):
        put(4, y, "frame")
        put(43, y, "bezel_light")
    for y in range(38, 43):  # neck and foot
        for x in range(20, 28):
            put(x, y, "stand")
    for y in range(43, 46):
        for x in range(12, 36):
            put(x, y, "frame" if y == 45 or x in (12, 35) else "stand")

    xor = bytearray()
    for y in range(size - 1, -1, -1):
        xor += bytes(pic[y])
    and_stride = ((size + 31) // 32) * 4
    andmask = bytearray()
    for y in range(size - 1, -1, -1):
        row = bytearray(and_stride)
        for x in range(size):
            if mask[y][x]:
                row[x // 8] |= 0x80 >> (x % 8)
        andmask += row
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 8, 0, len(xor) + len(andmask), 0, 0, 256, 0)
    image = info + table + bytes(xor) + bytes(andmask)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", size, size, 0, 0, 1, 8, len(image), 6 + 16)
    return directory + entry + image


def main():
    os.makedirs(OUT, exist_ok=True)
    glyphs = {
        "open.bmp": eject_picture(),
        "add.bmp": plus_picture(),
        "hide.bmp": hide_picture(),
    }
    for name, pic in glyphs.items():
        assert pic[15][0] == KEY
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(bmp_bytes(side_by_side(pic, greyed(pic)), 4, VGA16))
    with open(os.path.join(OUT, "about.bmp"), "wb") as f:
        f.write(bmp_bytes(about_picture(), 1, [(0, 0, 0), (255, 255, 255)]))
    with open(os.path.join(OUT, "main.ico"), "wb") as f:
        f.write(icon_bytes())


if __name__ == "__main__":
    main()
