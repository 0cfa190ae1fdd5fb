"""The corpus: one recipe per recording, each built around one hard case for
finding a channel's logo and the advert breaks.

Timeline items: ("prog", seconds[, options]) a programme stretch with the logo
(options: fade = the picture fades through black and back in its middle, the
logo staying on; shift = (dx, dy) the logo moves by that many reference pixels
for the middle third); ("break", seconds, entry, exit) an advert break without
the logo, entered and left by a hard "cut", through "black" or by a "dissolve".
Logo: a shared broadcaster logo (logos/NAME.png), its style (card as drawn;
letters with the card keyed away; holes with the lettering keyed out of the
card; outline: a thin ring around the letters), its width in reference pixels,
recolouring and opacity; placed in a corner with a margin in reference pixels.
Programme and advert pools name clips of the shared footage (shots.CLIPS);
"synth" adds ffmpeg's synthetic pictures to the adverts.
"""

WHITE = (250, 250, 250)

# Most recordings: about 2.5 minutes, 35-45 % advert.
T_BLACK = [("prog", 45), ("break", 35, "black", "black"), ("prog", 40),
           ("break", 25, "black", "black"), ("prog", 25)]
T_MIXED = [("prog", 40), ("break", 30, "black", "cut"), ("prog", 45),
           ("break", 28, "cut", "black"), ("prog", 27)]
T_HALF = [("prog", 30), ("break", 35, "black", "black"), ("prog", 35),
          ("break", 35, "cut", "cut"), ("prog", 15)]

