#include "analyzer/analysis.h"

#include <algorithm>
#include <cmath>

#include "analyzer/readouts.h"
#include "analyzer/validity.h"
#include "common/text.h"
#include "common/tr.h"

namespace kolm::analyzer {

SwrAnalysis analyzeSwr(const TraceValues& trace) {
  SwrAnalysis a;
  const std::vector<float>& swr = trace.values[kSwr];
  const size_t n = std::min({swr.size(), trace.flags.size(), trace.frequencies.size()});
  auto resonance = [&](std::optional<double> near) {
    if (trace.signs.size() < n || trace.reactanceResolution.size() < n) return;
    std::vector<uint8_t> measured(n);
    for (size_t i = 0; i < n; ++i)
      measured[i] = quantityMark(trace.flags[i], kReactance) == chart::Mark::Valid &&
                    std::isfinite(trace.values[kReactance][i]);
    const ReactanceSamples samples{std::span(trace.frequencies.data(), n),
                                   std::span(trace.values[kReactance].data(), n),
                                   std::span(trace.values[kResistance].data(), n),
                                   std::span(trace.reactanceResolution.data(), n), measured};
    a.resMHz = reactanceZero(samples, trace.signs, near);
  };
  auto measured = [&](size_t i, int q) {
    return quantityMark(trace.flags[i], q) == chart::Mark::Valid &&
           std::isfinite(trace.values[q][i]);
  };
  auto usable = [&](size_t i) { return measured(i, kSwr); };
  // At the return-loss limit the SWR is at most its bound, below both thresholds.
  auto inside = [&](size_t i) { return trace.flags[i] == PointFlag::RlLimit; };
  const double bound = evaluatePoint(0, kHalfTurnCounts / 2).values[kSwr];
  auto lowest = [&](size_t i) { return inside(i) ? bound : static_cast<double>(swr[i]); };
  auto run = chart::extremeRun(
      n, lowest, [&](size_t i) { return usable(i) || inside(i); }, false);
  if (!run) {
    resonance(std::nullopt);
    return a;
  }
  const size_t centre = run->centre();
  a.minIsBound = inside(centre);
  a.swrMin = lowest(centre);
  a.minMHz = run->even() ? (trace.frequencies[centre] + trace.frequencies[centre + 1]) / 2
                         : trace.frequencies[centre];
  // A value at the centre: the middle point's, or the mean of the two middle
  // ones; its half-width the wider of theirs.
  const size_t lastMiddle = run->even() ? centre + 1 : centre;
  auto there = [&](int q, std::optional<double>& value, std::optional<double>& pm) {
    double sum = 0, wide = 0;
    for (size_t i = centre; i <= lastMiddle; ++i) {
      if (!measured(i, q)) return;
      sum += std::fabs(trace.values[q][i]);
      if (trace.halfWidths[q].size() > i)
        wide = std::max(wide, static_cast<double>(trace.halfWidths[q][i]));
    }
    value = sum / static_cast<double>(lastMiddle - centre + 1);
    if (trace.halfWidths[q].size() > lastMiddle && std::isfinite(wide)) pm = wide;
  };
  there(kResistance, a.rOhm, a.rPm);
  there(kReactance, a.xOhm, a.xPm);
  if (a.xOhm && trace.signs.size() > lastMiddle && trace.signs[centre] == trace.signs[lastMiddle])
    a.xSign = trace.signs[centre];
  if (!a.minIsBound) {
    std::optional<double> swrThere;
    there(kSwr, swrThere, a.swrMinPm);
    // An SWR whose interval is open above is known only from below.
    if (swrThere && !a.swrMinPm && trace.halfWidths[kSwr].size() > lastMiddle &&
        trace.swrLow.size() > lastMiddle) {
      a.minAtLeast = true;
      a.swrMin = std::min(trace.swrLow[centre], trace.swrLow[lastMiddle]);
    }
  }

  const std::span<const double> frequencies(trace.frequencies.data(), n);
  auto value = [&](size_t i) { return static_cast<double>(swr[i]); };
  auto band = [&](double limit) {
    if (*a.swrMin > limit) return chart::Edges{};
    return chart::walkEdges(frequencies, value, usable, inside, centre, limit, false);
  };
  a.swr2 = band(2);
  a.swr15 = band(1.5);
  resonance(a.minMHz);
  return a;
}

std::string swrReport(const SwrAnalysis& a) {
  using chart::reportApproximate;
  using chart::reportLine;
  const std::string kind = !a.swrMin      ? "none"
                           : a.minIsBound ? "bound"
                           : a.minAtLeast ? "at_least"
                                          : "value";
  return reportLine("swr_min", a.swrMin, 3) + reportLine("swr_min_pm", a.swrMinPm, 3) +
         "swr_min_kind=" + kind + "\n" + reportLine("swr_min_mhz", a.minMHz, 6) +
         reportLine("r_at_min_ohm", a.rOhm, 2) + reportLine("r_at_min_ohm_pm", a.rPm, 2) +
         reportLine("x_at_min_ohm", a.xOhm, 2) + reportLine("x_at_min_ohm_pm", a.xPm, 2) +
         reportLine("swr2_low_mhz", a.swr2.low, 6) + reportLine("swr2_high_mhz", a.swr2.high, 6) +
         reportLine("swr2_bw_mhz", a.swr2.width(), 6) + reportApproximate("swr2_approx", a.swr2) +
         reportLine("swr15_low_mhz", a.swr15.low, 6) +
         reportLine("swr15_high_mhz", a.swr15.high, 6) +
         reportLine("swr15_bw_mhz", a.swr15.width(), 6) +
         reportApproximate("swr15_approx", a.swr15) + reportLine("res_mhz", a.resMHz, 6);
}

std::vector<std::pair<std::string, std::string>> swrAnalysisRows(const SwrAnalysis& a) {
  const auto& text = chart::panelText;
  // Values from edges interpolated across coarse steps are marked.
  auto mhz = [](const std::optional<double>& v, const chart::Edges& e) {
    return chart::markApproximate(v, chart::panelMHz(v), e.approximate());
  };
  auto khz = [](const chart::Edges& e) {
    return chart::markApproximate(e.width(), chart::panelKHz(e.width(), "0.0"), e.approximate());
  };
  // A value with its interval: "74.2 ± 1.8 Ω".
  auto plusMinus = [&](const std::optional<double>& v, const std::optional<double>& pm,
                       std::string_view pattern, std::string_view unit) {
    if (!v || !pm) return text(v, pattern, unit);
    return common::formatPattern(*v, pattern) + " \u00b1 " + common::formatPattern(*pm, pattern) +
           std::string(unit);
  };
  return {
      {KOLM_TR("kolm", "SWR min"),
       a.swrMin && (a.minIsBound || a.minAtLeast)
           ? chart::markedText(*a.swrMin, a.minIsBound ? chart::Mark::AtMost : chart::Mark::AtLeast,
                               "0.000")
           : plusMinus(a.swrMin, a.swrMinPm, "0.000", "")},
      {KOLM_TR("kolm", "at"), chart::panelMHz(a.minMHz)},
      {KOLM_TR("kolm", "R there"), plusMinus(a.rOhm, a.rPm, "0.0", " \u03a9")},
      {KOLM_TR("kolm", "X there"),
       (a.xOhm ? reactancePrefix(a.xSign) : "") + plusMinus(a.xOhm, a.xPm, "0.0", " \u03a9")},
      {KOLM_TR("kolm", "SWR 2 low"), mhz(a.swr2.low, a.swr2)},
      {KOLM_TR("kolm", "SWR 2 high"), mhz(a.swr2.high, a.swr2)},
      {KOLM_TR("kolm", "SWR 2 width"), khz(a.swr2)},
      {KOLM_TR("kolm", "SWR 1.5 low"), mhz(a.swr15.low, a.swr15)},
      {KOLM_TR("kolm", "SWR 1.5 high"), mhz(a.swr15.high, a.swr15)},
      {KOLM_TR("kolm", "SWR 1.5 width"), khz(a.swr15)},
      {KOLM_TR("kolm", "X = 0 at"), chart::panelMHz(a.resMHz)},
  };
}

std::vector<BandWidths> bandWidths(const TraceValues& t, int region) {
  std::vector<BandWidths> out;
  const size_t n = std::min(t.flags.size(), t.frequencies.size());
  if (n == 0) return out;
  const double bound = evaluatePoint(0, kHalfTurnCounts / 2).values[kSwr];
  auto swrOf = [&](size_t i) -> std::optional<double> {
    if (t.flags[i] == PointFlag::RlLimit) return bound;
    if (quantityMark(t.flags[i], kSwr) != chart::Mark::Valid || !std::isfinite(t.values[kSwr][i]))
      return std::nullopt;
    return t.values[kSwr][i];
  };
  const auto [first, last] = std::minmax(t.frequencies.front(), t.frequencies[n - 1]);
  for (const common::AmateurBand& band : common::amateurBands(region)) {
    if (band.highMHz <= first || band.lowMHz >= last) continue;
    BandWidths w{band};
    // What of the band the sweep does not reach.
    w.unmeasuredMHz = std::max(0.0, first - band.lowMHz) + std::max(0.0, band.highMHz - last);
    for (size_t i = 0; i + 1 < n; ++i) {
      double fa = t.frequencies[i], fb = t.frequencies[i + 1];
      auto sa = swrOf(i), sb = swrOf(i + 1);
      if (fb < fa) {
        std::swap(fa, fb);
        std::swap(sa, sb);
      }
      const double a = std::max(fa, band.lowMHz), b = std::min(fb, band.highMHz);
      if (!(b > a)) continue;
      if (!sa || !sb) {
        w.unmeasuredMHz += b - a;
        continue;
      }
      // The part of [a, b] where the line from (fa, sa) to (fb, sb) stays at
      // or under `limit`.
      auto under = [&](double limit) {
        auto at = [&](double f) { return *sa + (*sb - *sa) * (f - fa) / (fb - fa); };
        const double va = at(a), vb = at(b);
        if (va <= limit && vb <= limit) return b - a;
        if (va > limit && vb > limit) return 0.0;
        const double cross = a + (limit - va) / (vb - va) * (b - a);
        return va <= limit ? cross - a : b - cross;
      };
      w.swr2MHz += under(2);
      w.swr15MHz += under(1.5);
    }
    out.push_back(w);
  }
  return out;
}

std::string bandReport(const std::vector<BandWidths>& bands) {
  std::string out;
  for (const BandWidths& w : bands) {
    const std::string key = std::string("band_") + w.band.name;
    out += chart::reportLine(key + "_low_mhz", w.band.lowMHz, 4) +
           chart::reportLine(key + "_high_mhz", w.band.highMHz, 4) +
           chart::reportLine(key + "_swr2_mhz", w.swr2MHz, 4) +
           chart::reportLine(key + "_swr15_mhz", w.swr15MHz, 4) +
           chart::reportLine(key + "_unmeasured_mhz", w.unmeasuredMHz, 4);
  }
  return out;
}

}  // namespace kolm::analyzer
