// The crystal meter's results in words: the digits each value's interval
// deserves, the result box, and the mean of repeated measurements.
#include <algorithm>
#include <cmath>

#include "common/text.h"
#include "common/tr.h"
#include "common/typed_number.h"
#include "powermeter/calibration.h"
#include "powermeter/crystal_fit.h"

namespace kolm::powermeter {

std::string_view slopeSourceName(SlopeSource source) {
  switch (source) {
    case SlopeSource::Level:
      return "level";
    case SlopeSource::Steps:
      return "steps";
    case SlopeSource::Suspect:
      return "suspect";
    case SlopeSource::Default:
      break;
  }
  return "default";
}

std::string slopeAdvice(SlopeSource source, const std::string& calibrate,
                        const std::string& steps) {
  if (source == SlopeSource::Suspect)
    return common::arg(KOLM_TR("kolm",
                               "The detector's counts lie outside its figures: R, L, Cs, C0 and Q "
                               "carry what the figures allow of its slope. Calibrate it again "
                               "(%1) or measure a loss step through the fixture (%2)."),
                       {calibrate, steps});
  if (source != SlopeSource::Default) return {};
  return common::arg(
      KOLM_TR("kolm",
              "The detector's counts are the default ones: its slope is known only within %1 %, "
              "and R, L, Cs, C0 and Q carry that. Calibrate it (%2) or measure a loss step "
              "through the fixture (%3) to narrow them."),
      {common::shortestText(detectorFigures().slopeTolerance * 100), calibrate, steps});
}

std::string loadProblem(double loadPf) {
  if (!(loadPf > 0) || loadPf > kMaxLoadPf)
    return KOLM_TR("kolm",
                   "The load capacitance is one above 0 pF and up to 1000 pF (a crystal's "
                   "load is some 8 to 50 pF).");
  return {};
}

int decimalsFor(double pm, int fallback) {
  if (!(pm > 0) || !std::isfinite(pm)) return fallback;
  int decimals = 1 - static_cast<int>(std::floor(std::log10(pm)));
  // 0.0996 shows as 0.10: one decimal fewer.
  const double scale = std::pow(10.0, decimals);
  if (std::round(pm * scale) >= 100) --decimals;
  return decimals;
}

double roundToDecimals(double value, int decimals) {
  if (decimals >= 0) {
    const double scale = std::pow(10.0, decimals);
    const double rounded = std::round(value * scale) / scale;
    return std::isfinite(rounded) ? rounded : value;
  }
  const double unit = std::pow(10.0, -decimals);
  return std::round(value / unit) * unit;
}

DeservedText deservedText(double value, double pm, int fallback) {
  const int decimals = decimalsFor(pm, fallback);
  const std::string pattern =
      decimals > 0 ? "0." + std::string(static_cast<size_t>(decimals), '0') : "0";
  const double shown = roundToDecimals(value, decimals);
  const double pmShown = common::outwardHalfWidth(value, pm, decimals);
  return {common::formatPattern(shown, pattern), common::formatPattern(pmShown, pattern), pmShown};
}

std::string halfWidthText(double pm, int fallback) {
  const int decimals = decimalsFor(pm, fallback);
  const std::string pattern =
      decimals > 0 ? "0." + std::string(static_cast<size_t>(decimals), '0') : "0";
  return common::formatPattern(common::outwardHalfWidth(0, pm, decimals), pattern);
}

std::optional<float> r0FromText(std::string_view text) {
  const auto v = common::typedNumber(text).value;
  if (!v || !(*v > 0) || !common::fitsSingle(*v) || !(static_cast<float>(*v) > 0))
    return std::nullopt;
  return static_cast<float>(*v);
}

CrystalParameters combineRepeats(const std::vector<CrystalParameters>& passes) {
  if (passes.empty()) return {};
  if (passes.size() == 1) return passes.front();
  CrystalParameters out = passes.front();
  const double count = static_cast<double>(passes.size());
  out.repeats = static_cast<int>(passes.size());
  for (const CrystalParameters& p : passes) {
    if (p.method == CrystalMethod::Edges) {
      out.method = CrystalMethod::Edges;
      out.fallback = p.fallback;
    }
    for (const std::string& note : p.notes)
      if (std::find(out.notes.begin(), out.notes.end(), note) == out.notes.end())
        out.notes.push_back(note);
  }
  auto combine = [&](auto member) -> std::optional<Measured> {
    std::vector<Measured> values;
    for (const CrystalParameters& p : passes) {
      const std::optional<Measured> v = member(p);
      if (!v) return std::nullopt;
      values.push_back(*v);
    }
    Measured m;
    double stat = 0;
    for (const Measured& v : values) {
      m.value += v.value / count;
      stat += v.stat / count;
      m.sys = std::max(m.sys, v.sys);
      m.common = std::max(m.common, v.common);
    }
    double ss = 0;
    for (const Measured& v : values) ss += (v.value - m.value) * (v.value - m.value);
    m.sd = std::sqrt(ss / (count - 1));
    // The spread shows the passes' own noise, which averages down; a fit's
    // noise beyond it came back alike in every pass and stays.
    m.stat = m.sd >= stat ? m.sd / std::sqrt(count)
                          : std::sqrt(stat * stat - m.sd * m.sd * (1 - 1 / count));
    m.pm = 2 * m.stat + m.sys;
    return m;
  };
  out.fsMHz = *combine([](const CrystalParameters& p) { return std::optional(p.fsMHz); });
  out.rOhm = *combine([](const CrystalParameters& p) { return std::optional(p.rOhm); });
  out.fpMHz = combine([](const CrystalParameters& p) { return p.fpMHz; });
  out.lMilliHenry = combine([](const CrystalParameters& p) { return p.lMilliHenry; });
  out.csFemtoFarad = combine([](const CrystalParameters& p) { return p.csFemtoFarad; });
  out.c0PicoFarad = combine([](const CrystalParameters& p) { return p.c0PicoFarad; });
  out.q = combine([](const CrystalParameters& p) { return p.q; });
  out.flMHz = combine([](const CrystalParameters& p) { return p.flMHz; });
  double rms = 0;
  for (const CrystalParameters& p : passes) rms += p.rmsDb / count;
  out.rmsDb = rms;
  return out;
}

namespace {

// A number to `decimals` (rounded up for a half-width), its thousands
// grouped with blanks when `thousands`.
std::string decimalText(double value, int decimals, bool thousands, bool up = false) {
  std::string pattern = thousands ? "#,##0" : "0";
  for (int k = 0; k < decimals; ++k) pattern += k == 0 ? ".0" : "0";
  return common::formatPattern(
      up ? common::outwardHalfWidth(0, value, decimals) : roundToDecimals(value, decimals), pattern,
      ' ');
}

std::string pmText(double pm, bool thousands = false) {
  return decimalText(pm, decimalsFor(pm, 0), thousands, true);
}

// The value with the decimals its interval deserves and the interval, which
// holds what rounding moved the value by.
std::string line(const Measured& m, double scale, int fallbackDecimals, std::string_view unit,
                 bool thousands = false) {
  const double value = m.value * scale;
  const int decimals = decimalsFor(m.pm * scale, fallbackDecimals);
  return decimalText(value, decimals, thousands) + std::string(unit) + " \u00b1 " +
         decimalText(common::outwardHalfWidth(value, m.pm * scale, decimals), decimals, thousands) +
         std::string(unit);
}

std::string frequencyLine(const std::optional<Measured>& m) {
  if (!m) return " ";
  // MHz to the digits the interval deserves (at least to the hertz), the
  // interval itself in hertz.
  const int decimals = std::max(6, decimalsFor(m->pm, 6));
  std::string pattern = "0.";
  for (int k = 0; k < decimals; ++k) {
    if (k > 0 && k % 3 == 0) pattern += ' ';
    pattern += '0';
  }
  const double moved = std::abs(roundToDecimals(m->value, decimals) - m->value);
  return common::formatPattern(m->value, pattern) + " MHz \u00b1 " + pmText((m->pm + moved) * 1e6) +
         " Hz";
}

}  // namespace

std::string crystalParametersReport(const CrystalParameters& p) {
  std::string text = "Fs  " + frequencyLine(p.fsMHz) + "\n";
  text += "Fp  " + frequencyLine(p.fpMHz) + "\n";
  text += "Q:  " + (p.q ? line(*p.q, 1, 0, "", true) : std::string(" ")) + "\n\n";
  text += "R: " + line(p.rOhm, 1, 1, " \u03a9");
  // L in mH whatever its size, as the batch's table and files give it (a
  // crystal's is some 1 to 1000 mH; below 1 mH it keeps three decimals).
  if (!p.lMilliHenry)
    text += "\nL(mH):  ";
  else
    text += "\nL(mH): " + line(*p.lMilliHenry, 1, p.lMilliHenry->value < 1 ? 3 : 2, "");
  if (!p.csFemtoFarad)
    text += "\nCs(fF):  ";
  else if (p.csFemtoFarad->value < 1000)
    text += "\nCs(fF): " + line(*p.csFemtoFarad, 1, 1, "");
  else
    text += "\nCs(pF): " + line(*p.csFemtoFarad, 1e-3, 2, "");
  if (p.c0PicoFarad) text += "\nC0(pF): " + line(*p.c0PicoFarad, 1, 2, "");
  if (p.flMHz)
    text += "\n" + common::arg(KOLM_TR("kolm", "Fl at %1 pF  "), {common::shortestText(p.loadPf)}) +
            frequencyLine(p.flMHz);
  text += "\n\n";
  if (p.method == CrystalMethod::Fit)
    text += common::arg(KOLM_TR("kolm",
                                "Fitted to %1 levels (rms residual %2 dB); intervals hold the "
                                "fit's noise, the read-out's resolution and the detector's "
                                "stated error."),
                        {std::to_string(p.points), common::formatPattern(p.rmsDb, "0.000")});
  else
    text += KOLM_TR("kolm", "From the peak and the interpolated -3 dB points, not fitted: ") +
            p.fallback;
  if (p.repeats > 1)
    text += "\n" + common::arg(KOLM_TR("kolm", "Mean of %1 passes."), {std::to_string(p.repeats)});
  const std::string advice =
      slopeAdvice(p.slope, menuPath({"Calibrate"}), menuPath({"CrystalMeter", "Loss step"}));
  if (!advice.empty()) text += "\n" + advice;
  for (const std::string& note : p.notes) text += "\n" + note;
  return text;
}

}  // namespace kolm::powermeter
