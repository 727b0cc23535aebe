#!/usr/bin/env bash
# Mutation check of the core tests: applies each of a fixed list of small faults
# to the core's formulas and rules (a sign, an off-by-one, < for <=, a wrong
# constant), one at a time, rebuilds the core tests and runs them. A mutation the
# tests catch is "killed"; one they pass is "survived" and names a hole.
#   scripts/mutate.sh            every mutation
#   scripts/mutate.sh 3 17       only those numbers
# The faults are made in a copy of the sources under build-mut/ (the build
# without windows, so only the core, the command line and their tests are
# rebuilt): the working tree is never written to, and the copy's file is put back
# after each mutation, on Ctrl-C too.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

# file | text as it stands (once in the file, on one line) | the fault
mutations=(
  "src/hw/dds.cpp|mask >= 1; mask /= 2|mask > 1; mask /= 2"
  "src/hw/dds.cpp|refClockMultiplier * 8 + 6|refClockMultiplier * 8 + 4"
  "src/hw/dds.cpp|if (!(w < 2147483648.0))|if (!(w <= 2147483648.0))"
  "src/hw/dds.cpp|frequencyMHz < 0)|frequencyMHz <= 0)"
  "src/hw/readout.cpp|kDetectorBit) ++a;|kDetectorBit) --a;"
  "src/hw/readout.cpp|kBridgeBBit) ++r.b;|kBridgeABit) ++r.b;"
  "src/hw/params.cpp|multiplier > 3 ?|multiplier >= 3 ?"
  "src/hw/params.cpp|quartzMHz <= 0|quartzMHz < 0"
  "src/powermeter/level.cpp|((-60.0 / d) * (calibration.countsAt0Dbm - reading))|((60.0 / d) * (calibration.countsAt0Dbm - reading))"
  "src/powermeter/level.cpp|if (level <= floorDbm)|if (level < floorDbm)"
  "src/powermeter/level.cpp|(calibration.countsAt0Dbm - 1023)|(calibration.countsAt0Dbm - 1024)"
  "src/powermeter/level.h|kDefaultCountsAtMinus60Dbm = hw::kNominalCountsAtMinus60Dbm;|kDefaultCountsAtMinus60Dbm = hw::kNominalCountsAtMinus60Dbm + 1;"
  "src/powermeter/calibration.cpp|k < 5; ++k|k < 4; ++k"
  "src/powermeter/normalise.cpp|position = mhz * 10;|position = mhz * 100;"
  "src/powermeter/normalise.cpp|position > last) return|position >= last) return"
  "src/powermeter/sweep.cpp|plan.bottomDbm = plan.bottomDbm - 1.0f|plan.bottomDbm = plan.bottomDbm + 1.0f"
  "src/analyzer/impedance.cpp|b * p - a * q|b * p + a * q"
  "src/analyzer/impedance.cpp|difference * kReturnLossRangeDb|difference * (kReturnLossRangeDb + 1)"
  "src/analyzer/impedance.cpp|? 0.999f : rho|? 0.99f : rho"
  "src/analyzer/impedance.cpp|* 3.14 / 180.0|* 3.14159 / 180.0"
  "src/analyzer/impedance.cpp|resistance = kReference * z.re|resistance = 1.5f * kReference * z.re"
  "src/analyzer/validity.cpp|if (a > kTotalReflectionCounts)|if (a >= kTotalReflectionCounts)"
  "src/analyzer/validity.cpp|b >= kHalfTurnCounts - 1 - kPhaseEndCounts|b > kHalfTurnCounts - 1 - kPhaseEndCounts"
  "src/analyzer/validity.cpp|if (q == kSwr) return Mark::AtMost;|if (q == kSwr) return Mark::AtLeast;"
  "src/chart/scale.h|return i * ((stop - start) / steps) + start|return i * ((stop - start) / (steps + 1)) + start"
  "src/analyzer/sweep.cpp|i <= *n; ++i) word += p.wordStep|i < *n; ++i) word += p.wordStep"
  "src/vfo/tuning.cpp|t.ddsMHz / 2 - ifOffset|t.ddsMHz / 2 + ifOffset"
  "src/vfo/tuning.cpp|6 + (p - 1 - position)|6 + (p - position)"
  "src/vfo/tuning.cpp|t.ddsMHz > limit|t.ddsMHz >= limit"
  "src/chart/grid.cpp|if (d < 30) s = 2;|if (d <= 30) s = 2;"
  "src/chart/grid.cpp|m >= 21 && m <= 46|m >= 21 && m <= 45"
  "src/chart/grid.cpp|viewStart) / 8.0f|viewStart) / 10.0f"
  "src/chart/markers.cpp|(b.value - a.value) * along|(b.value + a.value) * along"
  "src/chart/edges.h|if (!run \|\| j - i > run->last - run->first)|if (!run \|\| j - i >= run->last - run->first)"
  "src/chart/markers.cpp|markers_.size() == 2)|markers_.size() == 3)"
  "src/chart/zoom.cpp|? points >= policy.minPoints|? points > policy.minPoints"
  "src/chart/zoom.cpp|views_.erase(views_.begin() + 1)|views_.erase(views_.begin())"
  "src/common/text.cpp|if (rest > half \|\| (rest == half && (n & 1))) ++n;|if (rest >= half) ++n;"
  "src/common/text.cpp|if (++digits > 15) return false;|if (++digits > 16) return false;"
  "src/common/settings_file.cpp|raw.remove_prefix(3);|raw.remove_prefix(0);"
  "src/common/settings_file.cpp|while (j < raw.size() && raw[j] == '\\r') ++j;|while (false) ++j;"
  "src/hw/params.cpp|if (p.refClockMultiplier > 3 &&|if (p.refClockMultiplier > 4 &&"
  "src/hw/params.cpp|\|\| p.refClockMHz > kMaxRefClkMHz)|\|\| p.refClockMHz > 1e300)"
  "src/analyzer/uncertainty.cpp|std::min(1.0, rhoHigh + directivity)|std::min(1.0, rhoHigh)"
  "src/analyzer/uncertainty.cpp|if (read > 180 - f.phaseEndDeg) phase.high = 180;|if (read > 180) phase.high = 180;"
  "src/analyzer/reactance_sign.cpp|> resolved) return change > 0 ? 1 : -1;|> resolved) return change > 0 ? -1 : 1;"
  "src/analyzer/reactance_sign.cpp|if (4 * clockwise >= 3 * decided) return 1;|if (4 * clockwise >= 3 * decided) return -1;"
  "src/analyzer/reactance_sign.cpp|kReach * n / kReachSteps)|kReach * n / (10 * kReachSteps))"
  "src/chart/label_room.cpp|box.top += dy;|box.top -= dy;"
  "src/chart/label_room.cpp|if (cutTop > from) open.emplace_back|if (cutTop >= from) open.emplace_back"
  "src/common/sweep_passes.cpp|pending_ = Pending::Continuous;|pending_ = Pending::Single;"
  "src/common/sweep_passes.cpp|if (mode_ == Mode::Continuous) mode_ = Mode::Single;|if (mode_ == Mode::Single) mode_ = Mode::Continuous;"
  "src/common/pass_average.cpp|held_ = std::min(held_ + 1, depth_);|held_ = std::min(held_ + 1, depth_ - 1);"
  "src/powermeter/averaging.cpp|std::pow(10.0, dbm / 10.0)|std::pow(10.0, dbm / 20.0)"
  "src/analyzer/uncertainty.cpp|f.noiseCounts / std::sqrt(std::max(passes, 1))|f.noiseCounts / std::max(passes, 1)"
  "src/analyzer/uncertainty.cpp|r.take(std::max(0.0, cr - radius)), r.take(cr + radius);|r.take(std::max(0.0, cr - radius)), r.take(cr);"
  "src/analyzer/uncertainty.cpp|if (within(a.topAngle)) im.take(a.top);|if (within(a.topAngle)) im.take(0);"
  "src/analyzer/uncertainty.cpp|t1, t2, at);  // R|t1, t1, at);  // R"
  "src/analyzer/reactance_sign.cpp|peak ? zeroWithin(runs[r].last, runs[r + 1].first) : std::nullopt;|std::nullopt;"
  "src/analyzer/reactance_sign.cpp|while (to < last && zeroInside(to + 1)) ++to;|while (to < z) ++to;"
  "src/analyzer/analysis.cpp|trace.signs[centre] == trace.signs[lastMiddle])|true)"
  "src/analyzer/recent_readings.h|if ((keys_[i + 1] & ~kNewer) == key) return values_[i + 1];|if ((keys_[i + 1] & ~kNewer) == key) return values_[i];"
  "src/analyzer/uncertainty.cpp|1e-6 ? -1 : whole;|1e-6 ? -1 : whole / passes;"
  "src/analyzer/uncertainty.cpp|static_cast<UncertainSet>(1u << q);|static_cast<UncertainSet>(1u << 0);"
  "src/analyzer/uncertainty.cpp|meanReflectionSize(a - 1), meanReflectionSize(a + 1)}|meanReflectionSize(a - 1), meanReflectionSize(a)}"
  "src/analyzer/impedance.cpp|float meanReflectionSize(double a) { return rhoOfReturnLoss(meanReturnLoss(a)); }|float meanReflectionSize(double a) { return rhoOfReturnLoss(meanReturnLoss(a + 1e-3)); }"
  "src/chart/smith.cpp|return arc(centre, radius, fa, span);|return arc(centre, radius, fb, span);"
  "src/chart/smith.cpp|ohms(r * r0)});|ohms(r * r0 + 1)});"
  "src/chart/smith.cpp|if (run.count > 0 && !last|if (run.count > 1 && !last"
  "src/analyzer/validity.cpp|if (a <= 0) return PointFlag::RlLimit;|if (a < 1) return PointFlag::RlLimit;"
  "src/analyzer/matching.cpp|g / r0 - g * g|g / r0 + g * g"
  "src/analyzer/matching.cpp|add(true, -z.imag(), b - y.imag());|add(true, z.imag(), b - y.imag());"
  "src/analyzer/matching.cpp|if (r <= r0 * (1 + 1e-12)) {|if (r <= r0 * 0.5) {"
  "src/circuit/transmission_line.cpp|towards(near, s) * std::exp(2.0 * p.gammaLength)|towards(near, s) * std::exp(1.0 * p.gammaLength)"
  "src/circuit/transmission_line.cpp|Complex(1, -2 * alpha / beta)|Complex(1, 2 * alpha / beta)"
  "src/circuit/transmission_line.cpp|lossDbPer100m * std::sqrt(mhz / lossAtMHz)|lossDbPer100m * (mhz / lossAtMHz)"
  "src/analyzer/cable.cpp|.high += step[static_cast<size_t>(q)];|.high += 0;"
  "src/analyzer/cable.cpp|const int parity = end == StubEnd::Open ? 1 : 0;|const int parity = end == StubEnd::Open ? 0 : 1;"
  "src/analyzer/cable.cpp|toVf = 4 * lengthM * 1e6 / kLight|toVf = 2 * lengthM * 1e6 / kLight"
  "src/analyzer/analysis.cpp|w.swr15MHz += under(1.5);|w.swr15MHz += under(2);"
  "src/analyzer/analysis.cpp|va <= limit ? cross - a : b - cross|va <= limit ? b - cross : cross - a"
  "src/common/bands.cpp|0.25 * (band.highMHz - band.lowMHz), 0.025|0.25 * (band.highMHz - band.lowMHz), 0.02"
  "src/common/bands.cpp|{\"40m\", 7.000, 7.300}|{\"40m\", 7.000, 7.200}"
  "src/circuit/transmission_line.cpp|towards(far, s) * std::exp(-2.0 * p.gammaLength)|towards(far, s) * std::exp(-1.0 * p.gammaLength)"
  "src/analyzer/bridge_check.cpp|if (!over(start, stop, steps)) {|if (false) {"
  "src/analyzer/bridge_check.cpp|std::min(-readRatioDb(a + spread, f.magnitudeSlope),|std::max(-readRatioDb(a + spread, f.magnitudeSlope),"
  "src/analyzer/bridge_check.cpp|low(s) - high(o)) > 2 * directivity|low(s) - high(o)) > 4 * directivity"
  "src/analyzer/bridge_check.cpp|open.phaseCounts[k] * kDegreesPerCount > 90|open.phaseCounts[k] * kDegreesPerCount > 180"
  "src/analyzer/bridge_check.cpp|out.directivityMinDb < kNoLoadDb;|out.directivityMinDb < 0;"
)

