#!/usr/bin/env python3
"""Prints the benchmark figures against their targets and writes the table to
BUILD/PERFORMANCE.md. Exits 1 when a target is missed."""
import json
import os
import platform
import re
import subprocess
import sys
import datetime

build, data = sys.argv[1], sys.argv[2]
MB = 1e6


def load(name):
    path = os.path.join(build, name)
    if not os.path.exists(path):
        return {}
    with open(path) as f:
        return {b["name"]: b for b in json.load(f)["benchmarks"]}


core = load("core_bench.json")
window = load("window_bench.json")
rows = []


def row(what, figure, target, met):
    rows.append((what, figure, target, "yes" if met else "NO"))


def rate(b):
    return b["bytes_per_second"] / MB


def ms(b):
    scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b["time_unit"]]
    return b["real_time"] * scale


for size in (4, 8, 16, 32):
    b = core.get(f"Export/{size}/real_time")
    if b:
        row(f"export, {size} MiB ROM", f"{rate(b):.0f} MB/s", ">= 200 MB/s", rate(b) >= 200)
small, large = core.get("Export/4/real_time"), core.get("Export/32/real_time")
if small and large:
    growth = (ms(large) / 32) / (ms(small) / 4)
    row("export cost per MiB, 32 vs 4 MiB", f"{growth:.2f} x", "<= 1.25 x (linear)", growth <= 1.25)
b = core.get("LoadLargeTable/real_time")
if b:
    row("load a 20000-line table", f"{ms(b):.1f} ms", "< 20 ms", ms(b) < 20)
check = core.get("Check/real_time")
if check:
    row("check the 32 MiB ROM's script", f"{rate(check):.0f} MB/s", ">= 50 MB/s", rate(check) >= 50)
b = core.get("CheckAll/real_time")
if b:
    row("check --all, the script with 1 % of entries broken", f"{rate(b):.0f} MB/s", ">= 100 MB/s", rate(b) >= 100)
b = core.get("Import/real_time")
if b:
    row("import the 32 MiB ROM's script", f"{rate(b):.0f} MB/s", ">= 50 MB/s", rate(b) >= 50)
b = core.get("ImportMovingEntries/real_time")
if b:
    row("import moving 10 % of entries by pointers", f"{rate(b):.0f} MB/s", ">= 50 MB/s", rate(b) >= 50)
base = core.get("LiteralLookupBaseline/real_time")
if base and check:
    row("literal lookup baseline (same script)", f"{rate(base):.1f} MB/s", "for comparison", True)
    row("check speed-up over the baseline", f"{rate(check) / rate(base):.0f} x", "measured", True)
b = window.get("SetExportIntoText9/iterations:3/real_time")
if b:
    row("window: 32 MiB export into text9", f"{ms(b):.0f} ms", "< 1000 ms", ms(b) < 1000)
b = window.get("StartUpWithMegabyteFilterLine/iterations:3/real_time")
if b:
    row("window: start-up with a 1 MB line in glq.dat", f"{ms(b):.0f} ms", "< 1000 ms", ms(b) < 1000)
b = window.get("ReadText10Back/iterations:3/real_time")
if b:
    row("window: read text10 back", f"{ms(b):.0f} ms", "measured", True)

with open(os.path.join(build, "cli_export.time")) as f:
    peak_kib = int(re.search(r"Maximum resident set size \(kbytes\): (\d+)", f.read()).group(1))
rom_bytes = os.path.getsize(os.path.join(data, "rom_32m.gba"))
text_bytes = os.path.getsize(os.path.join(build, "cli_export.txt"))
limit = 4 * (rom_bytes + text_bytes)
row("peak memory, quillmere-cli export 32 MiB", f"{peak_kib / 1024:.0f} MiB",
    f"<= {limit / 2**20:.0f} MiB (4 x (ROM + text))", peak_kib * 1024 <= limit)

try:
    model = next(l.split(":", 1)[1].strip() for l in open("/proc/cpuinfo") if l.startswith("model name"))
except (OSError, StopIteration):
    model = platform.processor() or "unknown"
machine = f"{os.cpu_count()} cores, {model}; {datetime.date.today().isoformat()}"

width = max(len(r[0]) for r in rows)
lines = [f"| {'figure':<{width}} | measured | target | met |", f"|{'-' * (width + 2)}|---|---|---|"]
lines += [f"| {w:<{width}} | {f} | {t} | {m} |" for w, f, t, m in rows]
report = "\n".join(lines)
print()
print(f"Machine: {machine}")
print(report)
with open(os.path.join(build, "PERFORMANCE.md"), "w") as f:
    f.write(f"Machine: {machine}\n\n{report}\n")
sys.exit(0 if all(r[3] == "yes" for r in rows) else 1)
