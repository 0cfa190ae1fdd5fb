"""Checks a built recording against its truth file, from one decoding pass:

- exactly the frame count the truth gives;
- the logo where the truth has it and nowhere else: in every frame, pixels of
  the logo's shape are compared with pixels 3 pixels outside it (the
  background beside the logo). "With the logo" predicts the inside pixel as the
  overlay composited over that background, "without" as the background itself;
  whichever predicts better by a clear margin and by some levels wins, or the
  frame is left undecided (a logo the picture hides, white on white).
  Programme frames may not be decided "without", advert frames may not be
  decided "with", and at least half the programme frames must be decided
  "with". Frames of dissolves are skipped;
- black frames where the truth says so (the picture outside the logo black in
  "dark" frames), and the frames beside each black run not black (those beside
  a dark run are the fades into it).

Run alone (main below) it checks a recording against another truth file.
It also keeps, for the hand-made template, the logo area of every tenth frame
as the plug-in sees it (packed YUV 4:2:2, converted as the plug-in converts).
"""
import json
import os
import subprocess
import sys

import truth as truthfile

THUMB_W, THUMB_H = 64, 48
BLACK_MAX = 6           # brightest thumbnail value of a black picture
NOT_BLACK_MEAN = 8      # mean thumbnail value above which a picture is not black
MARGIN = 0.75           # the better prediction must have at most this share of the error
EVIDENCE = 3.0          # and be better by this many levels a pixel and channel
DISTANCE = 3            # pixels between a logo pixel and its background pixel
SAMPLE_EVERY = 10       # frames between template samples
MAX_PAIRS = 800


def ranges(frames):
    """'3-5, 9' from [3, 4, 5, 9]."""
    out = []
    for n in frames:
        if out and out[-1][1] == n - 1:
            out[-1][1] = n
        else:
            out.append([n, n])
    return ", ".join("%d" % a if a == b else "%d-%d" % (a, b) for a, b in out)


class Result:
    def __init__(self):
        self.failures = []
        self.bad = {}       # what is wrong: the frames it is wrong in
        self.lines = []
        self.samples = []   # (frame, YUY2 bytes of the sample rectangle)
        self.sample_rect = None

    @property
    def ok(self):
        return not self.failures


def region_of(fmt, img, place, shifts):
    """The rectangle decoded for the logo: every place it takes, with room for
    the background pixels around it; x and width even (4:2:2 pairs)."""
    xs, ys = [place[0]], [place[1]]
    for _, _, dx, dy in shifts:
        xs.append(place[0] + round(dx * fmt["w"] / 768))
        ys.append(place[1] + round(dy * fmt["h"] / 576))
    m = DISTANCE + 2
    x0 = max(0, min(xs) - m) // 2 * 2
    y0 = max(0, min(ys) - m)
    x1 = min(fmt["w"], max(xs) + img.w + m)
    y1 = min(fmt["h"], max(ys) + img.h + m)
    w = (x1 - x0) // 2 * 2
    return x0, y0, w, y1 - y0


