#!/usr/bin/env python3
"""Evaluates zunk-host over the built corpus: per recording learn -> run ->
eval with the learned settings, and run -> eval with the hand-made template,
then one table.

Usage: eval_corpus.py --host ZUNK_HOST CORPUS_DIR OUT_DIR [NAME...]
       eval_corpus.py --table OUT_DIR   (the table again, from the results kept)

For each CORPUS_DIR/NAME/ with a finished build, OUT_DIR/NAME/ receives
  learned/   learn.txt (its output), Zunk_LogoDetector.ini, the template and
             preview; run.txt (the run's summary), timeline.json, refined.edl,
             decisions.edl, eval-refined.txt, eval-decisions.txt
  handmade/  the same from the run with the hand-made settings
and result.json (the row of the table). A learn that fails is shown as such
in the table and the rest goes on. The
decision spans are read from the timeline's "decision_breaks"; a timeline
without them gets a second run with --edl-mode decisions.
"""
import json
import os
import re
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.dont_write_bytecode = True   # nothing written into the source tree

import truth as truthfile  # noqa: E402
from recipes import RECIPES  # noqa: E402

CHANNEL = "1001"


def timed(cmd, log):
    start = time.monotonic()
    with open(log, "w") as f:
        rc = subprocess.run(cmd, stdout=f, stderr=subprocess.STDOUT).returncode
    return rc, time.monotonic() - start


def section(ini, channel):
    """The keys of one section of a settings file (Windows-1251 text)."""
    keys, inside = {}, False
    for line in open(ini, encoding="latin-1"):
        line = line.strip()
        if line.startswith("["):
            inside = line == "[%s]" % channel
        elif inside and "=" in line:
            k, v = line.split("=", 1)
            keys[k] = v
    return keys


def read_eval(path):
    text = open(path).read()
    p = re.search(r"^precision: ([\d.]+)", text, re.M)
    r = re.search(r"^recall: ([\d.]+)", text, re.M)
    b = re.search(r"^breaks: (\d+) of (\d+) found", text, re.M)
    if not (p and r and b):
        return None
    return dict(p=float(p.group(1)), r=float(r.group(1)), found=int(b.group(1)),
                known=int(b.group(2)))


def write_edl(spans, fps, path):
    with open(path, "w") as f:
        for s in spans:
            f.write("%.3f %.3f 3\n" % (s["first_frame"] / fps, (s["last_frame"] + 1) / fps))


def run_and_score(host, video, settings, truth, folder):
    """One run with the settings, both kinds of spans scored. Returns (run
    seconds, refined scores, decision scores), scores None where a step failed."""
    timeline = os.path.join(folder, "timeline.json")
    refined = os.path.join(folder, "refined.edl")
    decisions = os.path.join(folder, "decisions.edl")
    rc, secs = timed([host, "run", "--input", video, "--settings", settings, "--channel-key",
                      CHANNEL, "--no-log", "--no-progress", "--json", timeline,
                      "--edl", refined, "--truth", truth], os.path.join(folder, "run.txt"))
    if rc != 0:
        return secs, None, None
    data = json.load(open(timeline))
    if "decision_breaks" in data:
        write_edl(data["decision_breaks"], data["fps"], decisions)
    else:
        timed([host, "run", "--input", video, "--settings", settings, "--channel-key", CHANNEL,
               "--no-log", "--no-progress", "--edl-mode", "decisions", "--edl", decisions],
              os.path.join(folder, "run-decisions.txt"))
    scores = []
    fps = "%g" % data["fps"]
    for kind, edl in (("refined", refined), ("decisions", decisions)):
        out = os.path.join(folder, "eval-%s.txt" % kind)
        rc, _ = timed([host, "eval", "--truth", truth, "--detected", edl, "--fps", fps], out)
        scores.append(read_eval(out) if rc == 0 else None)
    return secs, scores[0], scores[1]


