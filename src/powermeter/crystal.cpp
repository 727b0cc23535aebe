#include "powermeter/crystal.h"

#include <algorithm>
#include <cmath>

#include "common/text.h"
#include "common/tr.h"

namespace kolm::powermeter {

namespace {

// Thrown inside the analysis only, where the arithmetic fails.
struct Failure {
  std::string why;
};

void check(bool ok, const char* why) {
  if (!ok) throw Failure{why};
}

double finite(double value) {
  check(std::isfinite(value), "A result is beyond the range of numbers.");
  return value;
}

double divide(double numerator, double denominator, const char* why) {
  check(denominator != 0, why);
  return finite(numerator / denominator);
}

}  // namespace

CrystalResult analyzeCrystal(const CrystalSweep& sweep, const RifTable& crystalReference,
                             float R0) {
  CrystalResult r;
  const std::vector<float>& T = sweep.trace;
  const int N = sweep.Points;
  // The level at an index variable: its value rounded, halves to even.
  auto at = [&T](double i) {
    const double k = common::roundHalfEven(i);
    check(k >= 0 && k < static_cast<double>(T.size()), "An index lies beyond the trace.");
    return T[static_cast<size_t>(k)];
  };
  try {
    check(N > 6 && T.size() > static_cast<size_t>(N),
          "The sweep needs at least 7 points (the first six are not searched).");

    // Peak: the first of the highest levels from index 6 on, then its flat top.
    r.max = T[6];
    r.iMax = 6;
    for (int i = 6; i <= N; ++i)
      if (T[i] > r.max) {
        r.max = T[i];
        r.iMax = i;
      }
    r.iLast = r.iMax;
    for (int i = r.iMax; i <= N; ++i)
      if (T[i] == r.max) r.iLast = i;
    r.mid = (r.iMax + r.iLast) / 2.0;

    const float df = (sweep.TraceStop - sweep.TraceStart) / static_cast<float>(N);
    auto frequency = [&](double i) { return sweep.TraceStart + i * static_cast<double>(df); };
    r.Fs = static_cast<float>(frequency(r.mid));

    // The notch above the peak, and whether the trace rises again after it.
    float min = r.max;
    double iMin = r.mid;
    for (double i = r.mid; i <= N; i += 1) {
      const float v = at(i);
      if (v < min) {
        min = v;
        iMin = i;
      }
    }
    if (min + 1.0f < T[N]) r.Fp = static_cast<float>(frequency(iMin));
    r.iMin = iMin;
    r.min = min;

    // Loss at resonance against the through path.
    const auto entry = referenceIndex(r.Fs);
    check(entry.has_value(),
          "The series resonance lies outside the through-path reference (0 to 160 MHz).");
    const float a = crystalReference[*entry] - r.max;
    const double ratio = finite(std::pow(10.0, static_cast<double>(a / 20.0f)));
    r.R = finite(R0 * (ratio - 1));

    // The -3 dB points either side of the centre.
    const float threshold = r.max - 3.0f;
    double i = r.mid;
    bool more = true;
    do {
      i -= 1;
      const bool inside = i > 0;
      const bool above = at(i) > threshold;  // both tests made every time
      more = inside && above;
    } while (more);
    r.F1 = frequency(i);
    r.i1 = i;
    i = r.mid;
    do {
      i += 1;
      const bool inside = i < N;
      const bool above = at(i) > threshold;
      more = inside && above;
    } while (more);
    r.F2 = frequency(i);
    r.i2 = i;
    const double B = r.F2 - r.F1;

    const double QL = divide(r.Fs, B, "The sweep has no span: the bandwidth is 0.");
    // The two texts that name a menu command follow the language.
    if (R0 == 0)
      throw Failure{KOLM_TR(
          "kolm", "R0 is 0 ohm: enter the fixture's resistance with CrystalMeter > calQuarz.")};
    if (r.R == 0)
      throw Failure{
          KOLM_TR("kolm",
                  "The peak equals the through-path reference, so R is 0 ohm: measure the "
                  "reference again with calQuarz.")};
    r.Q = finite(finite(QL * (r.R + R0)) / r.R);
    r.L = divide(finite(r.Q * r.R), 6.28 * r.Fs, "The series resonance is at 0 MHz.");
    r.Cs = divide(1.0, finite(std::pow(6.28 * r.Fs, 2) * r.L), "The inductance is 0.");
  } catch (const Failure& failure) {
    r.error = failure.why;
  }
  return r;
}

std::string crystalReport(const CrystalResult& r) {
  using common::formatPattern;
  // The specified lines, with the units of Fs, Fp and R after their numbers.
  std::string text = "Fs  " + formatPattern(r.Fs, "0.000 000") + " MHz\n";
  text += "Fp  " + (r.Fp ? formatPattern(*r.Fp, "0.000 000") + " MHz" : std::string(" ")) + "\n";
  text += "Q:  " + formatPattern(r.Q, "### ###") + "\n\n";
  text += "R: " + formatPattern(r.R, "0.#") + " \u03a9";
  if (r.L > 1000)
    text += "\nL(mH): " + formatPattern(r.L * 0.001, "0.00");
  else
    text += "\nL(microH): " + formatPattern(r.L, "0.000");
  if (r.Cs < 1e-6)
    text += "\nCs(fF): " + formatPattern(r.Cs * 1e9, "0.0");
  else
    text += "\nCs(pF): " + formatPattern(r.Cs * 1e6, "### ###.00");
  return text;
}

std::vector<std::string> crystalWarnings(const CrystalResult& r, const CrystalSweep& sweep,
                                         const LevelLimits& limits) {
  std::vector<std::string> out;
  const int N = sweep.Points;
  const double stepHz =
      (static_cast<double>(sweep.TraceStop) - sweep.TraceStart) / std::max(1, N) * 1e6;
  if (r.iMax <= 6 || r.iLast >= N)
    out.push_back(KOLM_TR("kolm",
                          "The peak stands at an end of the sweep: Fs may lie outside it. Centre "
                          "the span on the resonance."));
  if (r.i1 <= 0 || r.i2 >= N)
    out.push_back(KOLM_TR("kolm",
                          "The level does not fall 3 dB inside the sweep on both sides of the "
                          "peak: Q, L and Cs are not measured. Widen the span."));
  else if (r.i2 - r.i1 < 10)
    out.push_back(common::arg(
        KOLM_TR("kolm",
                "The -3 dB width covers only %1 sweep steps of %2 Hz: R and Q are not reliable. "
                "Narrow the span around Fs or take more points (at least 10 steps across the "
                "-3 dB width)."),
        {common::shortestText(r.i2 - r.i1), common::shortestText(stepHz, 4)}));
  if (r.Fp && limits.flag(r.min) == LevelFlag::Floor) {
    // The stretch of the notch that lies on the floor.
    double last = r.iMin;
    while (last + 1 <= N &&
           limits.flag(sweep.trace[static_cast<size_t>(last + 1)]) == LevelFlag::Floor)
      last += 1;
    const std::string width = common::shortestText((last - r.iMin + 1) * stepHz / 1e3, 3);
    out.push_back(common::arg(
        KOLM_TR("kolm",
                "The parallel-resonance notch lies on the detector's floor over %1 kHz: Fp is "
                "the first point of that stretch and may be low by up to %1 kHz. Take Fp as "
                "uncertain by that much, or make the notch shallower (a fixture of higher R0)."),
        {width}));
  }
  return out;
}

std::string crystalMessage(const CrystalResult& result, const std::vector<std::string>& warnings) {
  std::string text = crystalReport(result);
  if (!warnings.empty()) text += "\n";
  for (const std::string& w : warnings) text += "\n" + w;
  return text;
}

std::string crystalFailure(const CrystalResult& result) {
  return KOLM_TR("kolm", "errore") + "\n" + result.error;
}

}  // namespace kolm::powermeter
