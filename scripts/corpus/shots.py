"""Shots: what the camera of a corpus recording shows, chosen with a seeded
random generator, and the ffmpeg filter chain that renders one.

The shared footage is only four clips, so programme shots move over it the way
a camera would: pans and slow drifts of a crop window, zooms in and out,
hand-held shake, mirror images, slow and fast motion, and a grade per shot.
Advert spots use other footage and harder transforms, ffmpeg's synthetic
sources (moving test patterns, gradients, cellular automata, a fractal zoom)
and captions. A shot is a plain dict; every random choice is made here, so a
recipe and its seed give the same shots every time.
"""

CLIPS = {  # name: file, width, height, seconds
    "vtest": ("vtest.avi", 768, 576, 79.5),
    "box": ("box.mp4", 640, 480, 15.1),
    "cup": ("cup.mp4", 640, 480, 8.0),
    "tree": ("tree.avi", 320, 240, 29.5),
}

FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
BRANDS = ["FRESKO", "MAXIMO", "KOLA 7", "DOMUS", "VELOX", "NORD MILK", "ALTA BANK",
          "SOLANO", "PIKO", "TERRA", "LUMO", "ORBITA"]
SLOGANS = ["NEW", "SALE 50", "ONLY 9.99", "CALL NOW", "BEST PRICE", "TRY IT", "FREE",
           "2 FOR 1", "TODAY", "ORDER NOW"]
COLOURS = ["0xE8C020", "0xD03030", "0x2050C0", "0x20A040", "0xF07010", "0x8030A0",
           "0xF0F0F0", "0x101010", "0x30B0C0", "0xC02070"]
SYNTHS = ["testsrc2", "gradients", "life", "cellauto", "mandelbrot", "packshot"]


def programme_shot(rng, pool, frames, bright=False):
    """One programme shot of the given length from a clip of the pool."""
    clip = rng.choice(pool)
    _, _, _, secs = CLIPS[clip]
    if clip == "vtest":   # a still camera: always give it camera motion
        motion = rng.choice(["pan", "pan", "zoomin", "zoomout", "shake", "drift"])
    else:                 # already hand-held
        motion = rng.choice(["drift", "zoomin", "zoomout", "shake", "still"])
    shot = dict(src=clip, start=round(rng.uniform(0, secs * 0.8), 2), frames=frames,
                speed=rng.choice([1, 1, 1, 0.5, 0.75, 1.5, 2]),
                motion=_motion(rng, motion), flip=rng.random() < 0.3,
                eq=_grade(rng, bright), caption=None)
    return shot


