"""Stream formats of the corpus: frame size, sample aspect ratio, scan, and how
each is encoded. Every recording is 25 frames per second (interlaced: 50 fields).

Encoding is at ordinary broadcast quality: the same quantiser over the whole
picture (the logo gets nothing finer), GOPs of one or two seconds, the rate
capped the way a broadcaster's multiplex would, with the quick presets of a
real-time encoder. --short builds (tests) use the fastest preset.
"""

FPS = 25

FORMATS = {
    # name: frame size, sample aspect ratio, display aspect, fields per frame
    "sd": dict(w=768, h=576, sar=(1, 1), dar="4:3", fields=1, ext="mp4"),
    "mpeg2": dict(w=720, h=576, sar=(16, 15), dar="4:3", fields=1, ext="ts"),
    "hd": dict(w=1920, h=1080, sar=(1, 1), dar="16:9", fields=1, ext="mp4"),
    "wide": dict(w=720, h=576, sar=(64, 45), dar="16:9", fields=1, ext="mp4"),
    "interlaced": dict(w=720, h=576, sar=(16, 15), dar="4:3", fields=2, ext="ts"),
}


def display_aspect(fmt):
    a, b = fmt["dar"].split(":")
    return int(a) / int(b)


def encoder_args(name, short):
    """ffmpeg arguments from the raw RGB input on to the output file's muxer."""
    fmt = FORMATS[name]
    hd = fmt["h"] > 576
    matrix = "bt709" if hd else "bt601"
    tags = ["-colorspace", "bt709" if hd else "smpte170m",
            "-color_primaries", "bt709" if hd else "bt470bg",
            "-color_trc", "bt709" if hd else "smpte170m", "-color_range", "tv"]
    scale = "scale=out_color_matrix=%s:out_range=tv:flags=bicubic+accurate_rnd" % matrix
    if fmt["fields"] == 2:
        vf = "interlace=scan=tff:lowpass=linear," + scale + ":interl=1,format=yuv420p"
    else:
        vf = scale + ",format=yuv420p"
    args = ["-vf", vf, "-aspect", fmt["dar"]]
    if name == "mpeg2":
        args += ["-c:v", "mpeg2video", "-b:v", "3500k", "-minrate", "3000k",
                 "-maxrate", "4000k", "-bufsize", "1835k", "-g", "12", "-bf", "2",
                 "-mbd", "simple"]
    else:
        preset = "ultrafast" if short else "veryfast"
        rate = ["-crf", "23", "-maxrate", "10M", "-bufsize", "10M"] if hd else \
               ["-crf", "23", "-maxrate", "3500k", "-bufsize", "3500k"]
        args += ["-c:v", "libx264", "-preset", preset] + rate + ["-g", "50", "-bf", "3"]
        if fmt["fields"] == 2:
            args += ["-x264-params", "interlaced=1:tff=1", "-field_order", "tt"]
    flags = "+bitexact+ildct+ilme" if fmt["fields"] == 2 else "+bitexact"
    args += tags + ["-threads", "2", "-map_metadata", "-1", "-fflags", "+bitexact",
                    "-flags:v", flags]
    if fmt["ext"] == "mp4":
        args += ["-movflags", "+faststart"]
    else:
        args += ["-f", "mpegts", "-mpegts_flags", "+resend_headers"]
    return args
