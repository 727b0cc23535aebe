#include "chart/limit_mask.h"

#include <algorithm>
#include <cmath>

#include "common/text.h"
#include "common/tr.h"
#include "common/words.h"

namespace kolm::chart {

bool quantityName(std::string_view w) {
  return !w.empty() && w.size() <= 32 && std::all_of(w.begin(), w.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-' || c == '/';
  });
}

namespace {

std::string number(double v) { return common::shortestText(v, 17); }

// Where an upper limit lies below a lower one over the two segments' common
// span; empty when nowhere (a straight line against a straight line: the ends
// of the common span tell).
std::optional<double> crossing(const LimitSegment& upper, const LimitSegment& lower) {
  const double from = std::max(upper.fromMHz, lower.fromMHz);
  const double to = std::min(upper.toMHz, lower.toMHz);
  if (from > to) return std::nullopt;
  for (double x : {from, to})
    if (upper.limitAt(x) < lower.limitAt(x)) return x;
  return std::nullopt;
}

}  // namespace

std::string segmentProblem(const LimitMask& mask, const LimitSegment& s) {
  if (!(s.fromMHz < s.toMHz) || !std::isfinite(s.fromMHz) || !std::isfinite(s.toMHz) ||
      !std::isfinite(s.limitFrom) || !std::isfinite(s.limitTo))
    return KOLM_TR("kolm", "the limit's span does not rise: FROM_MHZ below TO_MHZ");
  for (const LimitSegment& o : mask.segments) {
    if (o.quantity != s.quantity) continue;
    if (o.upper == s.upper && o.fromMHz < s.toMHz && s.fromMHz < o.toMHz)
      return common::arg(KOLM_TR("kolm", "overlaps the limit of line %1"),
                         {std::to_string(o.line)});
    if (o.upper != s.upper)
      if (const auto x = s.upper ? crossing(s, o) : crossing(o, s))
        return common::arg(KOLM_TR("kolm",
                                   "the upper limit lies below the lower limit of line %1 at "
                                   "%2 MHz"),
                           {std::to_string(o.line), traceMhzText(*x)});
  }
  return {};
}

double LimitSegment::limitAt(double x) const {
  if (x <= fromMHz) return limitFrom;
  if (x >= toMHz) return limitTo;
  return limitFrom + (limitTo - limitFrom) * (x - fromMHz) / (toMHz - fromMHz);
}

std::vector<std::string> LimitMask::quantities() const {
  std::vector<std::string> out;
  for (const LimitSegment& s : segments)
    if (std::find(out.begin(), out.end(), s.quantity) == out.end()) out.push_back(s.quantity);
  return out;
}

MaskRead parseLimitMask(std::string_view text, const std::string& name) {
  MaskRead read;
  LimitMask mask;
  int lineNo = 0;
  auto fail = [&](const std::string& why) {
    read.error = name + ":" + std::to_string(lineNo) + ": " + why;
    return read;
  };
  bool versioned = false;
  std::string quantity;
  for (size_t at = 0; at < text.size();) {
    const size_t end = std::min(text.find('\n', at), text.size());
    std::string_view line = text.substr(at, end - at);
    at = end + 1;
    ++lineNo;
    line = line.substr(0, std::min(line.find('#'), line.size()));
    const std::vector<std::string_view> w = common::blankSeparatedWords(line);
    if (w.empty()) continue;
    if (!versioned) {
      const auto version = w.size() == 2 && w[0] == "kolm-mask" ? common::argumentNumber(w[1])
                                                                : std::optional<double>{};
      if (!version || *version < 1 || *version != std::floor(*version))
        return fail(KOLM_TR("kolm", "not a limit mask (its first line is not \"kolm-mask 1\")"));
      if (*version > kMaskVersion)
        return fail(common::arg(KOLM_TR("kolm",
                                        "a mask of version %1, from a newer Kolm: this one "
                                        "reads version 1"),
                                {std::string(w[1])}));
      versioned = true;
      continue;
    }
    if (w[0] == "quantity") {
      if (w.size() != 2 || !quantityName(w[1]))
        return fail(KOLM_TR("kolm", "quantity NAME: one name of small letters, digits, - and /"));
      quantity = std::string(w[1]);
      continue;
    }
    if (w[0] != "upper" && w[0] != "lower")
      return fail(common::arg(
          KOLM_TR("kolm", "'%1' is not a statement of a mask: quantity, upper or lower"),
          {std::string(w[0])}));
    if (quantity.empty()) return fail(KOLM_TR("kolm", "a limit before any quantity line"));
    if (w.size() != 4 && w.size() != 5)
      return fail(common::arg(KOLM_TR("kolm", "%1 FROM_MHZ TO_MHZ LIMIT [LIMIT_AT_TO]"),
                              {std::string(w[0])}));
    double v[4];
    for (size_t k = 1; k < w.size(); ++k) {
      const auto n = common::argumentNumber(w[k]);
      if (!n || !std::isfinite(*n))
        return fail(common::arg(KOLM_TR("kolm", "'%1' is not a number"), {std::string(w[k])}));
      v[k - 1] = *n;
    }
    LimitSegment s{quantity, w[0] == "upper", v[0], v[1], v[2], w.size() == 5 ? v[3] : v[2],
                   lineNo};
    if (std::string why = segmentProblem(mask, s); !why.empty()) return fail(why);
    mask.segments.push_back(std::move(s));
  }
  lineNo = std::max(lineNo, 1);
  if (!versioned) return fail(KOLM_TR("kolm", "an empty file: not a limit mask"));
  if (mask.segments.empty()) return fail(KOLM_TR("kolm", "the mask holds no limit"));
  read.mask = std::move(mask);
  return read;
}

