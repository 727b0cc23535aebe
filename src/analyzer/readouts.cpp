#include "analyzer/readouts.h"

#include <algorithm>
#include <cmath>

#include "analyzer/charts.h"
#include "analyzer/validity.h"
#include "chart/edges.h"
#include "chart/readout.h"
#include "common/text.h"

namespace kolm::analyzer {

namespace {

bool hasValue(chart::Mark mark) {
  return mark != chart::Mark::Open && mark != chart::Mark::Invalid;
}

}  // namespace

std::string quantityText(const TraceValues& t, size_t i, int q, std::optional<double> value,
                         std::string_view pattern) {
  if (i >= t.flags.size()) return {};
  const chart::Mark mark = t.mark(i, q);
  const double v = value ? *value : static_cast<double>(t.values[q][i]);
  if (!hasValue(mark)) return chart::markedText(v, mark);
  const float pm = i < t.halfWidths[q].size() ? t.halfWidths[q][i] : 0.0f;
  // An SWR that may be unbounded is shown as its bound.
  if (q == kSwr && !std::isfinite(pm) && i < t.swrLow.size())
    return chart::markedText(t.swrLow[i], chart::Mark::AtLeast, pattern);
  std::string number = chart::markedText(q == kReactance ? std::fabs(v) : v, mark, pattern);
  if (q == kReactance) {
    // "-j159.2", "+j159.2", "±j2.1", after the mark's sign of approximation.
    const size_t digits = number.find_first_of("0123456789");
    number.insert(digits == std::string::npos ? 0 : digits,
                  reactancePrefix(i < t.signs.size() ? t.signs[i] : ReactanceSign::Unknown));
  }
  // A measured value with its interval; a bound has none.
  if ((mark == chart::Mark::Valid || mark == chart::Mark::Uncertain ||
       mark == chart::Mark::Approximate) &&
      pm > 0)
    number +=
        " \u00b1 " +
        (std::isfinite(pm)
             ? common::formatPattern(
                   *chart::outwardPm(std::fabs(v), pm, common::patternDecimals(pattern)), pattern)
             : "\u221e");
  std::string text = chart::withUnit(number, kQuantityUnits[q]);
  if (mark == chart::Mark::Uncertain) text += " uncertain";
  return text;
}

const char* reactancePrefix(ReactanceSign sign) {
  return sign == ReactanceSign::Inductive    ? "+j"
         : sign == ReactanceSign::Capacitive ? "\u2212j"
                                             : "\u00b1j";
}

std::string signNote(const TraceValues& t, size_t i) {
  if (i >= t.flags.size() || !hasValue(quantityMark(t.flags[i], kReactance))) return {};
  return i < t.signs.size() && t.signs[i] != ReactanceSign::Unknown ? ", sign inferred"
                                                                    : ", sign unknown";
}

std::optional<size_t> nearestPoint(const TraceValues& t, double mhz) {
  const size_t n = std::min(t.frequencies.size(), t.flags.size());
  std::optional<size_t> best;
  for (size_t i = 0; i < n; ++i)
    if (!best || std::fabs(t.frequencies[i] - mhz) < std::fabs(t.frequencies[*best] - mhz))
      best = i;
  return best;
}

}  // namespace kolm::analyzer