copy="$root/build-mut/tree"
build="$root/build-mut/build"
mkdir -p "$copy"
# The copy follows the working tree (sources, tests, build files; no build output).
# Only a file whose content changed is copied, and with a new time: keeping the
# tree's time, it could be older than the object a previous run built from the
# old content, and would not be compiled again. Files gone from the tree go.
(cd "$root" && find . \( -path './build*' -o -path ./.git \) -prune -o -type f -print) |
  while IFS= read -r f; do
    cmp -s "$root/$f" "$copy/$f" || { mkdir -p "$(dirname "$copy/$f")" && cp "$root/$f" "$copy/$f"; }
  done
(cd "$copy" && find . -type f) | while IFS= read -r f; do
  [ -e "$root/$f" ] || rm -f "$copy/$f"
done

current=""
# The file is put back with a new time, so that the next build compiles it again.
restore() { if [ -n "$current" ]; then cp "$copy/$current.orig" "$copy/$current"; rm -f "$copy/$current.orig"; current=""; fi; }
trap 'restore' EXIT
trap 'restore; echo "mutate.sh: stopped" >&2; exit 130' INT TERM

# A file an earlier, stopped run had mutated may still be compiled mutated: every
# file of the list is compiled afresh.
for m in "${mutations[@]}"; do touch "$copy/${m%%|*}"; done

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$copy" -B "$build" -G Ninja "${launcher[@]}" -DCMAKE_BUILD_TYPE=Release -DKOLM_GUI=OFF \
      -DKOLM_BENCH=OFF >/dev/null