def evaluate(host, corpus, out, r):
    name = r["name"]
    src = os.path.join(corpus, name)
    videos = [f for f in os.listdir(src) if f.startswith(name + ".")]
    truth = os.path.join(src, "truth.txt")
    t = truthfile.read(truth)
    row = dict(name=name, case=r["case"], frames=t["frames"])
    learned = os.path.join(out, name, "learned")
    hand = os.path.join(out, name, "handmade")
    for d in (learned, hand):
        os.makedirs(d, exist_ok=True)
        for f in os.listdir(d):
            os.remove(os.path.join(d, f))
    video = os.path.join(src, videos[0])
    settings = os.path.join(learned, "Zunk_LogoDetector.ini")
    rc, row["learn_s"] = timed([host, "learn", "--input", video, "--channel-key", CHANNEL,
                                "--settings", settings], os.path.join(learned, "learn.txt"))
    if rc == 0 and os.path.exists(settings):
        keys = section(settings, CHANNEL)
        x, y = int(keys.get("LogoPosX", -9999)), int(keys.get("LogoPosY", -9999))
        row["learn"] = "ok"
        row["dxdy"] = "%+d,%+d" % (x - t["logo"][0], y - t["logo"][1])
        row["levels"] = "%s/%s/%s" % (keys.get("LogoMatchLevel", "?"),
                                      keys.get("LogoDetectLevel", "?"),
                                      keys.get("LogoPosTolerance", "?"))
        row["run_s"], row["refined"], row["decisions"] = run_and_score(
            host, video, settings, truth, learned)
    else:
        lines = [l for l in open(os.path.join(learned, "learn.txt"), errors="replace")
                 if l.strip() and not l.startswith("learn: [")]
        row["learn"] = "FAILED"
        row["why"] = lines[-1].strip() if lines else "exit %d" % rc
    row["hand_run_s"], row["hand_refined"], row["hand_decisions"] = run_and_score(
        host, video, os.path.join(src, "handmade", "Zunk_LogoDetector.ini"), truth, hand)
    with open(os.path.join(out, name, "result.json"), "w") as f:
        json.dump(row, f, indent=1)
    return row


def pr(s):
    return "%.3f/%.3f" % (s["p"], s["r"]) if s else "-"


def breaks(a, b):
    if not a and not b:
        return "-"
    return "%s %s" % ("%d/%d" % (a["found"], a["known"]) if a else "-",
                      "%d/%d" % (b["found"], b["known"]) if b else "-")


def table(rows):
    head = ["recording", "case", "learn", "dx,dy", "match/detect/tol", "refined P/R",
            "decisions P/R", "breaks ref dec", "learn s", "run s", "hand refined P/R",
            "hand decisions P/R", "hand breaks", "hand run s"]
    lines = ["| " + " | ".join(head) + " |", "|" + "---|" * len(head)]
    for r in rows:
        ok = r["learn"] == "ok"
        cells = [r["name"], r["case"], r["learn"], r.get("dxdy", "-"), r.get("levels", "-"),
                 pr(r.get("refined")), pr(r.get("decisions")),
                 breaks(r.get("refined"), r.get("decisions")) if ok else "-",
                 "%.1f" % r["learn_s"], "%.1f" % r["run_s"] if ok else "-",
                 pr(r["hand_refined"]), pr(r["hand_decisions"]),
                 breaks(r["hand_refined"], r["hand_decisions"]), "%.1f" % r["hand_run_s"]]
        lines.append("| " + " | ".join(cells) + " |")
    failed = [r for r in rows if r["learn"] != "ok"]
    if failed:
        lines.append("")
        lines.append("learn failed on %d of %d recordings:" % (len(failed), len(rows)))
        for r in failed:
            lines.append("  %s: %s" % (r["name"], r["why"]))
    return "\n".join(lines)


def main():
    args = sys.argv[1:]
    if len(args) == 2 and args[0] == "--table":
        rows = [json.load(open(os.path.join(args[1], r["name"], "result.json")))
                for r in RECIPES if os.path.exists(os.path.join(args[1], r["name"], "result.json"))]
        print(table(rows))
        return
    if len(args) < 4 or args[0] != "--host":
        sys.exit("usage: eval_corpus.py --host ZUNK_HOST CORPUS_DIR OUT_DIR [NAME...]")
    host, corpus, out, names = args[1], args[2], args[3], args[4:]
    if not os.access(host, os.X_OK):
        sys.exit("eval-corpus: no zunk-host at %s (make host)" % host)
    known = [r["name"] for r in RECIPES]
    for n in names:
        if n not in known:
            sys.exit("eval-corpus: no recording named %s (there are: %s)" % (n, " ".join(known)))
    os.makedirs(out, exist_ok=True)
    start = time.monotonic()
    rows = []
    for r in RECIPES:
        if names and r["name"] not in names:
            continue
        if not os.path.exists(os.path.join(corpus, r["name"], "stamp")):
            print("eval-corpus: %s is not built, left out" % r["name"], file=sys.stderr)
            continue
        rows.append(evaluate(host, corpus, out, r))
        print("eval-corpus: %-12s learn %s" % (r["name"], rows[-1]["learn"]), file=sys.stderr,
              flush=True)
    text = table(rows)
    with open(os.path.join(out, "table.md"), "w") as f:
        f.write(text + "\n")
    print(text)
    print("\neval-corpus: %d recordings in %.0f s; table in %s" % (
        len(rows), time.monotonic() - start, os.path.join(out, "table.md")))


if __name__ == "__main__":
    main()