def advert_shots(rng, pool, frames, step=1):
    """An advert spot: one to three shots of footage or synthetic pictures; each
    shot's length a multiple of step (2 for fields: cuts fall between frames)."""
    parts = rng.choice([1, 2, 2, 3])
    shots = []
    left = frames
    for i in range(parts):
        n = left if i == parts - 1 else max(25, left // (parts - i) + rng.randint(-15, 15))
        n = n // step * step
        left -= n
        src = rng.choice(pool)
        if src == "synth":
            src = "synth:" + rng.choice(SYNTHS)
            shot = dict(src=src, start=0, frames=n, speed=1, motion=None, flip=False,
                        eq=None, seed=rng.randint(1, 10 ** 6),
                        colours=rng.sample(COLOURS, 3))
        else:
            motion = rng.choice(["pan", "zoomin", "zoomout", "shake", "still"])
            shot = dict(src=src, start=round(rng.uniform(0, CLIPS[src][3] * 0.7), 2), frames=n,
                        speed=rng.choice([1, 1, 1.5, 2, 3]), motion=_motion(rng, motion),
                        flip=rng.random() < 0.5, eq=_advert_grade(rng))
        shot["caption"] = _caption(rng) if rng.random() < 0.7 else None
        shots.append(shot)
    return shots


def _motion(rng, kind):
    m = dict(kind=kind)
    if kind in ("pan", "drift"):
        m["size"] = rng.uniform(0.55, 0.8) if kind == "pan" else rng.uniform(0.8, 0.92)
        m["from"] = (rng.random(), rng.random())
        m["to"] = (rng.random(), rng.random())
        if kind == "drift":  # a slow move over a few per cent of the picture
            m["to"] = tuple(min(1, max(0, a + rng.uniform(-0.25, 0.25))) for a in m["from"])
    elif kind in ("zoomin", "zoomout"):
        m["zoom"] = rng.uniform(1.25, 1.7)
        m["centre"] = (rng.uniform(0.2, 0.8), rng.uniform(0.2, 0.8))
    elif kind == "shake":
        m["size"] = 0.86
        m["centre"] = (rng.uniform(0.3, 0.7), rng.uniform(0.3, 0.7))
        m["wobble"] = [round(rng.uniform(0.4, 2.5), 2) for _ in range(4)]
        m["phase"] = [round(rng.uniform(0, 6.28), 2) for _ in range(4)]
    return m


def _grade(rng, bright):
    if bright:
        return "eq=contrast=%.2f:brightness=%.2f:saturation=%.2f" % (
            rng.uniform(1.0, 1.2), rng.uniform(0.12, 0.25), rng.uniform(0.6, 1.0))
    return "eq=contrast=%.2f:brightness=%.2f:saturation=%.2f" % (
        rng.uniform(0.9, 1.15), rng.uniform(-0.06, 0.06), rng.uniform(0.8, 1.3))


def _advert_grade(rng):
    return rng.choice([
        "eq=contrast=1.3:saturation=1.8",
        "hue=h=%d:s=1.4" % rng.randint(30, 330),
        "negate",
        "eq=brightness=0.1:saturation=0.2",
        "colorchannelmixer=.3:.4:.3:0:.3:.4:.3:0:.3:.4:.3",
        "eq=gamma=1.4:saturation=1.5"])


def _caption(rng):
    return dict(text=rng.choice(BRANDS) + " " + rng.choice(SLOGANS),
                colour=rng.choice(["white", "yellow", "black"]),
                box=rng.choice(["0x000000", "0xC02020", "0x2040A0", "0xFFFFFF"]),
                place=rng.choice(["centre", "lower", "crawl"]))


def chain(shot, fmt, rate, src_dir, index):
    """(ffmpeg input arguments, filter text ending in [p<index>]) for one shot at
    frame size fmt and rate frames per second, in rgb24. Footage is looped, so a
    shot may run longer than its clip (a jump back to the start, like a cut)."""
    w, h = fmt["w"], fmt["h"]
    out = "[p%d]" % index
    n = shot["frames"]
    if shot["src"].startswith("synth:"):
        return [], _synth(shot, w, h, rate) + _caption_filter(shot, h) + ",format=rgb24" + out
    name, sw, sh, _ = CLIPS[shot["src"]]
    inputs = ["-stream_loop", "-1", "-ss", "%.2f" % shot["start"], "-i",
              "%s/%s" % (src_dir, name)]
    f = "[%s:v]setpts=(PTS-STARTPTS)/%s,fps=%d," % ("{in}", shot["speed"], rate)
    aspect = fmt["sar"][0] * w / (fmt["sar"][1] * h)  # display aspect of the frame
    f += _motion_filter(shot["motion"], sw, sh, aspect, w, h, n, rate)
    f += ",scale=%d:%d:flags=bicubic,setsar=1" % (w, h)
    if shot["flip"]:
        f += ",hflip"
    if shot["eq"]:
        f += "," + shot["eq"]
    f += _caption_filter(shot, h) + ",format=rgb24" + out
    return inputs, f


def _motion_filter(m, sw, sh, aspect, w, h, n, rate):
    # The largest window of the display aspect inside the clip.
    cw0 = min(sw, sh * aspect)
    ch0 = cw0 / aspect
    kind = m["kind"]
    secs = n / rate
    if kind == "still":
        return "crop=%d:%d" % (cw0, ch0)
    if kind in ("pan", "drift"):
        cw, ch = int(cw0 * m["size"]), int(ch0 * m["size"])
        x0, y0 = m["from"][0] * (sw - cw), m["from"][1] * (sh - ch)
        x1, y1 = m["to"][0] * (sw - cw), m["to"][1] * (sh - ch)
        return "crop=%d:%d:x='%.1f+%.1f*min(t/%.2f,1)':y='%.1f+%.1f*min(t/%.2f,1)'" % (
            cw, ch, x0, x1 - x0, secs, y0, y1 - y0, secs)
    if kind == "shake":
        cw, ch = int(cw0 * m["size"]), int(ch0 * m["size"])
        cx, cy = m["centre"][0] * (sw - cw), m["centre"][1] * (sh - ch)
        a = 0.02 * sw
        f, p = m["wobble"], m["phase"]
        return ("crop=%d:%d:x='%.1f+%.1f*sin(%.2f*t+%.2f)+%.1f*sin(%.2f*t+%.2f)'"
                ":y='%.1f+%.1f*sin(%.2f*t+%.2f)+%.1f*sin(%.2f*t+%.2f)'" % (
                    cw, ch, cx, a, 6.28 * f[0], p[0], a / 2, 6.28 * f[1] * 3, p[1],
                    cy, a * 0.7, 6.28 * f[2], p[2], a / 3, 6.28 * f[3] * 3, p[3]))
    z = m["zoom"]
    z0, z1 = (1.0, z) if kind == "zoomin" else (z, 1.0)
    return ("crop=%d:%d,zoompan=z='%.3f+%.3f*on/%d':x='(iw-iw/zoom)*%.2f':y='(ih-ih/zoom)*%.2f'"
            ":d=1:s=%dx%d:fps=%d" % (cw0, ch0, z0, z1 - z0, n, m["centre"][0], m["centre"][1],
                                     w, h, rate))


def _synth(shot, w, h, rate):
    kind = shot["src"].split(":")[1]
    c = shot["colours"]
    seed = shot["seed"]
    if kind == "testsrc2":
        return "testsrc2=s=%dx%d:r=%d,hue=h=%d" % (w, h, rate, seed % 360)
    if kind == "gradients":
        return "gradients=s=%dx%d:r=%d:c0=%s:c1=%s:c2=%s:nb_colors=3:seed=%d:speed=0.03" % (
            w, h, rate, c[0], c[1], c[2], seed)
    if kind == "life":
        return ("life=s=%dx%d:r=%d:seed=%d:ratio=0.3:mold=10:life_color=%s:death_color=%s"
                ":mold_color=%s,scale=%d:%d:flags=neighbor" % (
                    w // 6, h // 6, rate, seed, c[0].replace("0x", "#"),
                    c[1].replace("0x", "#"), c[2].replace("0x", "#"), w, h))
    if kind == "cellauto":
        return ("cellauto=s=%dx%d:r=%d:rule=%d:seed=%d:random_fill_ratio=0.4,"
                "scale=%d:%d:flags=neighbor,format=rgb24,colorchannelmixer=%.1f:0:0:0:0:%.1f:0:0:0:0:%.1f"
                % (w // 4, h // 4, rate, [30, 90, 110, 150, 18][seed % 5], seed, w, h,
                   0.3 + (seed % 7) / 10, 0.3 + (seed % 5) / 6, 0.3 + (seed % 3) / 3))
    if kind == "mandelbrot":
        return "mandelbrot=s=%dx%d:r=%d:end_pts=%d,scale=%d:%d,hue=h=%d" % (
            w // 2, h // 2, rate, 30 + seed % 200, w, h, seed % 360)
    if kind == "packshot":
        return ("color=c=%s:s=%dx%d:r=%d,drawtext=fontfile=%s:text='%s':fontsize=%d"
                ":fontcolor=%s:x=(w-tw)/2:y=(h-th)/2-%d*t" % (
                    c[0], w, h, rate, FONT, BRANDS[seed % len(BRANDS)], h // 7, c[1], h // 40))
    raise SystemExit("shots: unknown synthetic source %s" % kind)


def _caption_filter(shot, h):
    cap = shot.get("caption")
    if not cap:
        return ""
    size = h // 12
    if cap["place"] == "crawl":
        x, y = "w-mod(t*%d,w+tw)" % (h // 2), "h*0.82"
    elif cap["place"] == "lower":
        x, y = "(w-tw)/2", "h*0.72"
    else:
        x, y = "(w-tw)/2", "(h-th)/2"
    return (",drawtext=fontfile=%s:text='%s':fontsize=%d:fontcolor=%s:x='%s':y='%s'"
            ":box=1:boxcolor=%s@0.7:boxborderw=%d" % (
                FONT, cap["text"], size, cap["colour"], x, y, cap["box"], size // 4))
