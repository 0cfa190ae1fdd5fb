"""Broadcaster logos for the corpus: from a shared RGBA PNG to the overlay a
recording is composited with.

A logo is prepared at the stream's own pixel scale, the way a broadcaster's
graphics system would draw it: the source is trimmed to its visible pixels,
optionally keyed (the card taken away, or the letters cut out of the card as
holes), recoloured, resized so that it looks undistorted on the display (the
stream's sample aspect ratio is taken into account), optionally turned into a
thin outline, and its alpha multiplied by the opacity. Images are plain
records: width, height and a bytearray of RGBA rows, top-down.
"""
import subprocess


class Image:
    def __init__(self, w, h, data):
        self.w, self.h, self.data = w, h, bytearray(data)


def load_png(path):
    info = subprocess.run(["identify", "-format", "%w %h", path + "[0]"], check=True,
                          capture_output=True, text=True).stdout.split()
    w, h = int(info[0]), int(info[1])
    data = subprocess.run(["convert", path + "[0]", "-depth", "8", "rgba:-"], check=True,
                          capture_output=True).stdout
    if len(data) != w * h * 4:
        raise SystemExit("logo: %s did not decode to %dx%d RGBA" % (path, w, h))
    return Image(w, h, data)


def save_png(img, path):
    subprocess.run(["convert", "-size", "%dx%d" % (img.w, img.h), "-depth", "8", "rgba:-",
                    "-define", "png:exclude-chunks=date,time", path],
                   input=bytes(img.data), check=True)


def resize(img, w, h):
    """Lanczos resize through ImageMagick (which weights colour by alpha)."""
    data = subprocess.run(["convert", "-size", "%dx%d" % (img.w, img.h), "-depth", "8",
                           "rgba:-", "-filter", "Lanczos", "-resize", "%dx%d!" % (w, h),
                           "-depth", "8", "rgba:-"],
                          input=bytes(img.data), check=True, capture_output=True).stdout
    return Image(w, h, data)


def alpha_box(img, least=1):
    """The bounding box (x, y, w, h) of the pixels with alpha >= least."""
    xs, ys = [], []
    for y in range(img.h):
        row = img.data[y * img.w * 4:(y + 1) * img.w * 4]
        hit = [x for x in range(img.w) if row[4 * x + 3] >= least]
        if hit:
            xs += [hit[0], hit[-1]]
            ys.append(y)
    if not ys:
        raise SystemExit("logo: nothing visible is left of the logo")
    return min(xs), ys[0], max(xs) - min(xs) + 1, ys[-1] - ys[0] + 1


def crop(img, x, y, w, h):
    out = bytearray()
    for r in range(y, y + h):
        out += img.data[(r * img.w + x) * 4:(r * img.w + x + w) * 4]
    return Image(w, h, out)


def pad(img, n):
    w = img.w + 2 * n
    out = bytearray(w * n * 4)
    for r in range(img.h):
        out += bytes(n * 4) + img.data[r * img.w * 4:(r + 1) * img.w * 4] + bytes(n * 4)
    out += bytes(w * n * 4)
    return Image(w, img.h + 2 * n, out)


def key_out(img, colour, near, far):
    """Takes away the pixels close to colour: alpha falls to 0 where the largest
    channel difference from colour is at most near and stays where it is at least
    far, with a linear ramp between (a soft key that keeps antialiased edges)."""
    d = img.data
    for i in range(0, len(d), 4):
        dist = max(abs(d[i] - colour[0]), abs(d[i + 1] - colour[1]), abs(d[i + 2] - colour[2]))
        if dist <= near:
            d[i + 3] = 0
        elif dist < far:
            d[i + 3] = d[i + 3] * (dist - near) // (far - near)


def recolour(img, colour):
    d = img.data
    for i in range(0, len(d), 4):
        d[i], d[i + 1], d[i + 2] = colour


def outline(img, width, colour):
    """The ring of the given width just outside the logo's shape, in colour:
    alpha = the largest alpha within width pixels (a square neighbourhood) minus
    the pixel's own alpha. The image must have width transparent pixels of margin."""
    w, h, d = img.w, img.h, img.data
    alpha = [d[i + 3] for i in range(0, len(d), 4)]
    rows = []  # horizontal running maximum first, then vertical
    for y in range(h):
        line = alpha[y * w:(y + 1) * w]
        rows.append([max(line[max(0, x - width):x + width + 1]) for x in range(w)])
    out = bytearray(w * h * 4)
    for y in range(h):
        for x in range(w):
            grown = max(rows[r][x] for r in range(max(0, y - width), min(h, y + width + 1)))
            a = grown - alpha[y * w + x]
            i = 4 * (y * w + x)
            out[i:i + 4] = bytes((colour[0], colour[1], colour[2], max(0, a)))
    return Image(w, h, out)


def scale_alpha(img, opacity):
    d = img.data
    for i in range(3, len(d), 4):
        d[i] = int(d[i] * opacity + 0.5)


def prepare(spec, src_dir, stream_w, stream_h, sar):
    """The overlay for one recording, at stream scale, trimmed to its visible pixels.

    spec: the recipe's logo record (source, style, width in reference pixels,
    key, colour, outline width, opacity). sar: the stream's sample aspect ratio
    (num, den); the logo is drawn so that it looks undistorted on the display."""
    img = load_png("%s/%s.png" % (src_dir, spec["source"]))
    img = crop(img, *alpha_box(img))
    style = spec["style"]
    if style not in ("card", "letters", "holes", "outline"):
        raise SystemExit("logo: unknown style %s" % style)
    # letters: the card keyed away; holes: the lettering keyed out of the card.
    # Logos drawn without a card need no key.
    if style != "card" and spec.get("key"):
        key_out(img, spec["key"], 40, 110)
    img = crop(img, *alpha_box(img, 128))
    if spec.get("colour") and style != "outline":
        recolour(img, spec["colour"])
    w = max(4, round(spec["width"] * stream_w / 768))
    # Display height of a pixel row is sar[1]/sar[0] times a column's width.
    h = max(4, round(w * img.h / img.w * sar[0] / sar[1]))
    img = resize(img, w, h)
    if style == "outline":
        ring = spec.get("ring", 2)
        img = outline(pad(img, ring + 1), ring, spec["colour"])
    scale_alpha(img, spec.get("opacity", 1.0))
    return crop(img, *alpha_box(img))