RECIPES = [
    dict(name="corner-tl", case="logo in the top-left corner (opaque box logo)",
         logo=dict(source="ard", style="card", width=72), corner="tl", margin=(40, 30),
         programme=["vtest", "tree"], adverts=["box", "cup", "synth"], timeline=T_BLACK),
    dict(name="corner-tr", case="logo in the top-right corner (small letters)",
         logo=dict(source="br", style="letters", width=34), corner="tr", margin=(36, 28),
         programme=["vtest", "box"], adverts=["cup", "tree", "synth"], timeline=T_MIXED),
    dict(name="corner-bl", case="logo in the bottom-left corner",
         logo=dict(source="3sat", style="card", width=86), corner="bl", margin=(44, 34),
         programme=["vtest", "cup"], adverts=["box", "tree", "synth"], timeline=T_BLACK),
    dict(name="corner-br", case="logo in the bottom-right corner (large letters)",
         logo=dict(source="ndr", style="letters", width=150), corner="br", margin=(30, 26),
         programme=["vtest", "tree"], adverts=["box", "cup", "synth"], timeline=T_MIXED),
    dict(name="opacity-100", case="opaque logo (100 %)",
         logo=dict(source="orf", style="card", width=66, opacity=1.0), corner="tr",
         margin=(42, 32), programme=["vtest", "box"], adverts=["cup", "tree", "synth"],
         timeline=T_BLACK),
    dict(name="opacity-70", case="see-through logo (70 %)",
         logo=dict(source="orf", style="card", width=66, opacity=0.7), corner="tr",
         margin=(42, 32), programme=["vtest", "box"], adverts=["cup", "tree", "synth"],
         timeline=T_MIXED),
    dict(name="opacity-45", case="see-through logo (45 %)",
         logo=dict(source="orf", style="card", width=66, opacity=0.45), corner="tr",
         margin=(42, 32), programme=["vtest", "box"], adverts=["cup", "tree", "synth"],
         timeline=T_BLACK),
    dict(name="holes", case="opaque logo with see-through holes (the letters)",
         logo=dict(source="mdr", style="holes", width=92, key=(255, 255, 255)), corner="tl",
         margin=(38, 30), programme=["vtest", "tree"], adverts=["box", "cup", "synth"],
         timeline=T_MIXED),
    dict(name="outline", case="thin outline logo (2-pixel ring, 80 %)",
         logo=dict(source="rbb", style="outline", width=84, colour=WHITE, ring=2,
                   opacity=0.8), corner="tr", margin=(40, 30),
         programme=["vtest", "tree"], adverts=["box", "cup", "synth"], timeline=T_BLACK),
    dict(name="white", case="white logo over bright and white pictures",
         logo=dict(source="phoenix", style="letters", width=110, key=(226, 226, 226),
                   colour=WHITE), corner="tr", margin=(36, 30), bright=True,
         programme=["cup", "tree", "cup"], adverts=["vtest", "box", "synth"],
         timeline=T_MIXED),
    dict(name="mpeg2", case="MPEG-2 at 3.5 Mbit/s in MPEG-TS, 720x576 4:3, 5 minutes",
         format="mpeg2", logo=dict(source="dw", style="card", width=58), corner="tr",
         margin=(40, 32), programme=["vtest", "box", "tree"], adverts=["cup", "synth"],
         timeline=[("prog", 70), ("break", 45, "black", "black"), ("prog", 60),
                   ("break", 40, "cut", "black"), ("prog", 50), ("break", 20, "black", "cut"),
                   ("prog", 15)]),
    dict(name="hd1080", case="H.264 at 1920x1080, 4 minutes",
         format="hd", logo=dict(source="hr", style="letters", width=44, key=(255, 255, 217)),
         corner="tr", margin=(44, 30), programme=["vtest", "tree", "box"],
         adverts=["cup", "synth"],
         timeline=[("prog", 60), ("break", 40, "black", "black"), ("prog", 55),
                   ("break", 30, "cut", "black"), ("prog", 55)]),
    dict(name="anamorphic", case="720x576 anamorphic 16:9",
         format="wide", logo=dict(source="ard", style="letters", width=70, key=(255, 255, 255)),
         corner="tr", margin=(48, 30), programme=["vtest", "tree"],
         adverts=["box", "cup", "synth"], timeline=T_BLACK),
    dict(name="cut", case="breaks entered and left by hard cuts",
         logo=dict(source="rbb", style="letters", width=60), corner="tl", margin=(40, 30),
         programme=["vtest", "box"], adverts=["cup", "tree", "synth"], black_between=False,
         timeline=[("prog", 45), ("break", 30, "cut", "cut"), ("prog", 40),
                   ("break", 30, "cut", "cut"), ("prog", 25)]),
    dict(name="black", case="breaks entered and left through black",
         logo=dict(source="mdr", style="card", width=64), corner="tr", margin=(40, 30),
         programme=["vtest", "tree"], adverts=["box", "cup", "synth"], timeline=T_BLACK),
    dict(name="dissolve", case="breaks entered and left by dissolves",
         logo=dict(source="hr", style="card", width=76), corner="tl", margin=(40, 30),
         programme=["vtest", "tree"], adverts=["box", "cup", "synth"],
         timeline=[("prog", 45), ("break", 30, "dissolve", "dissolve"), ("prog", 40),
                   ("break", 30, "dissolve", "dissolve"), ("prog", 25)]),
    dict(name="fade", case="programme fading through black with the logo on",
         logo=dict(source="dw", style="card", width=70), corner="tr", margin=(40, 30),
         programme=["vtest", "tree"], adverts=["box", "cup", "synth"],
         timeline=[("prog", 45, dict(fade=True)), ("break", 30, "black", "black"),
                   ("prog", 45, dict(fade=True)), ("break", 25, "cut", "black"), ("prog", 20)]),
    dict(name="shift", case="logo shifted by a few pixels for a while",
         logo=dict(source="ard", style="letters", width=76, key=(255, 255, 255)), corner="tr",
         margin=(40, 30), programme=["vtest", "tree"], adverts=["box", "cup", "synth"],
         timeline=[("prog", 40), ("break", 30, "black", "black"),
                   ("prog", 60, dict(shift=(5, 2))), ("break", 25, "black", "black"),
                   ("prog", 25)]),
    dict(name="interlaced", case="interlaced 720x576i, top field first, H.264 in MPEG-TS",
         format="interlaced", logo=dict(source="phoenix", style="card", width=104), corner="tl",
         margin=(40, 30), programme=["vtest", "box"], adverts=["cup", "tree", "synth"],
         timeline=T_HALF),
]
