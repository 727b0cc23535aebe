#include "analyzer/quantity_trace.h"

#include <array>
#include <cmath>

#include "analyzer/charts.h"

namespace kolm::analyzer {

namespace {
constexpr std::array<std::string_view, kQuantities> kQuantityNames{"rl", "phase", "z",
                                                                   "r",  "x",     "swr"};
}  // namespace

std::string_view quantityName(int q) { return kQuantityNames[static_cast<size_t>(q)]; }

std::optional<int> quantityByName(std::string_view name) {
  for (int q = 0; q < kQuantities; ++q)
    if (kQuantityNames[static_cast<size_t>(q)] == name) return q;
  return std::nullopt;
}

chart::StoredTrace quantityTrace(std::string name, const TraceValues& t, int q) {
  chart::StoredTrace s{std::move(name), std::string(quantityName(q)), kQuantityUnits[q]};
  const size_t n = t.frequencies.size();
  const bool intervals = t.halfWidths[q].size() >= n;
  s.x.assign(t.frequencies.begin(), t.frequencies.end());
  s.value.resize(n);
  s.low.resize(n);
  s.high.resize(n);
  s.marks.resize(n);
  bool anyMark = false;
  for (size_t i = 0; i < n; ++i) {
    const double v = q == kReactance ? t.signedReactance(i) : t.values[q][i];
    chart::Mark m = t.mark(i, q);
    if (q == kReactance && m == chart::Mark::Valid && t.signs[i] == ReactanceSign::Unknown)
      m = chart::Mark::Approximate;
    // Without intervals a value is known no closer than its mark says.
    if (!intervals && m == chart::Mark::Valid) m = chart::Mark::Approximate;
    const double pm = intervals ? t.halfWidths[q][i] : HUGE_VAL;
    s.value[i] = std::isfinite(v) ? v : NAN;
    s.low[i] = v - pm;
    s.high[i] = v + pm;
    if (q == kSwr && !std::isfinite(pm) && i < t.swrLow.size()) s.low[i] = t.swrLow[i];
    if (!std::isfinite(v)) {
      s.low[i] = -HUGE_VAL, s.high[i] = HUGE_VAL;
      if (m != chart::Mark::Open) m = chart::Mark::Invalid;
    }
    s.marks[i] = m;
    anyMark = anyMark || m != chart::Mark::Valid;
  }
  if (!anyMark) s.marks.clear();
  return s;
}

}  // namespace kolm::analyzer
