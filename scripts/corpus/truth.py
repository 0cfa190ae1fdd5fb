"""Truth files of corpus recordings: written from a plan's events, read back by
the check, the hand-made settings and the evaluation.

The layout is that of data/sample/truth.txt (lines "first last start_s end_s",
comments after '#'), plus machine-readable comment lines:
  # fps 25                         frame rate
  # size 768x576                   coded frame size
  # frames 3750                    frame count
  # logo x=40 y=30 w=72 h=36       the logo's bounding box, reference pixels
  # black FIRST LAST               black frames, the logo gone too
  # dark FIRST LAST                black picture with the logo on
  # transition FIRST LAST          frames of a dissolve (both pictures mixed)
  # shift FIRST LAST dx=5 dy=2     the logo moved by (dx, dy) reference pixels
"""
import re

from formats import FPS


def secs(frame):
    return "%d.%02d" % (frame // FPS, frame % FPS * 100 // FPS)


def write(path, r, fmt, video, frames, logo_box, events):
    x, y, w, h = logo_box
    logo = r["logo"]
    lines = [
        "# Advert breaks of %s (%d frames, %d fps, %dx%d)." % (video, frames, FPS, fmt["w"],
                                                               fmt["h"]),
        "# Case: %s." % r["case"],
        "# Logo: %s.png (%s), %d %% opaque, in the %s corner; its bounding box in"
        % (logo["source"], logo["style"], round(100 * logo.get("opacity", 1.0)),
           {"tl": "top-left", "tr": "top-right", "bl": "bottom-left",
            "br": "bottom-right"}[r["corner"]]),
        "# reference pixels (768x576) below. The logo is on every frame outside the",
        "# spans and on none inside; a span takes in the black frames at its ends,",
        "# and a dissolve's frames count on the side that weighs more in them.",
        "# Frames count from 0; seconds: start = first / %d, end = (last + 1) / %d." % (FPS, FPS),
        "# Below: '# black FIRST LAST' black frames (no logo either), '# dark FIRST LAST'",
        "# a black picture with the logo on, '# transition FIRST LAST' the mixed frames",
        "# of a dissolve, '# shift FIRST LAST dx=.. dy=..' the logo moved by so many",
        "# reference pixels.",
        "# fps %d" % FPS,
        "# size %dx%d" % (fmt["w"], fmt["h"]),
        "# frames %d" % frames,
        "# logo x=%d y=%d w=%d h=%d" % (x, y, w, h),
    ]
    for kind in ("black", "dark", "transition"):
        for a, b in events[kind]:
            lines.append("# %s %d %d" % (kind, a, b))
    for a, b, dx, dy in events["shifts"]:
        lines.append("# shift %d %d dx=%d dy=%d" % (a, b, dx, dy))
    lines.append("# first_frame last_frame start_s end_s")
    for a, b in events["breaks"]:
        lines.append("%d %d %s %s" % (a, b, secs(a), secs(b + 1)))
    with open(path, "w", encoding="ascii") as f:
        f.write("\n".join(lines) + "\n")


def read(path):
    t = dict(breaks=[], black=[], dark=[], transition=[], shifts=[])
    for line in open(path, encoding="ascii"):
        line = line.strip()
        m = re.match(r"# (fps|frames) (\d+)$", line)
        if m:
            t[m.group(1)] = int(m.group(2))
            continue
        m = re.match(r"# size (\d+)x(\d+)$", line)
        if m:
            t["size"] = (int(m.group(1)), int(m.group(2)))
            continue
        m = re.match(r"# logo x=(-?\d+) y=(-?\d+) w=(\d+) h=(\d+)$", line)
        if m:
            t["logo"] = tuple(int(v) for v in m.groups())
            continue
        m = re.match(r"# (black|dark|transition) (\d+) (\d+)$", line)
        if m:
            t[m.group(1)].append((int(m.group(2)), int(m.group(3))))
            continue
        m = re.match(r"# shift (\d+) (\d+) dx=(-?\d+) dy=(-?\d+)$", line)
        if m:
            t["shifts"].append(tuple(int(v) for v in m.groups()))
            continue
        if line and not line.startswith("#"):
            first, last = line.split()[:2]
            t["breaks"].append((int(first), int(last)))
    return t
