#!/usr/bin/env python3
"""Check a made sample against its template and truth file.

Usage: check.py VIDEO BMP LOGO_X LOGO_Y BLACK TRUTH FRAMES

Decodes every frame of VIDEO (ffmpeg, bgr24, top-down) and checks:
- there are exactly FRAMES frames;
- in every programme frame the logo rectangle matches the template: the mean
  absolute difference per channel over the template's non-key pixels stays
  small (codec loss only);
- in every advert frame that rectangle does not match the template;
- each break span of TRUTH starts and ends with exactly BLACK black frames,
  and the frames just outside those runs are not black.
Prints the measured differences; exits nonzero on any failure.
"""
import struct
import subprocess
import sys

W, H = 768, 576
PROGRAMME_MAX = 12.0   # worst channel mean difference allowed with the logo
ADVERT_MIN = 30.0      # least channel mean difference expected without it
BLACK_MEAN = 2.0       # mean byte value below which a frame counts as black


def read_bmp(path):
    data = open(path, "rb").read()
    magic, _, _, _, off = struct.unpack_from("<2sIHHI", data, 0)
    (size, w, h, planes, bpp, comp, _, _, _, _, _) = struct.unpack_from(
        "<IiiHHIIiiII", data, 14)
    if magic != b"BM" or size != 40 or planes != 1 or bpp != 24 \
            or comp != 0 or h <= 0:
        sys.exit("check.py: %s is not a bottom-up 24-bit BI_RGB bitmap" % path)
    stride = (w * 3 + 3) & ~3
    rows = []
    for y in range(h):  # top-down
        start = off + (h - 1 - y) * stride
        rows.append(data[start:start + w * 3])
    return w, h, rows


def read_truth(path):
    spans = []
    for line in open(path, encoding="ascii"):
        line = line.strip()
        if line and not line.startswith("#"):
            first, last = line.split()[:2]
            spans.append((int(first), int(last)))
    return spans


def main():
    video, bmp, lx, ly, black, truth, frames = sys.argv[1:8]
    lx, ly, black, frames = int(lx), int(ly), int(black), int(frames)
    tw, th, tpl = read_bmp(bmp)
    spans = read_truth(truth)
    frame_size = W * H * 3

    # Template pixels that are not the key (black).
    opaque = [[tpl[y][3 * x:3 * x + 3] != b"\0\0\0" for x in range(tw)]
              for y in range(th)]
    count = sum(sum(r) for r in opaque)

    def kind(n):
        for first, last in spans:
            if first <= n <= last:
                if n < first + black or n > last - black:
                    return "black"
                return "advert"
        return "programme"

    proc = subprocess.Popen(
        ["ffmpeg", "-v", "error", "-threads", "2", "-i", video,
         "-f", "rawvideo", "-pix_fmt", "bgr24", "-"],
        stdout=subprocess.PIPE)
    failures = []
    stats = {"programme": [], "advert": []}
    sums = {"programme": [0.0, 0.0, 0.0]}
    n = 0
    while True:
        frame = proc.stdout.read(frame_size)
        if len(frame) < frame_size:
            break
        k = kind(n)
        mean = sum(frame) / frame_size
        if k == "black":
            if mean > BLACK_MEAN:
                failures.append("frame %d should be black (mean %.1f)"
                                % (n, mean))
        else:
            if mean <= BLACK_MEAN:
                failures.append("frame %d is black but is %s" % (n, k))
            diff = [0, 0, 0]
            for y in range(th):
                start = ((ly + y) * W + lx) * 3
                got = frame[start:start + tw * 3]
                want = tpl[y]
                row = opaque[y]
                for x in range(tw):
                    if row[x]:
                        i = 3 * x
                        diff[0] += abs(got[i] - want[i])
                        diff[1] += abs(got[i + 1] - want[i + 1])
                        diff[2] += abs(got[i + 2] - want[i + 2])
            diff = [d / count for d in diff]
            worst = max(diff)
            stats[k].append(worst)
            if k == "programme":
                for c in range(3):
                    sums[k][c] += diff[c]
                if worst > PROGRAMME_MAX:
                    failures.append("frame %d: logo differs by %.1f"
                                    % (n, worst))
            elif worst < ADVERT_MIN:
                failures.append("frame %d: advert matches the logo (%.1f)"
                                % (n, worst))
        n += 1
    proc.wait()
    if proc.returncode != 0:
        failures.append("ffmpeg failed decoding %s" % video)
    if n != frames:
        failures.append("%d frames decoded, %d expected" % (n, frames))

    p, a = stats["programme"], stats["advert"]
    print("frames: %d (%d programme, %d advert, %d black)"
          % (n, len(p), len(a), n - len(p) - len(a)))
    if p:
        b, g, r = (s / len(p) for s in sums["programme"])
        print("logo vs template, programme frames: mean B %.2f G %.2f R %.2f,"
              " worst channel mean %.2f .. %.2f"
              % (b, g, r, min(p), max(p)))
    if a:
        print("logo rectangle vs template, advert frames: worst channel mean"
              " %.1f .. %.1f" % (min(a), max(a)))
    for f in failures[:20]:
        print("FAIL:", f)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
