#!/usr/bin/env python3
"""Draws the dialog's two bitmaps: the pad's centre (15 x 12, 16 colours) and the about
box's picture (32 x 32, 24 bits). Run from this folder; the .bmp files are committed."""
import struct


def bmp(width, height, bits, palette, rows):
    """rows: top-down lists of palette indices (4 bits) or (b, g, r) tuples (24 bits)."""
    stride = ((width * bits + 31) // 32) * 4
    body = b""
    for row in reversed(rows):  # bottom-up
        if bits == 4:
            line = bytearray()
            for x in range(0, width, 2):
                hi = row[x]
                lo = row[x + 1] if x + 1 < width else 0
                line.append(hi << 4 | lo)
        else:
            line = bytearray(b"".join(bytes(p) for p in row))
        body += bytes(line) + b"\0" * (stride - len(line))
    pal = b"".join(bytes((b, g, r, 0)) for (b, g, r) in palette)
    offset = 14 + 40 + len(pal)
    header = struct.pack("<2sIHHI", b"BM", offset + len(body), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(body), 2835, 2835,
                       len(palette), 0)
    return header + info + pal + body


def pad_centre():
    # The sixteen standard colours; 0 black, 7 light grey.
    palette = [(0, 0, 0), (0, 0, 128), (0, 128, 0), (0, 128, 128), (128, 0, 0), (128, 0, 128),
               (128, 128, 0), (192, 192, 192), (128, 128, 128), (0, 0, 255), (0, 255, 0),
               (0, 255, 255), (255, 0, 0), (255, 0, 255), (255, 255, 0), (255, 255, 255)]
    w, h = 15, 12
    rows = []
    for y in range(h):
        row = []
        for x in range(w):
            frame = x in (0, w - 1) or y in (0, h - 1)
            cross = (x == 7 and 2 <= y <= 9) or (y in (5, 6) and 3 <= x <= 11)
            row.append(0 if frame or cross else 7)
        rows.append(row)
    return bmp(w, h, 4, palette, rows)


def about_picture():
    # A television set: grey cabinet, dark-blue screen with a bright logo mark in its
    # top-left corner and a green tick, two legs.
    w = h = 32
    bg = (192, 192, 192)
    cabinet = (64, 64, 64)
    screen = (96, 32, 0)
    logo = (0, 200, 255)
    tick = (0, 192, 0)
    rows = [[bg] * w for _ in range(h)]
    for y in range(3, 26):
        for x in range(2, 30):
            rows[y][x] = cabinet
    for y in range(5, 24):
        for x in range(4, 28):
            rows[y][x] = screen
    for y in range(7, 11):
        for x in range(6, 12):
            rows[y][x] = logo
    for i in range(5):  # the tick: short stroke down, long stroke up
        for t in (0, 1):
            rows[15 + i + t][12 + i] = tick
    for i in range(9):
        for t in (0, 1):
            rows[19 - i + t][17 + i] = tick
    for y in range(26, 30):
        rows[y][8 - (y - 26)] = cabinet
        rows[y][23 + (y - 26)] = cabinet
    return bmp(w, h, 24, [], rows)


if __name__ == "__main__":
    with open("pad_centre.bmp", "wb") as f:
        f.write(pad_centre())
    with open("about.bmp", "wb") as f:
        f.write(about_picture())
