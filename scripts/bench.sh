#!/usr/bin/env bash
# Builds the Release programs and runs every benchmark in bench/, then prints one
# line per figure: name, median over the repetitions, spread (their standard
# deviation), target and whether the median meets it. Not run by CI: the figures
# need a quiet machine, and the load average is printed with them.
#   scripts/bench.sh [build-dir] [repetitions]     (build, 5)
#   KOLM_BENCH_FILTER=regex scripts/bench.sh       only the benchmarks matching
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$root/build}
reps=${2:-5}
"$root/scripts/build.sh" "$dir" -DCMAKE_BUILD_TYPE=Release -DKOLM_BENCH=ON >/dev/null
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
for src in "$root"/bench/*.cpp "$root"/bench/ui/*.cpp; do
  name=$(basename "$src" .cpp)
  [ -x "$dir/$name" ] || { echo "$name: not built" >&2; continue; }
  echo "running $name (load average $(cut -d' ' -f1-3 /proc/loadavg))" >&2
  # Repetitions of different benchmarks interleaved at random: a change of the
  # machine's load falls on all of them alike, not on one (the ratios below).
  "$dir/$name" --benchmark_repetitions="$reps" --benchmark_filter="${KOLM_BENCH_FILTER:-.}" \
    --benchmark_enable_random_interleaving=true \
    --benchmark_out="$out/$name.json" --benchmark_out_format=json >/dev/null
done
echo "load average after the runs: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) cores"
python3 - "$out" <<'EOF'
import glob, json, re, sys

# (benchmark name pattern, value: "cpu", "real" or a counter, unit, target or None)
# A figure with a target meets it when its median is at most the target.
FIGURES = [
    (r"BM_(Pwm|Vna)(Write|Read)$", "cpu", "ms", 2.0),
    (r"BM_PwmSave$", "real", "ms", None),
    (r"BM_PwmFsync$", "real", "ms", None),
    (r"BM_PortDelayAccuracy/.*counter:1$", "overshoot_ns", "ns", 50.0),
    (r"BM_PortDelayAccuracy/.*counter:1$", "undershoots", "", 0.0),
    (r"BM_PortDelayAccuracy/.*counter:1$", "clock_read_ns", "ns", None),
    (r"BM_PortDelayAccuracy/.*counter:0$", "overshoot_ns", "ns", None),
    (r"BM_PortDelayAccuracy/.*counter:0$", "undershoots", "", 0.0),
    (r"BM_DdsSendWordWithDelays/counter:1$", "frame_us", "us", 8.4 * 1.05),
    (r"BM_DdsSendWordWithDelays/counter:0$", "frame_us", "us", None),
    (r"BM_AnalyzerRedrawSixPlusSixMemory/[01]$", "cpu", "ms", 8.0),
    (r"BM_SmithRedraw$", "median_ms", "ms", 8.0),
    # The analyzer's CPU time per point without (0) and with the intervals and
    # the sign, pass after pass (1) and on a first pass, nothing kept (2); with
    # 4 passes averaged, without (3) and with (4): each "with" is to stay within
    # 10 % of its "without" (see RATIOS); corrected with a calibration of the
    # bridge, pass after pass (5) and first (6): within 1.3 of 1 and 2.
    (r"BM_AnalyzerPassPerPoint/[0-6]$", "us_per_point", "us", None),
    (r"BM_WorstEventWait/", "worst_wait_ms", "ms", 20.0),
    (r"BM_WorstEventWait/", "worst_cpu_wait_ms", "ms", None),
    (r"BM_CrystalFit1000$", "cpu", "ms", 20.0),
    (r"BM_LadderDesignCohn4$", "cpu", "ms", 50.0),
    (r"BM_LadderDesignWithSpreadCohn4$", "cpu", "ms", 200.0),
]
# (numerator, denominator, value, target): with over without the intervals,
# marks and signs, each at most 1.10; corrected over uncorrected, at most 1.30.
RATIOS = [
    ("BM_AnalyzerPassPerPoint/1", "BM_AnalyzerPassPerPoint/0", "us_per_point", 1.10),
    ("BM_AnalyzerPassPerPoint/2", "BM_AnalyzerPassPerPoint/0", "us_per_point", 1.10),
    ("BM_AnalyzerPassPerPoint/4", "BM_AnalyzerPassPerPoint/3", "us_per_point", 1.10),
    ("BM_AnalyzerPassPerPoint/5", "BM_AnalyzerPassPerPoint/1", "us_per_point", 1.30),
    ("BM_AnalyzerPassPerPoint/6", "BM_AnalyzerPassPerPoint/2", "us_per_point", 1.30),
    ("BM_AnalyzerRedrawSixPlusSixMemory/1", "BM_AnalyzerRedrawSixPlusSixMemory/0", "cpu", 1.10),
]
TO_UNIT = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}


def clean(name):
    return re.sub(r"/(repeats|iterations):\d+|/real_time", "", name)


rows = {}
for path in sorted(glob.glob(sys.argv[1] + "/*.json")):
    with open(path) as f:
        text = f.read()
    if not text.strip():
        continue  # a benchmark binary with nothing left by KOLM_BENCH_FILTER
    data = json.loads(text)
    for b in data.get("benchmarks", []):
        if b.get("run_type") != "aggregate" or b.get("error_occurred"):
            continue
        agg = b.get("aggregate_name")
        if agg in ("median", "stddev"):
            rows.setdefault(clean(b["run_name"]), {})[agg] = b
        if agg == "median":
            rows[clean(b["run_name"])]["binary"] = path.rsplit("/", 1)[1][:-5]


def value(b, field, unit):
    if field in ("cpu", "real"):
        v = b["cpu_time" if field == "cpu" else "real_time"]
        return v * TO_UNIT[b["time_unit"]] / TO_UNIT[unit]
    return b.get(field)


def number(v):
    return "%.4g" % v


print("%-58s %10s %10s %10s  %s" % ("figure", "median", "spread", "target", "met"))
for name, r in rows.items():
    if "median" not in r:
        continue
    specs = [s for s in FIGURES if re.search(s[0], name)]
    if not specs:
        specs = [(None, "cpu", r["median"]["time_unit"], None)]
    for _, field, unit, target in specs:
        med = value(r["median"], field, unit)
        if med is None:
            continue
        sd = value(r["stddev"], field, unit) if "stddev" in r else None
        label = name + ("" if field in ("cpu", "real") else " " + field)
        if field in ("cpu", "real"):
            label += " (" + field + ")"
        met = "-" if target is None else ("met" if med <= target else "NOT MET")
        print("%-58s %10s %10s %10s  %s" % (
            label, number(med) + " " + unit, "±" + number(sd) if sd is not None else "-",
            "-" if target is None else "≤ " + number(target) + " " + unit, met))
for num, den, field, target in RATIOS:
    if "median" not in rows.get(num, {}) or "median" not in rows.get(den, {}):
        continue
    ratio = value(rows[num]["median"], field, "ms") / value(rows[den]["median"], field, "ms")
    print("%-58s %10s %10s %10s  %s" % (
        num + " over /" + den.rsplit("/", 1)[1] + " (" + field + ")", "%.3f" % ratio, "-", "≤ %.2f" % target,
        "met" if ratio <= target else "NOT MET"))
EOF