std::string formatLimitMask(const LimitMask& mask) {
  std::string out = "kolm-mask " + std::to_string(kMaskVersion) + "\n";
  std::string quantity;
  for (const LimitSegment& s : mask.segments) {
    if (s.quantity != quantity) out += "quantity " + (quantity = s.quantity) + "\n";
    out += std::string(s.upper ? "upper " : "lower ") + number(s.fromMHz) + " " + number(s.toMHz) +
           " " + number(s.limitFrom);
    if (s.limitTo != s.limitFrom) out += " " + number(s.limitTo);
    out += "\n";
  }
  return out;
}

MaskVerdict judgeTrace(const StoredTrace& trace, const LimitMask& mask) {
  using common::Verdict;
  MaskVerdict v;
  v.points.assign(trace.size(), std::nullopt);
  constexpr size_t kReasons = 5;
  auto say = [&](std::string why) {
    if (v.reasons.size() < kReasons) v.reasons.push_back(std::move(why));
  };
  bool any = false;
  for (const LimitSegment& s : mask.segments) {
    if (s.quantity != trace.quantity) continue;
    any = true;
    if (trace.size() == 0 || s.fromMHz < trace.x.front() || s.toMHz > trace.x.back())
      say(common::arg(KOLM_TR("kolm", "the sweep does not cover %1 to %2 MHz of line %3"),
                      {traceMhzText(s.fromMHz), traceMhzText(s.toMHz), std::to_string(s.line)}));
    const auto first = std::lower_bound(trace.x.begin(), trace.x.end(), s.fromMHz);
    const auto last = std::upper_bound(trace.x.begin(), trace.x.end(), s.toMHz);
    for (auto it = first; it < last; ++it) {
      const size_t i = static_cast<size_t>(it - trace.x.begin());
      const auto [lo, hi] =
          markedInterval({trace.value[i], trace.low[i], trace.high[i], trace.markAt(i)});
      const Verdict p = common::judgeInterval(lo, hi, s.limitAt(*it), !s.upper);
      v.points[i] = v.points[i] ? common::worseVerdict(*v.points[i], p) : p;
    }
  }
  Verdict sweep = any && v.reasons.empty() ? Verdict::Pass : Verdict::Indeterminate;
  if (!any) say(common::arg(KOLM_TR("kolm", "the mask holds no limit of %1"), {trace.quantity}));
  for (size_t i = 0; i < v.points.size(); ++i) {
    if (!v.points[i]) continue;
    const Verdict p = *v.points[i];
    (p == Verdict::Pass ? v.passed : p == Verdict::Fail ? v.failed : v.indeterminate) += 1;
    sweep = common::worseVerdict(sweep, p);
    if (p != Verdict::Pass)
      say(common::arg(KOLM_TR("kolm", "%1 at %2 MHz"),
                      {std::string(common::verdictName(p)), traceMhzText(trace.x[i])}));
  }
  if (any && v.passed + v.failed + v.indeterminate == 0) {
    sweep = common::worseVerdict(sweep, Verdict::Indeterminate);
    say(KOLM_TR("kolm", "no point of the sweep lies under the mask"));
  }
  v.verdict = sweep;
  return v;
}

}  // namespace kolm::chart
