"""A recording's plan: its timeline turned into the pieces that are rendered one
after another, and the events its truth file lists.

Counts are in rendered pictures: frames, or fields for an interlaced recording
(two pictures a frame). Pieces are plain dicts:
  shot      one shot (shots.py), with the logo's place or None, fades in and out
  black     black pictures, with the logo's place or None
  dissolve  two shots cross-faded over d pictures; the picture at index 'at'
            (counted from the piece's start) is the first on the other side
Events: break spans, black runs (picture and logo gone), dark runs (black
picture, logo on), transitions (pictures of a dissolve), logo shifts.
"""
import random
import zlib

from formats import FPS
import shots

DISSOLVE = 16      # frames of a dissolve
FADE = 12          # frames of a fade to or from black inside the programme
DARK = 10          # black frames between those fades (the logo stays)


def seconds(secs, short, least):
    return max(least, secs * 0.25) if short else secs


class Planner:
    def __init__(self, recipe, fmt, placement, short):
        self.r = recipe
        self.fmt = fmt
        self.k = fmt["fields"]
        self.place = placement     # (x, y) of the logo in stream pixels
        self.short = short
        self.rng = random.Random(zlib.crc32(recipe["name"].encode()))
        self.pieces = []
        self.pos = 0               # pictures so far
        self.events = dict(breaks=[], black=[], dark=[], transitions=[], shifts=[])
        self.pending = None        # a dissolve waiting for its second shot

    # -- pieces ---------------------------------------------------------------
    def add(self, piece, n):
        piece["n"] = n
        if self.pending:
            if piece["kind"] != "shot":
                raise SystemExit("plan: a dissolve must end in a shot")
            a, self.pending = self.pending, None
            self.join(a, piece)
            return
        self.pieces.append(piece)
        self.pos += n

    def hold_for_dissolve(self):
        """Takes the last shot back: it dissolves into the next one added."""
        a = self.pieces.pop()
        if a["kind"] != "shot":
            raise SystemExit("plan: a dissolve must start from a shot")
        self.pos -= a["n"]
        self.pending = a

    def join(self, a, b):
        """Shots a and b as one cross-fade, each keeping its place in the timeline."""
        d = DISSOLVE * self.k
        an, bn = a["n"], b["n"]
        # A picture belongs to the side that weighs more in it; picture j of the
        # fade is a * (1 - j/d) + b * j/d, so the side of the logo keeps the tie.
        at = d // 2 + 1 if a["logo"] else (d + 1) // 2
        s = an - at
        a["frames"] = s + d
        b["frames"] = bn + at
        self.events["transitions"].append((self.pos + s + 1, self.pos + s + d - 1))
        self.pieces.append(dict(kind="dissolve", a=a, b=b, d=d, s=s, n=an + bn))
        self.pos += an + bn

    def black(self, n, logo):
        n *= self.k
        kind = "dark" if logo else "black"
        self.events[kind].append((self.pos, self.pos + n - 1))
        self.add(dict(kind="black", logo=logo), n)

    # -- timeline -------------------------------------------------------------
    def programme(self, secs, opts):
        total = round(seconds(secs, self.short, 8) * FPS) * self.k
        pool = self.r["programme"]
        bright = self.r.get("bright", False)
        cuts = []   # (length, logo place) of each stretch of shots
        if "shift" in opts:
            dx, dy = opts["shift"]
            w, h = self.fmt["w"], self.fmt["h"]
            moved = (self.place[0] + round(dx * w / 768), self.place[1] + round(dy * h / 576))
            third = total // 3 // self.k * self.k
            self.events["shifts"].append((self.pos + third, self.pos + 2 * third - 1, dx, dy))
            cuts = [(third, self.place), (third, moved), (total - 2 * third, self.place)]
        elif opts.get("fade"):
            half = total // 2 // self.k * self.k
            dark = DARK * self.k
            cuts = [(half - dark // 2, self.place), None, (total - half - dark + dark // 2,
                                                          self.place)]
        else:
            cuts = [(total, self.place)]
        fade_in = False
        for cut in cuts:
            if cut is None:
                last = self.pieces[-1]
                (last["b"] if last["kind"] == "dissolve" else last)["fade_out"] = FADE * self.k
                self.black(DARK, self.place)
                fade_in = True
                continue
            n, place = cut
            for length in self.lengths(n, 3, 9):
                shot = shots.programme_shot(self.rng, pool, length, bright)
                shot.update(kind="shot", logo=place)
                if fade_in:
                    shot["fade_in"] = FADE * self.k
                    fade_in = False
                self.add(shot, length)

    def advert_break(self, secs, entry, leave):
        total = round(seconds(secs, self.short, 6) * FPS) * self.k
        first = self.pos
        black_between = self.r.get("black_between", True)
        if entry == "dissolve":
            self.hold_for_dissolve()
        nblack_in = self.rng.choice([3, 4, 5, 6, 8]) if entry == "black" else 0
        nblack_out = self.rng.choice([3, 4, 5, 6, 8]) if leave == "black" else 0
        if entry == "black":
            self.black(nblack_in, None)
        body = total - (nblack_in + nblack_out) * self.k
        for i, n in enumerate(self.lengths(body, 5, 15)):
            gap = 2 * self.k if black_between and i and self.rng.random() < 0.3 else 0
            if gap:
                self.black(2, None)
            for shot in shots.advert_shots(self.rng, self.r["adverts"], n - gap, self.k):
                shot.update(kind="shot", logo=None)
                self.add(shot, shot["frames"])
        if leave == "black":
            self.black(nblack_out, None)
        elif leave == "dissolve":
            self.hold_for_dissolve()
        self.events["breaks"].append((first, first + total - 1))

    def lengths(self, total, lo, hi):
        """Splits total pictures into lengths of lo..hi seconds; a length that
        would leave less than lo seconds takes all that is left."""
        out = []
        left = total
        while left > 0:
            n = round(self.rng.uniform(lo, hi) * FPS) * self.k
            if left - n < lo * FPS * self.k:
                n = left
            out.append(n)
            left -= n
        return out

    def run(self):
        for item in self.r["timeline"]:
            if item[0] == "prog":
                self.programme(item[1], item[2] if len(item) > 2 else {})
            else:
                self.advert_break(item[1], item[2], item[3])
        if self.pending:
            raise SystemExit("plan: a dissolve at the end of the recording")
        return self.pieces, self.events, self.pos
