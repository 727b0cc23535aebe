#include "analyzer/analysis.h"

#include <algorithm>
#include <cmath>

#include "analyzer/readouts.h"
#include "analyzer/validity.h"
#include "common/text.h"
#include "common/tr.h"

namespace kolm::analyzer {

namespace {

// How far the lowest SWR of a sweep may lie from `at`: every point whose
// interval reaches below the lowest top of any interval may hold it, and the
// truth, falling to its minimum and rising after it, has it within a step of
// them (the points either side of them are surely higher than that top). The
// span is that of the sweep at most.
template <class Low, class High>
std::optional<double> minimumPm(std::span<const double> f, Low lowOf, High highOf, double at) {
  const size_t n = f.size();
  double top = INFINITY;
  for (size_t i = 0; i < n; ++i)
    if (highOf(i) < top) top = highOf(i);
  if (!std::isfinite(top)) return std::nullopt;
  size_t first = n, last = 0;
  for (size_t i = 0; i < n; ++i)
    // A point without an interval (open or beyond a total reflection) cannot.
    if (lowOf(i) <= top) {
      first = std::min(first, i);
      last = i;
    }
  const double from = f[first > 0 ? first - 1 : 0], to = f[last + 1 < n ? last + 1 : n - 1];
  return std::max(std::fabs(at - from), std::fabs(to - at));
}

// The reactance's zero nearest `near` (or any), into a.resMHz and a.resPm.
void findResonance(const TraceValues& trace, size_t n, std::optional<double> near, SwrAnalysis& a) {
  if (trace.signs.size() < n || trace.reactanceResolution.size() < n) return;
  std::vector<uint8_t> measured(n);
  for (size_t i = 0; i < n; ++i)
    measured[i] = quantityMark(trace.flags[i], kReactance) == chart::Mark::Valid &&
                  std::isfinite(trace.values[kReactance][i]);
  // Whether a point's reactance may be zero within its interval (all may,
  // where the trace carries no intervals).
  std::vector<uint8_t> zeroInside(n, 1);
  if (trace.halfWidths[kReactance].size() >= n)
    for (size_t i = 0; i < n; ++i)
      zeroInside[i] = !(trace.values[kReactance][i] > trace.halfWidths[kReactance][i]);
  const ReactanceSamples samples{std::span(trace.frequencies.data(), n),
                                 std::span(trace.values[kReactance].data(), n),
                                 std::span(trace.values[kResistance].data(), n),
                                 std::span(trace.reactanceResolution.data(), n),
                                 measured,
                                 zeroInside};
  if (const auto zero = reactanceZero(samples, trace.signs, near)) {
    a.resMHz = zero->mhz;
    a.resPm = zero->pm();
  }
}

// A lowest reading alone between two higher measured ones (at centre): the
// vertex of the parabola through the reflection's power at the three (a
// resonance's power is a parabola in frequency near its bottom); nothing where
// the three are not evenly spaced or bend the other way.
std::optional<double> vertexMHz(const std::vector<float>& swr, const std::vector<double>& f,
                                size_t centre) {
  auto power = [&](size_t i) {
    const double rho = (swr[i] - 1) / (swr[i] + 1);
    return rho * rho;
  };
  const double p0 = power(centre - 1), p1 = power(centre), p2 = power(centre + 1);
  const double f0 = f[centre - 1], f1 = f[centre], f2 = f[centre + 1];
  const double curve = p0 - 2 * p1 + p2;
  if (!(curve > 0 && std::fabs((f2 - f1) - (f1 - f0)) <= 1e-9 * std::fabs(f2 - f0)))
    return std::nullopt;
  const double h = (f2 - f0) / 2;
  return f1 + std::clamp(h * (p0 - p2) / (2 * curve), -std::fabs(h), std::fabs(h));
}

// The minimum's interval (a.minPm) and the SWR-2 and SWR-1.5 bands about the
// minimum at `centre`.
template <typename Usable, typename Inside>
void findBands(const TraceValues& trace, size_t n, size_t centre, Usable usable, Inside inside,
               SwrAnalysis& a) {
  const std::vector<float>& swr = trace.values[kSwr];
  const std::span<const double> frequencies(trace.frequencies.data(), n);
  // Each point's SWR interval; NaN where none bounds it.
  const bool intervals = trace.halfWidths[kSwr].size() >= n;
  auto swrLowOf = [&](size_t i) -> double {
    if (!intervals || !(usable(i) || inside(i))) return NAN;
    // The interval's own low end where the trace keeps it (the half-width is
    // the larger distance to either end: a lopsided interval reaches less far
    // down), a step of its single precision lower.
    if (i < trace.swrLow.size() && std::isfinite(trace.swrLow[i]))
      return std::max(1.0, static_cast<double>(std::nextafter(trace.swrLow[i], 0.0f)));
    const double pm = trace.halfWidths[kSwr][i];
    return std::isfinite(pm) ? std::max(1.0, swr[i] - pm) : 1.0;
  };
  auto swrHighOf = [&](size_t i) -> double {
    if (!intervals || !(usable(i) || inside(i))) return NAN;
    return swr[i] + trace.halfWidths[kSwr][i];
  };
  if (intervals) a.minPm = minimumPm(frequencies, swrLowOf, swrHighOf, *a.minMHz);
  auto value = [&](size_t i) { return static_cast<double>(swr[i]); };
  auto band = [&](double limit) {
    if (*a.swrMin > limit) return chart::Edges{};
    chart::Edges e = chart::walkEdges(frequencies, value, usable, inside, centre, limit, false);
    if (intervals) chart::edgeSpans(e, frequencies, swrLowOf, swrHighOf, centre, limit, false);
    return e;
  };
  a.swr2 = band(2);
  a.swr15 = band(1.5);
}

}  // namespace

SwrAnalysis analyzeSwr(const TraceValues& trace) {
  SwrAnalysis a;
  const std::vector<float>& swr = trace.values[kSwr];
  const size_t n = std::min({swr.size(), trace.flags.size(), trace.frequencies.size()});
  auto resonance = [&](std::optional<double> near) { findResonance(trace, n, near, a); };
  auto measured = [&](size_t i, int q) {
    return quantityMark(trace.flags[i], q) == chart::Mark::Valid &&
           std::isfinite(trace.values[q][i]);
  };
  auto usable = [&](size_t i) { return measured(i, kSwr); };
  // At the return-loss limit the SWR is at most its bound (the interval's high
  // end, the directivity taken in), below both thresholds.
  auto inside = [&](size_t i) { return trace.flags[i] == PointFlag::RlLimit; };
  auto lowest = [&](size_t i) { return static_cast<double>(swr[i]); };
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
  // A lowest reading alone between two higher measured ones: the vertex of the
  // parabola through the reflection's power at the three.
  if (run->first == run->last && centre > 0 && centre + 1 < n && usable(centre - 1) &&
      usable(centre) && usable(centre + 1))
    if (const auto vertex = vertexMHz(swr, trace.frequencies, centre)) a.minMHz = vertex;
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

  findBands(trace, n, centre, usable, inside, a);
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
  // A frequency and its half-width, rounded outwards.
  auto mhz = [](const std::string& key, const std::optional<double>& v,
                const std::optional<double>& pm) {
    return reportLine(key, v, 6) + reportLine(key + "_pm", chart::outwardPm(v, pm, 6), 6);
  };
  auto band = [&](const std::string& name, const chart::Edges& e) {
    return mhz(name + "_low_mhz", e.low, e.lowPm()) + mhz(name + "_high_mhz", e.high, e.highPm()) +
           mhz(name + "_bw_mhz", e.width(), e.widthPm()) + reportApproximate(name + "_approx", e);
  };
  return reportLine("swr_min", a.swrMin, 3) +
         reportLine("swr_min_pm", chart::outwardPm(a.swrMin, a.swrMinPm, 3), 3) +
         "swr_min_kind=" + kind + "\n" + mhz("swr_min_mhz", a.minMHz, a.minPm) +
         reportLine("r_at_min_ohm", a.rOhm, 2) +
         reportLine("r_at_min_ohm_pm", chart::outwardPm(a.rOhm, a.rPm, 2), 2) +
         reportLine("x_at_min_ohm", a.xOhm, 2) +
         reportLine("x_at_min_ohm_pm", chart::outwardPm(a.xOhm, a.xPm, 2), 2) +
         band("swr2", a.swr2) + band("swr15", a.swr15) + mhz("res_mhz", a.resMHz, a.resPm);
}

std::vector<std::pair<std::string, std::string>> swrAnalysisRows(const SwrAnalysis& a) {
  const auto& text = chart::panelText;
  // A frequency with its interval in kHz, rounded outwards: "14.210 000 MHz ± 12.4 kHz".
  auto withPm = [](const std::optional<double>& v, const std::optional<double>& pm) {
    std::string t = chart::panelMHz(v);
    if (v && pm) {
      const auto khz = chart::outwardPm(*v * 1e3, *pm * 1e3, 1);
      t += " \u00b1 " + common::formatPattern(*khz, "0.0") + " kHz";
    }
    return t;
  };
  // Values from edges interpolated across coarse steps, or without an
  // interval, are marked.
  auto mhz = [&](const std::optional<double>& v, const chart::Edges& e,
                 const std::optional<double>& pm) {
    return chart::markApproximate(v, withPm(v, pm), e.approximate());
  };
  auto khz = [](const chart::Edges& e) {
    return chart::panelWidth(
        e, chart::markApproximate(e.width(), chart::panelKHz(e.width(), "0.0"), e.approximate()));
  };
  auto low = [&](const chart::Edges& e) {
    return chart::panelLowEdge(e, mhz(e.low, e, e.lowPm()));
  };
  auto high = [&](const chart::Edges& e) {
    return chart::panelHighEdge(e, mhz(e.high, e, e.highPm()));
  };
  // A value with its interval: "74.2 ± 1.8 Ω".
  auto plusMinus = [&](const std::optional<double>& v, const std::optional<double>& pm,
                       std::string_view pattern, std::string_view unit) {
    if (!v || !pm) return text(v, pattern, unit);
    const auto outward = chart::outwardPm(v, pm, common::patternDecimals(pattern));
    return common::formatPattern(*v, pattern) + " \u00b1 " +
           common::formatPattern(*outward, pattern) + std::string(unit);
  };
  return {
      {KOLM_TR("kolm", "SWR min"),
       a.swrMin && (a.minIsBound || a.minAtLeast)
           ? chart::markedText(*a.swrMin, a.minIsBound ? chart::Mark::AtMost : chart::Mark::AtLeast,
                               "0.000")
           : plusMinus(a.swrMin, a.swrMinPm, "0.000", "")},
      {KOLM_TR("kolm", "at"), withPm(a.minMHz, a.minPm)},
      {KOLM_TR("kolm", "R there"), plusMinus(a.rOhm, a.rPm, "0.0", " \u03a9")},
      {KOLM_TR("kolm", "X there"),
       (a.xOhm ? reactancePrefix(a.xSign) : "") + plusMinus(a.xOhm, a.xPm, "0.0", " \u03a9")},
      {KOLM_TR("kolm", "SWR 2 low"), low(a.swr2)},
      {KOLM_TR("kolm", "SWR 2 high"), high(a.swr2)},
      {KOLM_TR("kolm", "SWR 2 width"), khz(a.swr2)},
      {KOLM_TR("kolm", "SWR 1.5 low"), low(a.swr15)},
      {KOLM_TR("kolm", "SWR 1.5 high"), high(a.swr15)},
      {KOLM_TR("kolm", "SWR 1.5 width"), khz(a.swr15)},
      {KOLM_TR("kolm", "X = 0 at"),
       chart::markApproximate(a.resMHz, withPm(a.resMHz, a.resPm), a.resMHz && !a.resPm)},
  };
}

// The context of the texts below (KOLM_TR_NOOP), translated where written.
constexpr const char* kTextContext = "kolm";

std::string markerFrequencyNote(const SwrAnalysis& a, double mhz, double near) {
  struct Found {
    const char* what;
    std::optional<double> at, pm;
  };
  const Found found[] = {
      {KOLM_TR_NOOP("kolm", "SWR min"), a.minMHz, a.minPm},
      {KOLM_TR_NOOP("kolm", "SWR 2 low"), a.swr2.low, a.swr2.lowPm()},
      {KOLM_TR_NOOP("kolm", "SWR 2 high"), a.swr2.high, a.swr2.highPm()},
      {KOLM_TR_NOOP("kolm", "SWR 1.5 low"), a.swr15.low, a.swr15.lowPm()},
      {KOLM_TR_NOOP("kolm", "SWR 1.5 high"), a.swr15.high, a.swr15.highPm()},
      {KOLM_TR_NOOP("kolm", "X = 0"), a.resMHz, a.resPm},
  };
  const Found* nearest = nullptr;
  for (const Found& f : found)
    if (f.at && std::fabs(*f.at - mhz) <= near &&
        (!nearest || std::fabs(*f.at - mhz) < std::fabs(*nearest->at - mhz)))
      nearest = &f;
  if (!nearest || !nearest->pm || !std::isfinite(*nearest->pm)) return {};
  // The marker's frequency is written to the hertz: the half-width takes that
  // rounding too, and is rounded up to a tenth of a kHz.
  const double khz = (std::fabs(*nearest->at - mhz) + *nearest->pm) * 1e3 + 0.0005;
  return " \u00b1 " + common::formatPattern(std::ceil(khz * 10) / 10, "0.0") + " kHz (" +
         common::tr(kTextContext, nearest->what) + ")";
}

std::vector<BandWidths> bandWidths(const TraceValues& t, int region) {
  std::vector<BandWidths> out;
  const size_t n = std::min(t.flags.size(), t.frequencies.size());
  if (n == 0) return out;
  auto swrOf = [&](size_t i) -> std::optional<double> {
    if (t.flags[i] == PointFlag::RlLimit) return t.values[kSwr][i];
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