def pairs_for(img, ox, oy, rw, rh):
    """(background index, logo index, alpha, colour) pairs in region pixels for
    the overlay placed at (ox, oy) of the region."""
    d = img.data
    amax = max(d[3::4])
    out = []
    for y in range(img.h):
        for x in range(img.w):
            i = 4 * (y * img.w + x)
            a = d[i + 3]
            if a < 0.6 * amax:
                continue
            for dx, dy in ((DISTANCE, 0), (-DISTANCE, 0), (0, DISTANCE), (0, -DISTANCE)):
                px, py = x + dx, y + dy
                inside = 0 <= px < img.w and 0 <= py < img.h
                if inside and d[4 * (py * img.w + px) + 3] > 0:
                    continue
                bx, by = ox + px, oy + py
                if not (0 <= bx < rw and 0 <= by < rh):
                    continue
                out.append(((by * rw + bx) * 3, ((oy + y) * rw + ox + x) * 3, a / 255.0,
                            (d[i], d[i + 1], d[i + 2])))
    step = max(1, len(out) // MAX_PAIRS)
    return out[::step]


def logo_verdict(frame, pairs):
    """1 with the logo, 0 without, None undecided."""
    e_with = e_without = 0.0
    for p, q, a, colour in pairs:
        for c in range(3):
            bg = frame[p + c]
            seen = frame[q + c]
            e_with += abs(seen - (a * colour[c] + (1 - a) * bg))
            e_without += abs(seen - bg)
    if abs(e_with - e_without) < EVIDENCE * 3 * len(pairs):
        return None   # the logo hardly differs from the picture under it
    if e_with < MARGIN * e_without:
        return 1
    if e_without < MARGIN * e_with:
        return 0
    return None


def decode(video, fmt, region, sample_rect, work):
    """Decodes the recording once into three raw files: the logo region (RGB),
    a thumbnail of every frame (RGB) and every tenth frame's sample rectangle
    (YUV 4:2:2)."""
    x, y, w, h = region
    sx, sy, sw, sh = sample_rect
    files = [os.path.join(work, n) for n in ("region.rgb", "thumbs.rgb", "samples.yuyv")]
    # Pixel formats are converted before cropping: 4:2:0 crops round to even rows.
    graph = ("[0:v]split=3[a][b][c];[a]format=rgb24,crop=%d:%d:%d:%d[ra];"
             "[b]scale=%d:%d:flags=area,format=rgb24[rb];"
             "[c]select='not(mod(n,%d))',format=yuyv422,crop=%d:%d:%d:%d[rc]"
             % (w, h, x, y, THUMB_W, THUMB_H, SAMPLE_EVERY, sw, sh, sx, sy))
    cmd = ["nice", "ffmpeg", "-nostdin", "-v", "error", "-threads", "2", "-i", video,
           "-filter_complex", graph]
    for label, pix, path in zip(("[ra]", "[rb]", "[rc]"), ("rgb24", "rgb24", "yuyv422"), files):
        cmd += ["-map", label, "-fps_mode", "passthrough", "-f", "rawvideo", "-pix_fmt", pix,
                "-y", path]
    if subprocess.run(cmd).returncode != 0:
        raise SystemExit("check: ffmpeg could not decode %s" % video)
    return files


def check(video, truth_path, img, place, fmt, work):
    t = truthfile.read(truth_path)
    res = Result()
    region = region_of(fmt, img, place, t["shifts"])
    rx, ry, rw, rh = region
    # The plug-in's own rectangle of the logo at its usual place, x and width even.
    sx = place[0] // 2 * 2
    sample_rect = (sx, place[1], (place[0] + img.w - sx + 1) // 2 * 2, img.h)
    res.sample_rect = sample_rect
    files = decode(video, fmt, region, sample_rect, work)
    frame_size = rw * rh * 3
    thumb_size = THUMB_W * THUMB_H * 3

    def place_at(n):
        for a, b, dx, dy in t["shifts"]:
            if a <= n <= b:
                return (place[0] + round(dx * fmt["w"] / 768),
                        place[1] + round(dy * fmt["h"] / 576))
        return place

    pair_cache = {}

    def pairs(n):
        p = place_at(n)
        if p not in pair_cache:
            pair_cache[p] = pairs_for(img, p[0] - rx, p[1] - ry, rw, rh)
        return pair_cache[p]

    def within(n, spans):
        return any(a <= n <= b for a, b in spans)

    # Thumbnail cells the logo touches (left out of the "dark" test).
    cx0 = rx * THUMB_W // fmt["w"]
    cx1 = (rx + rw) * THUMB_W // fmt["w"] + 1
    cy0 = ry * THUMB_H // fmt["h"]
    cy1 = (ry + rh) * THUMB_H // fmt["h"] + 1

    def dark_max(thumb):
        return max(thumb[3 * (y * THUMB_W + x) + c] for y in range(THUMB_H)
                   for x in range(THUMB_W) for c in range(3)
                   if not (cx0 <= x < cx1 and cy0 <= y < cy1))

    # The frames beside a black run (not those beside a dark run: fades).
    blacks = t["black"] + t["dark"]
    beside = set()
    for a, b in t["black"]:
        beside.update((a - 1, b + 1))
    beside = {n for n in beside if not within(n, blacks) and 0 <= n < t["frames"]}
    counts = {"programme": [0, 0, 0], "advert": [0, 0, 0]}  # with, without, undecided
    fr = open(files[0], "rb")
    ft = open(files[1], "rb")
    n = 0
    while True:
        frame = fr.read(frame_size)
        thumb = ft.read(thumb_size)
        if len(frame) < frame_size or len(thumb) < thumb_size:
            break
        if within(n, t["black"]):
            if max(thumb) > BLACK_MAX:
                res.bad.setdefault("not black", []).append(n)
        elif within(n, t["dark"]):
            if dark_max(thumb) > BLACK_MAX:
                res.bad.setdefault("not black around the logo", []).append(n)
        if n in beside and sum(thumb) / thumb_size <= NOT_BLACK_MEAN:
            res.bad.setdefault("black beside a black run", []).append(n)
        if not within(n, t["transition"]) and not within(n, t["black"]):
            kind = "advert" if within(n, t["breaks"]) else "programme"
            v = logo_verdict(frame, pairs(n))
            counts[kind][2 if v is None else 1 - v] += 1
            if kind == "programme" and v == 0:
                res.bad.setdefault("no logo in the programme", []).append(n)
            if kind == "advert" and v == 1:
                res.bad.setdefault("a logo in an advert", []).append(n)
        n += 1
    fr.close()
    ft.close()
    for what, frames in res.bad.items():
        res.failures.append("%s: %d frames (%s)" % (what, len(frames), ranges(frames)))
    if n != t["frames"]:
        res.failures.append("%d frames decoded, %d expected" % (n, t["frames"]))
    p, a = counts["programme"], counts["advert"]
    if p[0] < 0.5 * sum(p):
        res.failures.append("the logo is seen in only %d of %d programme frames" % (p[0], sum(p)))
    sample_size = sample_rect[2] * sample_rect[3] * 2
    with open(files[2], "rb") as f:
        k = 0
        while True:
            s = f.read(sample_size)
            if len(s) < sample_size:
                break
            res.samples.append((k * SAMPLE_EVERY, s))
            k += 1
    for path in files:
        os.remove(path)
    res.lines = [
        "frames: %d decoded, %d expected" % (n, t["frames"]),
        "programme frames: logo seen in %d, not seen in %d, undecided %d" % tuple(p),
        "advert frames: logo seen in %d, not seen in %d, undecided %d" % tuple(a),
        "black runs: %d, dark runs (logo on): %d, transitions skipped: %d" % (
            len(t["black"]), len(t["dark"]), len(t["transition"])),
    ] + ["FAIL: " + f for f in res.failures[:30]]
    with open(os.path.join(work, "check.txt"), "w") as f:
        f.write("\n".join(res.lines) + "\n")
    return res


def main():
    """check.py VIDEO TRUTH RECORDING_DIR WORK_DIR: checks VIDEO against TRUTH with
    the overlay of a built recording (RECORDING_DIR/logo.png and overlay.json);
    prints the findings (also to WORK_DIR/check.txt) and exits 1 on a failure."""
    from formats import FORMATS
    import logo
    if len(sys.argv) != 5:
        sys.exit("usage: check.py VIDEO TRUTH RECORDING_DIR WORK_DIR")
    video, truth_path, folder, work = sys.argv[1:]
    for path in (video, truth_path, os.path.join(folder, "overlay.json")):
        if not os.path.isfile(path):
            sys.exit("check: no file %s" % path)
    meta = json.load(open(os.path.join(folder, "overlay.json")))
    img = logo.load_png(os.path.join(folder, "logo.png"))
    res = check(video, truth_path, img, (meta["x"], meta["y"]), FORMATS[meta["format"]], work)
    print("\n".join(res.lines))
    sys.exit(0 if res.ok else 1)


if __name__ == "__main__":
    main()