echo "Building the unmutated core tests..."
ninja -C "$build" kolm_core_tests >/dev/null
# Every core test but one: the long pass held only to see its progress output
# (about half a minute of waiting each run, too long to repeat for every mutation).
filter=--gtest_filter=-CliPowerSweep.ProgressOnLongPasses
# Started in the background, the tests would inherit an ignored SIGINT, which the
# command line's stop tests send: give them the default action back.
tests=(env --default-signal=INT ./kolm_core_tests "$filter" --gtest_brief=1)
# A loaded machine can fail a timing test once: the baseline gets a second try.
baseline() { (cd "$build" && "${tests[@]}" >"$root/build-mut/baseline.log" 2>&1); }
if ! baseline && ! baseline; then
  echo "mutate.sh: the core tests fail without any mutation (build-mut/baseline.log); nothing to measure" >&2
  exit 2
fi

selected=("$@")
killed=0 survived=0 broken=0
for n in "${!mutations[@]}"; do
  number=$((n + 1))
  if [ ${#selected[@]} -gt 0 ] && [[ ! " ${selected[*]} " =~ " $number " ]]; then continue; fi
  IFS='|' read -r file from to <<<"${mutations[$n]//\\|/$'\x1f'}"
  from=${from//$'\x1f'/|} to=${to//$'\x1f'/|}
  hits=$(grep -cF -- "$from" "$copy/$file" || true)
  if [ "$hits" != 1 ]; then
    printf '%2d  NOT APPLIED (%s lines match)  %s: %s\n' "$number" "$hits" "$file" "$from"
    broken=$((broken + 1))
    continue
  fi
  cp "$copy/$file" "$copy/$file.orig"
  current=$file
  FROM=$from TO=$to awk '{ i = index($0, ENVIRON["FROM"])
    if (i) $0 = substr($0, 1, i - 1) ENVIRON["TO"] substr($0, i + length(ENVIRON["FROM"]))
    print }' "$copy/$file.orig" >"$copy/$file"
  if ! ninja -C "$build" kolm_core_tests >/dev/null 2>&1; then
    verdict="killed (does not build)"
  elif (cd "$build" && timeout 600 "${tests[@]}" --gtest_fail_fast >/dev/null 2>&1); then
    verdict="SURVIVED"
  else
    verdict="killed"
  fi
  restore
  case $verdict in SURVIVED) survived=$((survived + 1)) ;; *) killed=$((killed + 1)) ;; esac
  printf '%2d  %-24s %s: %s  ->  %s\n' "$number" "$verdict" "$file" "$from" "$to"
done
ninja -C "$build" kolm_core_tests >/dev/null 2>&1 || true
echo "mutations: ${#mutations[@]}, killed $killed, survived $survived, not applied $broken"
