// The crystal meter's analysis of one power meter sweep across a crystal's series
// resonance: peak, flat top, series and parallel resonance, the -3 dB points, and
// from the loss against the through-path reference the motional R, Q, L and C.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "powermeter/reference.h"

namespace kolm::powermeter {

// The sweep as the window holds it: trace (at least Points + 1 levels; the
// walks may look one index beyond), its step count and span.
struct CrystalSweep {
  const std::vector<float>& trace;
  int16_t Points = 0;
  float TraceStart = 0;
  float TraceStop = 0;
};

struct CrystalResult {
  // The search: the first highest level from index 6 on, the end of its flat
  // top and their centre (which may end in .5).
  int iMax = 0;
  int iLast = 0;
  double mid = 0;
  float max = 0;
  float Fs = 0;             // MHz
  std::optional<float> Fp;  // MHz; none when the trace does not rise again after the notch
  double F1 = 0, F2 = 0;    // the -3 dB points, MHz
  double i1 = 0, i2 = 0;    // the indices the -3 dB walks ended at
  double iMin = 0;          // the notch's index, and its level
  float min = 0;
  double R = 0;   // motional resistance, ohms
  double Q = 0;   // unloaded
  double L = 0;   // microhenry
  double Cs = 0;  // microfarad
  // Why the computation failed (a division by zero, an overflow, an index beyond
  // a table); empty when it did not.
  std::string error;
  bool ok() const { return error.empty(); }
};

// The crystal analysis of a sweep. Index variables stay doubles: frequencies from their
// exact values, half steps included; array indices from their rounded values.
// Fails (never throws) where the arithmetic would: fewer than 7 points, R0 or R
// of 0, an empty span, Fs outside the reference table, a result beyond range.
CrystalResult analyzeCrystal(const CrystalSweep& sweep, const RifTable& crystalReference, float R0);

// The result box: "Fs  " Fs "0.000 000", "Fp  " Fp (or one blank), "Q:  " Q
// "### ###" and an empty line, "R: " R "0.#", then "L(mH): " L/1000 "0.00" above
// 1000 uH or "L(microH): " L "0.000", then "Cs(fF): " Cs x 1e9 "0.0" below 1 pF
// or "Cs(pF): " Cs x 1e6 "### ###.00"; lines broken with "\n".
std::string crystalReport(const CrystalResult& result);

// Why a result cannot be trusted, one sentence each, saying what to change:
// the -3 dB walk reached an end of the trace (widen the span), the -3 dB width
// covers fewer than 10 sweep steps (narrow the span or take more points), the
// peak stands at an end of the trace (centre the span on the resonance), the
// parallel-resonance notch lies on the detector's floor under `limits` (Fp is
// then only the floor's first point). Empty when there is nothing to say.
std::vector<std::string> crystalWarnings(const CrystalResult& result, const CrystalSweep& sweep,
                                         const LevelLimits& limits);
// The result box: crystalReport, then the warnings (if any) on the lines under it.
std::string crystalMessage(const CrystalResult& result, const std::vector<std::string>& warnings);

// The message for a failed measurement: "errore", then the reason on its own line.
std::string crystalFailure(const CrystalResult& result);

}  // namespace kolm::powermeter
