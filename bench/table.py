"""Prints the benchmark table from the results folder of bench/run.sh and exits 1 when a
budget is missed or a figure with a budget could not be measured.

    table.py results-folder process-status load-before load-after
"""
import json
import os
import sys

UNIT_MS = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}

folder, process_status, load_before, load_after = sys.argv[1:5]
rows = []  # (figure, value, budget, verdict)


def load(name):
    """Benchmark name -> (mean real time in ms, error message or None)."""
    path = os.path.join(folder, name + ".json")
    found = {}
    try:
        with open(path, encoding="utf-8") as f:
            data = json.load(f)
    except (OSError, ValueError) as e:
        return found, "no results (%s)" % e
    for b in data.get("benchmarks", []):
        run = b.get("run_name", b.get("name"))
        if b.get("error_occurred"):
            found[run] = (None, b.get("error_message", "error"))
        elif b.get("run_type") == "aggregate" and b.get("aggregate_name") == "mean":
            found[run] = (b["real_time"] * UNIT_MS[b.get("time_unit", "ns")], None)
        elif b.get("run_type") == "iteration" and run not in found:
            found[run] = (b["real_time"] * UNIT_MS[b.get("time_unit", "ns")], None)
    return found, None


def show_ms(ms):
    if ms >= 1:
        return "%.2f ms" % ms
    if ms >= 1e-3:
        return "%.2f us" % (ms * 1e3)
    return "%.1f ns" % (ms * 1e6)


def figure(results, run, label, budget_ms=None):
    """Adds the row of one benchmark; returns its mean in ms or None."""
    value, error = results.get(run, (None, "not run"))
    if value is None:
        rows.append((label, "n/a: " + error, "<= " + show_ms(budget_ms) if budget_ms else "-",
                     "FAIL" if budget_ms else "INFO"))
        return None
    if budget_ms is None:
        rows.append((label, show_ms(value), "-", "INFO"))
    else:
        rows.append((label, show_ms(value), "<= " + show_ms(budget_ms),
                     "PASS" if value <= budget_ms else "FAIL"))
    return value


drag, _ = load("drag")
figure(drag, "DragFrame", "drag frame (move + pass + draw + present, 28 pieces)", 4.0)

book, _ = load("workbook")
times = {n: figure(book, "OpenAppendSave/%d" % n, "workbook open + append + save, %d pupils" % n)
         for n in (10, 100, 1000)}
# Linear growth gives about 10 per tenfold; 15 leaves room for noise and cache effects.
for small, large in ((10, 100), (100, 1000)):
    label = "workbook growth time(%d)/time(%d)" % (large, small)
    if times[small] and times[large]:
        ratio = times[large] / times[small]
        rows.append((label, "%.1f" % ratio, "<= 15 (linear ~10)", "PASS" if ratio <= 15 else "FAIL"))
    else:
        rows.append((label, "n/a", "<= 15 (linear ~10)", "FAIL"))

text, _ = load("text")
figure(text, "GlyphFirstUse", "glyph rasterisation, first use")
figure(text, "GlyphTextureShared", "glyph texture, shared (already live)")
figure(text, "DescriptionLayout", "layout of the 901-character description")
figure(text, "DescriptionDraw", "draw of the description (clipped)")

yuv, _ = load("yuv")
plain = figure(yuv, "BM_YuvPlain", "YUV 4:2:0 -> texels 320x240, plain")
simd = figure(yuv, "BM_YuvSse2", "YUV 4:2:0 -> texels 320x240, SSE2")
if plain and simd:
    rows.append(("YUV SSE2 speed-up over plain", "%.1fx" % (plain / simd), "-", "INFO"))

try:
    with open(os.path.join(folder, "process.txt"), encoding="utf-8") as f:
        for line in f:
            parts = line.rstrip("\n").split("|")
            if len(parts) == 4:
                rows.append(tuple(parts))
except OSError:
    pass
if process_status != "0":
    rows.append(("whole-process measurements", "could not run (status %s)" % process_status, "-", "FAIL"))

widths = [max(len(r[i]) for r in rows + [("figure", "value", "budget", "")]) for i in range(3)]
print("%-*s  %-*s  %-*s  %s" % (widths[0], "figure", widths[1], "value", widths[2], "budget", "result"))
print("-" * (sum(widths) + 12))
for r in rows:
    print("%-*s  %-*s  %-*s  %s" % (widths[0], r[0], widths[1], r[1], widths[2], r[2], r[3]))
print("load average (1, 5, 15 min): %s before, %s after; %d cores" % (load_before, load_after, os.cpu_count()))
failed = [r for r in rows if r[3] == "FAIL"]
print("%d budget(s) missed" % len(failed) if failed else "all budgets met")
sys.exit(1 if failed else 0)
