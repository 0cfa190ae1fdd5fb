#!/usr/bin/env python3
"""Prints the medians of a zunk-bench JSON report and the ratios the kernels are held to.

Usage: zunk-bench --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true \
           --benchmark_report_aggregates_only=true \
           --benchmark_out=bench.json --benchmark_out_format=json
(Random interleaving spreads the repetitions of kernels and anchors over the run, so a
change of machine load does not fall on one side of a ratio.)
       bench/ratios.py bench.json
"""
import json
import sys


def medians(path):
    with open(path) as f:
        report = json.load(f)
    out = {}
    for b in report["benchmarks"]:
        if b.get("aggregate_name") == "median":
            out[b["run_name"]] = b["real_time"] * {"ns": 1, "us": 1e3, "ms": 1e6}[b["time_unit"]]
        elif b.get("run_type") == "iteration" and b["name"] not in out:
            out[b["name"]] = b["real_time"] * {"ns": 1, "us": 1e3, "ms": 1e6}[b["time_unit"]]
    return out


def main():
    m = medians(sys.argv[1] if len(sys.argv) > 1 else "bench.json")
    print("| case | ref (ns) | simd (ns) | ref / simd |")
    print("|---|---:|---:|---:|")
    slower = []
    for name in sorted(m):
        parts = name.split("/")
        if len(parts) != 3 or parts[1] != "simd":
            continue
        ref = m.get(f"{parts[0]}/ref/{parts[2]}")
        simd = m[name]
        print(f"| {parts[0]}/{parts[2]} | {ref:.0f} | {simd:.0f} | {ref / simd:.2f} |")
        if simd > ref:
            slower.append(name)
    print()
    for name in sorted(m):
        if name.startswith(("BM_memcpy", "BM_libyuv")):
            print(f"| {name} | {m[name]:.0f} ns |")
    print()
    targets = [
        ("MaskedMeanAbsDiffRow t60x40r30: ref / simd >= 8",
         m["BM_MaskedMeanAbsDiffRow/ref/t60x40r30"] / m["BM_MaskedMeanAbsDiffRow/simd/t60x40r30"], ">=", 8),
        ("MaskedMeanAbsDiffRow t60x40r30: simd / memcpy f768x576 <= 1.5",
         m["BM_MaskedMeanAbsDiffRow/simd/t60x40r30"] / m["BM_memcpy/f768x576_yuy2"], "<=", 1.5),
        ("CopyRegionFromYuy2 w120x40: simd / libyuv YUY2ToARGB <= 1.5",
         m["BM_CopyRegionFromYuy2/simd/w120x40"] / m["BM_libyuv_YUY2ToARGB/w120x40"], "<=", 1.5),
        ("BlendBgrxToYuy2 f1920x1080: simd / memcpy f1920x1080 <= 5",
         m["BM_BlendBgrxToYuy2/simd/f1920x1080"] / m["BM_memcpy/f1920x1080_yuy2"], "<=", 5),
    ]
    print("| target | ratio | met |")
    print("|---|---:|---|")
    for what, ratio, op, limit in targets:
        ok = ratio >= limit if op == ">=" else ratio <= limit
        print(f"| {what} | {ratio:.2f} | {'yes' if ok else 'NO'} |")
    print(f"| every other simd case no slower than ref | {len(slower)} slower | "
          f"{'yes' if not slower else 'NO: ' + ', '.join(slower)} |")


if __name__ == "__main__":
    main()
