"""Rendering a plan: each piece is one ffmpeg process writing raw RGB pictures,
copied in order into one encoder process. Every piece must give exactly the
pictures it was asked for; anything else stops the build.
"""
import subprocess

from formats import FPS, encoder_args
import shots

FF = ["ffmpeg", "-nostdin", "-v", "error"]


def overlay(label, place, logo_index, out):
    return "%s[%d:v]overlay=x=%d:y=%d:format=rgb%s" % (label, logo_index, place[0], place[1], out)


def fades(shot):
    f = []
    if shot.get("fade_in"):
        f.append("fade=t=in:s=0:n=%d" % shot["fade_in"])
    if shot.get("fade_out"):
        f.append("fade=t=out:s=%d:n=%d" % (shot["frames"] - shot["fade_out"], shot["fade_out"]))
    return f


class Graph:
    """The inputs and filter text of one piece's ffmpeg command."""

    def __init__(self):
        self.inputs = []
        self.count = 0
        self.parts = []

    def add_input(self, args):
        self.inputs += args
        self.count += 1
        return self.count - 1

    def shot(self, shot, fmt, rate, src_dir, logo_png, index):
        """Adds one shot; its pictures come out at [v<index>]."""
        args, text = shots.chain(shot, fmt, rate, src_dir, index)
        if args:
            text = text.replace("{in}", str(self.add_input(args)))
        self.parts.append(text)
        label = "[p%d]" % index
        f = fades(shot)
        if f:
            self.parts.append("%s%s[f%d]" % (label, ",".join(f), index))
            label = "[f%d]" % index
        if shot["logo"]:
            logo = self.add_input(["-i", logo_png])
            self.parts.append(overlay(label, shot["logo"], logo, "[v%d]" % index))
        else:
            self.parts.append("%snull[v%d]" % (label, index))


def piece_command(piece, fmt, rate, src_dir, logo_png):
    g = Graph()
    if piece["kind"] == "black":
        g.parts.append("color=c=black:s=%dx%d:r=%d,format=rgb24[p]" % (fmt["w"], fmt["h"], rate))
        logo = g.add_input(["-i", logo_png])
        g.parts.append(overlay("[p]", piece["logo"], logo, "[o]"))
    elif piece["kind"] == "shot":
        g.shot(piece, fmt, rate, src_dir, logo_png, 0)
        g.parts.append("[v0]null[o]")
    else:
        g.shot(piece["a"], fmt, rate, src_dir, logo_png, 0)
        g.shot(piece["b"], fmt, rate, src_dir, logo_png, 1)
        g.parts.append("[v0]settb=1/%d[a];[v1]settb=1/%d[b];"
                       "[a][b]xfade=transition=fade:duration=%.4f:offset=%.4f,format=rgb24[o]"
                       % (rate, rate, piece["d"] / rate, piece["s"] / rate))
    return FF + ["-threads", "1", "-filter_complex_threads", "1"] + g.inputs + [
        "-filter_complex", ";".join(g.parts), "-map", "[o]", "-frames:v", str(piece["n"]),
        "-f", "rawvideo", "-pix_fmt", "rgb24", "-"]


def render(pieces, fmt_name, fmt, src_dir, logo_png, out_path, short, log=None):
    rate = FPS * fmt["fields"]
    size = fmt["w"] * fmt["h"] * 3
    enc = subprocess.Popen(FF + ["-y", "-f", "rawvideo", "-pix_fmt", "rgb24",
                                 "-s", "%dx%d" % (fmt["w"], fmt["h"]), "-framerate", str(rate),
                                 "-i", "-"] + encoder_args(fmt_name, short) + [out_path],
                           stdin=subprocess.PIPE)
    try:
        for i, piece in enumerate(pieces):
            want = piece["n"] * size
            if piece["kind"] == "black" and not piece["logo"]:
                enc.stdin.write(bytes(want))
                continue
            cmd = piece_command(piece, fmt, rate, src_dir, logo_png)
            if log:
                log.write(" ".join(cmd) + "\n")
            p = subprocess.Popen(cmd, stdout=subprocess.PIPE)
            got = 0
            while got < want:
                chunk = p.stdout.read(min(want - got, 1 << 22))
                if not chunk:
                    break
                enc.stdin.write(chunk)
                got += len(chunk)
            p.stdout.close()
            if p.wait() != 0 or got != want:
                raise SystemExit("render: piece %d (%s) gave %d of %d pictures" % (
                    i, piece["kind"], got // size, piece["n"]))
    finally:
        enc.stdin.close()
        rc = enc.wait()
    if rc != 0:
        raise SystemExit("render: the encoder failed on %s" % out_path)
