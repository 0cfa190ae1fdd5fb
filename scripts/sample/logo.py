#!/usr/bin/env python3
"""Turn the drawn channel logo into the detector's template and an overlay.

Usage: logo.py W H RGB_IN MASK_IN BMP_OUT RGBA_OUT

RGB_IN   raw 8-bit RGB, W*H*3 bytes: the drawing (badge on black).
MASK_IN  raw 8-bit grey, W*H bytes: nonzero where the badge is opaque.
BMP_OUT  Windows bitmap, 24-bit BI_RGB, bottom-up, 40-byte info header:
         badge pixels as drawn, everything else the colour key black.
RGBA_OUT raw RGBA, W*H*4 bytes: the same pixels, alpha 255 on the badge
         and 0 elsewhere, for compositing onto the programme.

A badge pixel that happens to be pure black would vanish into the key, so it
is lifted to (8, 8, 8).
"""
import struct
import sys


def main():
    w, h = int(sys.argv[1]), int(sys.argv[2])
    rgb = open(sys.argv[3], "rb").read()
    mask = open(sys.argv[4], "rb").read()
    if len(rgb) != w * h * 3 or len(mask) != w * h:
        sys.exit("logo.py: input sizes do not match %dx%d" % (w, h))

    pixels = []  # top-down rows of (r, g, b, opaque)
    for y in range(h):
        row = []
        for x in range(w):
            i = y * w + x
            r, g, b = rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]
            if mask[i]:
                if (r, g, b) == (0, 0, 0):
                    r, g, b = 8, 8, 8
                row.append((r, g, b, True))
            else:
                row.append((0, 0, 0, False))
        pixels.append(row)

    stride = (w * 3 + 3) & ~3
    image = bytearray()
    for row in reversed(pixels):  # bottom-up
        line = bytearray()
        for r, g, b, _ in row:
            line += bytes((b, g, r))
        line += b"\0" * (stride - len(line))
        image += line
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(image),
                       2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(image),
                         0, 0, 14 + len(info))
    with open(sys.argv[5], "wb") as f:
        f.write(header + info + image)

    with open(sys.argv[6], "wb") as f:
        for row in pixels:
            for r, g, b, opaque in row:
                f.write(bytes((r, g, b, 255 if opaque else 0)))


if __name__ == "__main__":
    main()
