#include "chart/stored_trace.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "common/constants.h"
#include "common/text.h"
#include "common/tr.h"

namespace kolm::chart {

namespace {

// A point on the straight line between two interval ends; an infinite end
// stays infinite.
double lerpEnd(double a, double b, double t) {
  if (std::isinf(a)) return a;
  if (std::isinf(b)) return b;
  return a + (b - a) * t;
}

bool plain(const StoredTrace& t, size_t i) {
  return numeric(t.markAt(i)) && std::isfinite(t.value[i]);
}

bool plainReflection(const StoredTrace& t, size_t i) { return numeric(t.reflection[i].mark); }

// The largest bend (the size of the second derivative, from three points in a
// row) of the values `valueAt` gives (numbers or reflections) at the points
// around t.x[i] to t.x[i + 1]: those from i - 1 to i + 2 with a plain point
// either side, as `plainAt` tells. -1 where there is none.
template <class Plain, class Value>
double largestBend(const StoredTrace& t, size_t i, Plain plainAt, Value valueAt) {
  double bend = -1;
  for (size_t j = i < 2 ? 1 : i - 1; j <= i + 2 && j + 1 < t.size(); ++j) {
    if (!plainAt(j - 1) || !plainAt(j) || !plainAt(j + 1)) continue;
    const double h0 = t.x[j] - t.x[j - 1], h1 = t.x[j + 1] - t.x[j];
    const auto d0 = (valueAt(j) - valueAt(j - 1)) / h0, d1 = (valueAt(j + 1) - valueAt(j)) / h1;
    bend = std::max(bend, static_cast<double>(std::abs(2.0 * (d1 - d0) / (h0 + h1))));
  }
  return bend;
}

TracePoint pointOf(const StoredTrace& t, size_t i) {
  return {t.value[i], t.low[i], t.high[i], t.markAt(i)};
}

// The trace at x, t.x[i] <= x <= t.x[i + 1].
TracePoint pointBetween(const StoredTrace& t, size_t i, double x) {
  if (x == t.x[i]) return pointOf(t, i);
  if (x == t.x[i + 1]) return pointOf(t, i + 1);
  const double h = t.x[i + 1] - t.x[i], f = (x - t.x[i]) / h;
  TracePoint p;
  p.value = t.value[i] + (t.value[i + 1] - t.value[i]) * f;
  const Mark m0 = t.markAt(i), m1 = t.markAt(i + 1);
  if (!plain(t, i) || !plain(t, i + 1)) {
    // The flagged neighbour decides, the nearer when both are.
    const size_t k = !plain(t, i) && (f <= 0.5 || plain(t, i + 1)) ? i : i + 1;
    p.mark = t.markAt(k);
    if (numeric(p.mark)) p.mark = Mark::Invalid;  // a plain mark on a value that is not finite
    p.value = t.value[k];
    p.low = std::min(t.low[i], t.low[i + 1]);
    p.high = std::max(t.high[i], t.high[i + 1]);
    return p;
  }
  p.mark = m0 == Mark::Uncertain || m1 == Mark::Uncertain ? Mark::Uncertain : Mark::Valid;
  const double bend = largestBend(
      t, i, [&](size_t k) { return plain(t, k); }, [&](size_t k) { return t.value[k]; });
  // Two plain points with nothing either side: what lies between is a guess.
  if (bend < 0) p.mark = Mark::Approximate;
  const double miss = std::max(bend, 0.0) * f * (1 - f) * h * h / 2;
  p.low = lerpEnd(t.low[i], t.low[i + 1], f) - miss;
  p.high = lerpEnd(t.high[i], t.high[i + 1], f) + miss;
  p.low = std::min(p.low, p.value);
  p.high = std::max(p.high, p.value);
  return p;
}

// The direction a mark bounds the quantity in: +1 at least, -1 at most.
int boundSign(Mark m) { return m == Mark::AtLeast ? 1 : m == Mark::AtMost ? -1 : 0; }

Mark combinedMark(Mark a, Mark b) {
  if (a == Mark::Invalid || b == Mark::Invalid || b == Mark::Open) return Mark::Invalid;
  if (a == Mark::Open) return Mark::Open;
  if (a == Mark::Approximate || b == Mark::Approximate) return Mark::Approximate;
  // b's bound turns round: a - b is at most what it is when b is at least.
  const int sa = boundSign(a), sb = -boundSign(b);
  if (sa * sb < 0) return Mark::Invalid;
  if (sa + sb > 0) return Mark::AtLeast;
  if (sa + sb < 0) return Mark::AtMost;
  return a == Mark::Uncertain || b == Mark::Uncertain ? Mark::Uncertain : Mark::Valid;
}

TracePoint combine(const TracePoint& a, const TracePoint& b, TraceOperation op) {
  const auto [la, ha] = markedInterval(a);
  const auto [lb, hb] = markedInterval(b);
  TracePoint r;
  r.mark = combinedMark(a.mark, b.mark);
  if (op == TraceOperation::Difference) {
    r.value = a.value - b.value;
    r.low = la - hb;
    r.high = ha - lb;
  } else if (!(lb > 0)) {
    r.mark = Mark::Invalid;  // b may be 0: the ratio is unbounded
    r.value = a.value / b.value;
    r.low = -kInf;
    r.high = kInf;
  } else {
    r.value = a.value / b.value;
    r.low = kInf;
    r.high = -kInf;
    // An infinite end over an infinite end is left out: the other quotient of
    // that end is the extreme.
    for (double v : {la / lb, la / hb, ha / lb, ha / hb}) {
      if (std::isnan(v)) continue;
      r.low = std::min(r.low, v);
      r.high = std::max(r.high, v);
    }
    if (r.low > r.high) r.low = -kInf, r.high = kInf;
  }
  if (std::isnan(r.low)) r.low = -kInf;
  if (std::isnan(r.high)) r.high = kInf;
  if (r.mark == Mark::Open) {
    r.value = kInf;
  } else if (r.mark == Mark::Invalid || !std::isfinite(r.value)) {
    r.mark = Mark::Invalid;
    r.value = std::numeric_limits<double>::quiet_NaN();
  }
  if (std::isfinite(r.value)) {
    r.low = std::min(r.low, r.value);
    r.high = std::max(r.high, r.value);
  }
  return r;
}

// The reflection at x, t.x[i] <= x <= t.x[i + 1], as pointBetween reads a value.
ReflectionPoint reflectionBetween(const StoredTrace& t, size_t i, double x) {
  const auto& g = t.reflection;
  if (x == t.x[i]) return g[i];
  if (x == t.x[i + 1]) return g[i + 1];
  const double h = t.x[i + 1] - t.x[i], f = (x - t.x[i]) / h;
  if (!plainReflection(t, i) || !plainReflection(t, i + 1)) {
    // The flagged neighbour decides, the nearer when both are; its disk
    // grown to hold the other's.
    const size_t k = !plainReflection(t, i) && (f <= 0.5 || plainReflection(t, i + 1)) ? i : i + 1;
    ReflectionPoint p = g[k];
    const ReflectionPoint& other = g[k == i ? i + 1 : i];
    if (p.mark != Mark::Invalid)
      p.radius = std::max(p.radius, std::abs(other.value - p.value) + other.radius);
    return p;
  }
  ReflectionPoint p;
  p.value = g[i].value + (g[i + 1].value - g[i].value) * f;
  p.mark = g[i].mark == Mark::Uncertain || g[i + 1].mark == Mark::Uncertain ? Mark::Uncertain
                                                                            : Mark::Valid;
  const double bend = largestBend(
      t, i, [&](size_t k) { return plainReflection(t, k); }, [&](size_t k) { return g[k].value; });
  if (bend < 0) p.mark = Mark::Approximate;
  p.radius =
      lerpEnd(g[i].radius, g[i + 1].radius, f) + std::max(bend, 0.0) * f * (1 - f) * h * h / 2;
  return p;
}

// |a - b| with every distance the two disks allow, rounded outward.
TracePoint reflectionDistance(const ReflectionPoint& a, const ReflectionPoint& b) {
  if (a.mark == Mark::Invalid || b.mark == Mark::Invalid)
    return {std::numeric_limits<double>::quiet_NaN(), -kInf, kInf, Mark::Invalid};
  TracePoint r;
  r.value = std::abs(a.value - b.value);
  const double spread = a.radius + b.radius, slack = 1e-12 * (r.value + spread);
  r.low = std::max(0.0, r.value - spread - slack);
  r.high = r.value + spread + slack;
  r.mark = a.mark == Mark::Approximate || b.mark == Mark::Approximate ? Mark::Approximate
           : a.mark == Mark::Uncertain || b.mark == Mark::Uncertain   ? Mark::Uncertain
                                                                      : Mark::Valid;
  return r;
}

// Why a and b cannot be combined by `operation`; empty when they can.
std::string combineProblem(const StoredTrace& a, const StoredTrace& b, TraceOperation operation) {
  if (operation == TraceOperation::ReflectionDistance) {
    for (const StoredTrace* t : {&a, &b})
      if (t->reflection.size() != t->size() || t->size() == 0)
        return common::arg(KOLM_TR("kolm",
                                   "%1 holds no reflections: the distance of two reflections is "
                                   "taken of the analyzer's traces"),
                           {t->name});
    return {};
  }
  if (a.quantity != b.quantity || a.unit != b.unit)
    return common::arg(KOLM_TR("kolm", "%1 (%2) and %3 (%4) are not the same quantity"),
                       {a.name, a.quantity, b.name, b.quantity});
  if (operation == TraceOperation::Ratio &&
      (a.unit == "dB" || a.unit == "dBm" || a.unit == "\u00b0"))
    return KOLM_TR("kolm",
                   "a ratio is taken of linear quantities only: levels, return losses "
                   "and phases are compared by their difference");
  return {};
}

// The result's name, quantity and unit.
void nameCombined(StoredTrace& r, const StoredTrace& a, const StoredTrace& b,
                  TraceOperation operation) {
  if (operation == TraceOperation::ReflectionDistance) {
    r.name = "|" + a.name + " - " + b.name + "|";
    r.quantity = kReflectionDistance;
    return;
  }
  const bool diff = operation == TraceOperation::Difference;
  r.name = a.name + (diff ? " - " : " / ") + b.name;
  r.quantity = a.quantity + (diff ? "-" : "/") + b.quantity;
  r.unit = !diff ? std::string() : a.unit == "dBm" ? std::string("dB") : a.unit;
}

bool reflectionUsable(const ReflectionPoint& g) {
  const Mark m = g.mark;
  return std::isfinite(g.value.real()) && std::isfinite(g.value.imag()) && g.radius >= 0 &&
         (m == Mark::Valid || m == Mark::Uncertain || m == Mark::Approximate || m == Mark::Invalid);
}
}  // namespace

std::string traceMhzText(double mhz) { return common::shortestText(mhz, 10); }

std::string traceProblem(const StoredTrace& t) {
  const size_t n = t.x.size();
  if (t.value.size() != n || t.low.size() != n || t.high.size() != n ||
      (!t.marks.empty() && t.marks.size() != n) ||
      (!t.reflection.empty() && t.reflection.size() != n))
    return KOLM_TR("kolm", "the trace's columns differ in length");
  for (size_t i = 0; i < n; ++i) {
    if (!std::isfinite(t.x[i]) || (i > 0 && !(t.x[i] > t.x[i - 1])))
      return common::arg(KOLM_TR("kolm", "point %1: the frequencies do not rise"),
                         {std::to_string(i + 1)});
    if (!t.marks.empty() && static_cast<int>(t.marks[i]) > static_cast<int>(Mark::Uncertain))
      return common::arg(KOLM_TR("kolm", "point %1: unknown mark"), {std::to_string(i + 1)});
    if (!t.reflection.empty() && !reflectionUsable(t.reflection[i]))
      return common::arg(KOLM_TR("kolm", "point %1: the reflection is not a number"),
                         {std::to_string(i + 1)});
    const Mark m = t.markAt(i);
    const bool noValue = std::isnan(t.value[i]) && (m == Mark::Invalid || m == Mark::Open);
    if (std::isnan(t.low[i]) || std::isnan(t.high[i]) ||
        (!noValue && !(t.low[i] <= t.value[i] && t.value[i] <= t.high[i])))
      return common::arg(KOLM_TR("kolm", "point %1: the value lies outside its interval"),
                         {std::to_string(i + 1)});
  }
  return {};
}

std::pair<double, double> markedInterval(const TracePoint& p) {
  switch (p.mark) {
    case Mark::Valid:
    case Mark::Uncertain:
      break;
    case Mark::AtLeast:
      return {p.low, kInf};
    case Mark::AtMost:
      return {-kInf, p.high};
    case Mark::Open:
      return {kInf, kInf};
    case Mark::Approximate:
    case Mark::Invalid:
      return {-kInf, kInf};
  }
  return {p.low, p.high};
}

std::optional<TracePoint> pointAt(const StoredTrace& trace, double x) {
  const size_t n = trace.size();
  if (n == 0 || !(x >= trace.x.front() && x <= trace.x.back())) return std::nullopt;
  if (n == 1) return pointOf(trace, 0);
  const size_t above =
      static_cast<size_t>(std::upper_bound(trace.x.begin(), trace.x.end(), x) - trace.x.begin());
  const size_t i = std::min(above == 0 ? 0 : above - 1, n - 2);
  return pointBetween(trace, i, x);
}

CombinedTrace combineTraces(const StoredTrace& a, const StoredTrace& b, TraceOperation operation) {
  CombinedTrace out;
  if (std::string why = combineProblem(a, b, operation); !why.empty()) {
    out.error = std::move(why);
    return out;
  }
  if (a.size() == 0 || b.size() == 0) {
    out.error = KOLM_TR("kolm", "a trace without points cannot be compared");
    return out;
  }
  const double from = std::max(a.x.front(), b.x.front()), to = std::min(a.x.back(), b.x.back());
  const auto first = std::lower_bound(a.x.begin(), a.x.end(), from);
  const auto last = std::upper_bound(a.x.begin(), a.x.end(), to);
  if (!(from <= to) || first >= last) {
    out.error = common::arg(
        KOLM_TR("kolm", "%1 (%2 to %3 MHz) and %4 (%5 to %6 MHz) have no frequency in common"),
        {a.name, traceMhzText(a.x.front()), traceMhzText(a.x.back()), b.name,
         traceMhzText(b.x.front()), traceMhzText(b.x.back())});
    return out;
  }
  StoredTrace r;
  nameCombined(r, a, b, operation);
  r.colour = a.colour;
  const size_t begin = static_cast<size_t>(first - a.x.begin());
  const size_t end = static_cast<size_t>(last - a.x.begin());
  const size_t count = end - begin;
  r.x.reserve(count);
  r.value.reserve(count);
  r.low.reserve(count);
  r.high.reserve(count);
  std::vector<Mark> marks;
  marks.reserve(count);
  bool anyMark = false;
  size_t j = 0;  // b.x[j] <= x < b.x[j + 1], walked along
  for (size_t i = begin; i < end; ++i) {
    const double x = a.x[i];
    while (j + 2 < b.size() && b.x[j + 1] <= x) ++j;
    TracePoint p;
    if (operation == TraceOperation::ReflectionDistance) {
      p = reflectionDistance(a.reflection[i],
                             b.size() == 1 ? b.reflection[0] : reflectionBetween(b, j, x));
    } else {
      const TracePoint pb = b.size() == 1 ? pointOf(b, 0) : pointBetween(b, j, x);
      p = combine(pointOf(a, i), pb, operation);
    }
    r.x.push_back(x);
    r.value.push_back(p.value);
    r.low.push_back(p.low);
    r.high.push_back(p.high);
    marks.push_back(p.mark);
    anyMark = anyMark || p.mark != Mark::Valid;
  }
  if (anyMark) r.marks = std::move(marks);
  if (begin > 0 || end < a.size() || b.x.front() < r.x.front() || b.x.back() > r.x.back())
    out.note = common::arg(KOLM_TR("kolm", "only from %1 to %2 MHz, where both traces have values"),
                           {traceMhzText(r.x.front()), traceMhzText(r.x.back())});
  out.trace = std::move(r);
  return out;
}

}  // namespace kolm::chart
