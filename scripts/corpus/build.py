#!/usr/bin/env python3
"""Builds the evaluation corpus: for each recipe (recipes.py) the recording, its
truth file, a check of the recording against the truth, and a hand-made
template with its settings file.

Usage: build.py [--short] [--only NAME ...] [--force] [--missing] [--write-truth]
                [--truth-only]
                --video DIR --logos DIR --truth-dir DIR --default-out DIR [OUT_DIR]

OUT_DIR/NAME/ receives NAME.mp4 or NAME.ts, truth.txt, logo.png (the overlay
at stream scale), check.txt, handmade/ (template.bmp, Zunk_LogoDetector.ini)
and build.txt (what was made, how long it took). A recording whose stamp
(recipe, scripts and mode) is unchanged is kept (with --missing: every finished
one). In the full mode the truth
must equal the committed TRUTH_DIR/NAME/truth.txt (--write-truth writes it
there instead; --truth-only stops there); --short builds quarter-length versions with fast encoding,
for tests.
"""
import argparse
import hashlib
import json
import os
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.dont_write_bytecode = True   # nothing written into the source tree

import check      # noqa: E402
import handmade   # noqa: E402
import logo       # noqa: E402
from formats import FORMATS, FPS  # noqa: E402
from plan import Planner  # noqa: E402
from recipes import RECIPES  # noqa: E402
import render     # noqa: E402
import truth      # noqa: E402


def placement(r, fmt, img):
    """Top-left corner of the overlay in stream pixels, from the recipe's corner
    and margin in reference pixels."""
    w, h = fmt["w"], fmt["h"]
    mx, my = round(r["margin"][0] * w / 768), round(r["margin"][1] * h / 576)
    x = mx if r["corner"][1] == "l" else w - img.w - mx
    y = my if r["corner"][0] == "t" else h - img.h - my
    return x, y


def reference_box(fmt, x, y, img):
    w, h = fmt["w"], fmt["h"]
    return (round(x * 768 / w), round(y * 576 / h), round(img.w * 768 / w),
            round(img.h * 576 / h))


# The scripts that make a recording and what is built beside it (the recipe itself is
# hashed on its own, so a new recipe leaves the others as they are).
MAKERS = ["build.py", "check.py", "formats.py", "handmade.py", "logo.py", "plan.py",
          "render.py", "shots.py", "truth.py"]


def stamp(r, short):
    digest = hashlib.sha256(repr(sorted(r.items())).encode() + bytes([short]))
    for name in MAKERS:
        digest.update(open(os.path.join(HERE, name), "rb").read())
    return digest.hexdigest()


def build(r, args):
    name = r["name"]
    fmt_name = r.get("format", "sd")
    fmt = FORMATS[fmt_name]
    out = os.path.join(args.out, name)
    os.makedirs(out, exist_ok=True)
    video = "%s.%s" % (name, fmt["ext"])
    stamp_path = os.path.join(out, "stamp")
    want = stamp(r, args.short)
    if not args.force and os.path.exists(stamp_path) and (
            args.missing or open(stamp_path).read() == want):
        print("%-12s up to date" % name, flush=True)
        return 0
    if os.path.exists(stamp_path):
        os.remove(stamp_path)
    t0 = time.time()
    img = logo.prepare(r["logo"], args.logos, fmt["w"], fmt["h"], fmt["sar"])
    logo_png = os.path.join(out, "logo.png")
    logo.save_png(img, logo_png)
    x, y = placement(r, fmt, img)
    box = reference_box(fmt, x, y, img)
    pieces, events, pictures = Planner(r, fmt, (x, y), args.short).run()
    k = fmt["fields"]
    frames = pictures // k
    ev = dict(breaks=[(a // k, b // k) for a, b in events["breaks"]],
              black=[(a // k, b // k) for a, b in events["black"]],
              dark=[(a // k, b // k) for a, b in events["dark"]],
              transition=[(a // k, b // k) for a, b in events["transitions"]],
              shifts=[(a // k, b // k, dx, dy) for a, b, dx, dy in events["shifts"]])
    truth_path = os.path.join(out, "truth.txt")
    truth.write(truth_path, r, fmt, video, frames, box, ev)
    with open(os.path.join(out, "overlay.json"), "w") as f:
        json.dump(dict(x=x, y=y, w=img.w, h=img.h, format=fmt_name), f)
    if not args.short:
        committed = os.path.join(args.truth_dir, name, "truth.txt")
        if args.write_truth:
            os.makedirs(os.path.dirname(committed), exist_ok=True)
            with open(committed, "w") as f:
                f.write(open(truth_path).read())
        elif not os.path.exists(committed) or open(committed).read() != open(truth_path).read():
            print("%s: the truth made differs from %s (run with --write-truth when the "
                  "recipe changed on purpose)" % (name, committed), file=sys.stderr)
            return 1
    if args.truth_only:
        print("%-12s %5d frames  truth written" % (name, frames), flush=True)
        return 0
    tmp = os.path.join(out, "partial-" + video)
    with open(os.path.join(out, "pieces.log"), "w") as log:
        render.render(pieces, fmt_name, fmt, args.video, logo_png, tmp, args.short, log)
    t1 = time.time()
    result = check.check(tmp, truth_path, img, (x, y), fmt, out)
    t2 = time.time()
    print("%-12s %5d frames  built in %5.1f s, checked in %5.1f s: %s" % (
        name, frames, t1 - t0, t2 - t1, "ok" if result.ok else "FAILED"), flush=True)
    if not result.ok:   # kept under its partial name, for looking into
        for line in result.failures[:10]:
            print("  " + line, file=sys.stderr)
        return 1
    handmade.write(out, truth_path, fmt, img, (x, y), result.sample_rect, result.samples)
    os.replace(tmp, os.path.join(out, video))
    with open(os.path.join(out, "build.txt"), "w") as f:
        f.write("recording %s: %d frames (%.1f s), %dx%d, %s\nrender and encode %.1f s, "
                "check %.1f s\n" % (video, frames, frames / FPS, fmt["w"], fmt["h"], fmt_name,
                                    t1 - t0, t2 - t1))
    with open(stamp_path, "w") as f:
        f.write(want)
    return 0


def main():
    p = argparse.ArgumentParser(description="Builds the evaluation corpus.")
    p.add_argument("--short", action="store_true")
    p.add_argument("--only", action="store_true", help="build only the recordings named")
    p.add_argument("--force", action="store_true")
    p.add_argument("--missing", action="store_true", help="keep every finished recording")
    p.add_argument("--write-truth", action="store_true")
    p.add_argument("--truth-only", action="store_true", help="stop after the truth files")
    p.add_argument("--video", required=True)
    p.add_argument("--logos", required=True)
    p.add_argument("--truth-dir", required=True)
    p.add_argument("--default-out", required=True)
    p.add_argument("items", nargs="*", metavar="NAME|OUT_DIR")
    args = p.parse_args()
    names = [r["name"] for r in RECIPES]
    # Recording names (after --only) and at most one output folder.
    chosen = [i for i in args.items if args.only and i in names]
    rest = [i for i in args.items if i not in chosen]
    if len(rest) > 1 or (args.only and not chosen):
        p.error("give --only NAME... (there are: %s) and at most one OUT_DIR"
                % " ".join(names))
    args.out = rest[0] if rest else args.default_out
    args.only = chosen
    failed = 0
    start = time.time()
    for r in RECIPES:
        if args.only and r["name"] not in args.only:
            continue
        failed += build(r, args) != 0
    print("corpus: %s in %.0f s%s" % (args.out, time.time() - start,
                                      ", %d FAILED" % failed if failed else ""))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
