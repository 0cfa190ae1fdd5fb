"""The hand-made template and settings of a corpus recording: what a careful
user would make by hand, to compare learned settings with.

The template is the logo as composited in the recording, at the 768 x 576
reference scale: per pixel the median, over programme frames, of the picture
as the plug-in sees it (packed YUV 4:2:2 converted with the plug-in's integer
formula), inside the logo's shape (overlay alpha at least half its largest);
everything else is a colour key that no logo pixel has. The settings file
holds the section of channel 1001 in the plug-in's layout (CR LF,
Windows-1251) with the true position. Written to OUT/NAME/handmade/.
"""
import os
import struct

import truth as truthfile

KEYS = [(0, 0, 0), (255, 0, 255), (0, 255, 0), (0, 0, 255), (255, 255, 0), (0, 255, 255)]
CHANNEL = 1001
TOLERANCE = 3
AWAY = 15     # frames kept away from dark runs (their fades) and dissolves


def plugin_bgr(y, u, v):
    """One pixel of packed YUV 4:2:2 as the plug-in converts it."""
    u -= 128
    v -= 128
    def sat(x):
        return 0 if x < 0 else 255 if x > 255 else x
    return (sat(y + (454 * u) // 256), sat(y + (-86 * u) // 256 + (-183 * v) // 256),
            sat(y + (359 * v) // 256))


def usable(n, t):
    if any(a <= n <= b for a, b in t["breaks"]):
        return False
    for kind in ("dark", "transition"):
        if any(a - AWAY <= n <= b + AWAY for a, b in t[kind]):
            return False
    return not any(a <= n <= b for a, b, _, _ in t["shifts"])


def median_logo(img, place, rect, samples, t):
    """Per overlay pixel the median B, G, R over the usable samples."""
    sx, sy, sw, sh = rect
    frames = [s for n, s in samples if usable(n, t)]
    if not frames:
        raise SystemExit("handmade: no programme frame to take the logo from")
    out = []
    for y in range(img.h):
        for x in range(img.w):
            c = place[0] - sx + x
            base = y * sw * 2 + (c // 2) * 4
            luma = base + (0 if c % 2 == 0 else 2)
            seen = [plugin_bgr(f[luma], f[base + 1], f[base + 3]) for f in frames]
            out.append(tuple(sorted(p[ch] for p in seen)[len(seen) // 2] for ch in range(3)))
    return out


def bilinear(values, w, h, u, v):
    u = min(max(u, 0.0), w - 1.0)
    v = min(max(v, 0.0), h - 1.0)
    x0, y0 = int(u), int(v)
    x1, y1 = min(x0 + 1, w - 1), min(y0 + 1, h - 1)
    fx, fy = u - x0, v - y0

    def at(x, y):
        return values[y * w + x]
    top = [a * (1 - fx) + b * fx for a, b in zip(at(x0, y0), at(x1, y0))]
    bottom = [a * (1 - fx) + b * fx for a, b in zip(at(x0, y1), at(x1, y1))]
    return [a * (1 - fy) + b * fy for a, b in zip(top, bottom)]


def write_bmp(path, w, h, rows):
    """rows: top-down lists of (b, g, r)."""
    stride = (w * 3 + 3) & ~3
    image = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for b, g, r in row:
            line += bytes((b, g, r))
        image += line + bytes(stride - len(line))
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(image), 2835, 2835, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(image), 0, 0, 14 + len(info))
    with open(path, "wb") as f:
        f.write(head + info + image)


def write_ini(path, x, y, key, tolerance):
    colorref = key[2] << 16 | key[1] << 8 | key[0]   # 0x00BBGGRR from (r, g, b)
    msg = "\xd0\xc5\xca\xcb\xc0\xcc\xc0"               # the default message, Windows-1251
    lines = ["[COMMON]", "DlgWndPosX=-100", "DlgWndPosY=-100", "[%d]" % CHANNEL,
             "LogoFileName=template.bmp", "MsgString=" + msg, "LogoPosX=%d" % x,
             "LogoPosY=%d" % y, "LogoPosTolerance=%d" % tolerance, "LeftTopPixelColor=0",
             "ColorKey=%d" % colorref, "ProcessingEnable=1", "ShowLogo=0",
             "LogoTransparency=60", "LogoOffResponseSpeed=10", "LogoOnResponseSpeed=3",
             "LogoDetectLevel=80", "LogoMatchLevel=80", "PreviewAction=1", "RecordAction=1",
             "MsgEnable=1", "MsgBackEnable=0", "MsgBackColor=4210752", "MsgTextColor=49152",
             "MsgTransparency=60"]
    with open(path, "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("latin-1"))


def write(out, truth_path, fmt, img, place, rect, samples):
    t = truthfile.read(truth_path)
    colours = median_logo(img, place, rect, samples, t)
    alpha = [(a,) for a in img.data[3::4]]
    amax = max(a for (a,) in alpha)
    x, y, w, h = t["logo"]
    sx, sy = fmt["w"] / 768, fmt["h"] / 576
    rows, used = [], set()
    for j in range(h):
        row = []
        for i in range(w):
            # The reference pixel's centre in overlay pixels.
            u = (x + i + 0.5) * sx - 0.5 - place[0]
            v = (y + j + 0.5) * sy - 0.5 - place[1]
            if bilinear(alpha, img.w, img.h, u, v)[0] >= 0.5 * amax:
                b, g, r = (round(c) for c in bilinear(colours, img.w, img.h, u, v))
                row.append((b, g, r))
                used.add((r, g, b))
            else:
                row.append(None)
        rows.append(row)
    key = next(k for k in KEYS if k not in used)
    rows = [[(key[2], key[1], key[0]) if p is None else p for p in row] for row in rows]
    folder = os.path.join(out, "handmade")
    os.makedirs(folder, exist_ok=True)
    write_bmp(os.path.join(folder, "template.bmp"), w, h, rows)
    moved = max([abs(dx) + 1 for _, _, dx, _ in t["shifts"]] + [TOLERANCE])
    write_ini(os.path.join(folder, "Zunk_LogoDetector.ini"), x, y, key, moved)
    return key
