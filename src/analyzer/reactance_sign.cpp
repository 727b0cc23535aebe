#include "analyzer/reactance_sign.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <limits>
#include <optional>

#include "common/reflection.h"

namespace kolm::analyzer {

namespace {

// How far either side of a point the change of |X| is looked for, in points of
// a sweep of 200 steps (a denser sweep looks as far in frequency, in steps that
// grow beyond these first ones): the nearest pair that resolves a change
// decides.
constexpr size_t kReach = 5;
constexpr size_t kReachSteps = 200;
// The fewest measured points in a row whose reactance's sign is told.
constexpr size_t kShortest = 3;

struct Run {
  size_t first = 0;
  size_t last = 0;
  int8_t direction = 0;  // +1 |X| rising with frequency, -1 falling
};

class Inference {
 public:
  Inference(const ReactanceSamples& s, size_t n, std::vector<ReactanceSign>& out)
      : s_(s), n_(n), reach_(std::max(kReach, kReach * n / kReachSteps)), out_(out) {
    // Each point's run of points read alike (sameStretch), once for every
    // direction taken about it; beyond the stretches given, every point is.
    const size_t m = s.stretch.size();
    runFirst_.resize(m);
    runLast_.resize(m);
    for (size_t i = 0; i < m; ++i)
      runFirst_[i] = i > 0 && s.stretch[i - 1] == s.stretch[i] ? runFirst_[i - 1] : i;
    for (size_t i = m; i-- > 0;)
      runLast_[i] = i + 1 == m                         ? std::numeric_limits<size_t>::max()
                    : s.stretch[i + 1] == s.stretch[i] ? runLast_[i + 1]
                                                       : i;
  }

  void run() {
    for (size_t i = 0; i < n_;) {
      if (!s_.measured[i]) {
        ++i;
        continue;
      }
      size_t last = i;
      while (last + 1 < n_ && s_.measured[last + 1]) ++last;
      stretch(i, last);
      i = last + 1;
    }
  }

 private:
  // Whether points a and b were read alike (ReactanceSamples::stretch): no
  // change of |X| and no turn is taken across the step between two stretches.
  bool sameStretch(size_t a, size_t b) const {
    return std::max(a, b) >= s_.stretch.size() || s_.stretch[a] == s_.stretch[b];
  }

  // +1 or -1 where |X| around point p (within [first, last]) clearly rises or
  // falls with frequency, 0 where it does not.
  int8_t direction(size_t p, size_t first, size_t last) const {
    // Within reach of p, and within p's run of points read alike.
    first = std::max(first, p > reach_ ? p - reach_ : 0);
    last = std::min(last, p + reach_);
    if (p < runFirst_.size())
      first = std::max(first, runFirst_[p]), last = std::min(last, runLast_[p]);
    for (size_t k = 1; k <= reach_; k += k < kReach ? 1 : std::max<size_t>(1, k / 4)) {
      const size_t a = p - std::min(k, p - first);
      const size_t b = std::min(last, p + k);
      if (a == b) continue;
      const double df = s_.frequencies[b] - s_.frequencies[a];
      if (df == 0) continue;
      const double change =
          (static_cast<double>(s_.magnitude[b]) - s_.magnitude[a]) * (df > 0 ? 1 : -1);
      const double resolved = static_cast<double>(s_.resolution[a]) + s_.resolution[b];
      if (std::fabs(change) > resolved) return change > 0 ? 1 : -1;
    }
    return 0;
  }

  // Whether |X| reaches zero in the valley between two runs: its lowest point is
  // no further from zero than from its neighbours (the step a crossing between
  // two points leaves), give or take the resolution, or zero lies within its
  // interval.
  bool crossesZero(size_t from, size_t to, size_t first, size_t last, size_t& bottom) const {
    bottom = from;
    for (size_t i = from; i <= to; ++i)
      if (s_.magnitude[i] < s_.magnitude[bottom]) bottom = i;
    const double m = s_.magnitude[bottom];
    double step = 0;
    if (bottom > first) step = std::max(step, std::fabs(s_.magnitude[bottom - 1] - m));
    if (bottom < last) step = std::max(step, std::fabs(s_.magnitude[bottom + 1] - m));
    return m <= step + s_.resolution[bottom] || zeroInside(bottom);
  }

  bool zeroInside(size_t i) const { return i < s_.zeroInside.size() && s_.zeroInside[i]; }

  // A point of [from, to] whose reactance may be zero within its interval.
  std::optional<size_t> zeroWithin(size_t from, size_t to) const {
    for (size_t i = from; i <= to; ++i)
      if (zeroInside(i)) return i;
    return std::nullopt;
  }

  void stretch(size_t first, size_t last) {
    // Two points show a change but not that it holds.
    if (last - first < kShortest - 1) return;
    std::vector<Run> runs;
    for (size_t p = first; p <= last; ++p) {
      const int8_t d = direction(p, first, last);
      if (d == 0) continue;
      if (!runs.empty() && runs.back().direction == d && runs.back().last + 1 == p)
        runs.back().last = p;
      else
        runs.push_back({p, p, d});
    }
    // Runs that must share one sign form a segment; the sign changes only at a
    // valley that reaches zero.
    // The sign may also change wherever the reactance may be zero between two
    // runs, although |X| as read shows no valley there (near a parallel
    // resonance, where the reading cannot resolve the phase, it may even peak).
    size_t begin = 0;
    std::vector<size_t> bottoms, zeros;
    for (size_t r = 0; r < runs.size(); ++r) {
      const bool end = r + 1 == runs.size();
      size_t bottom = 0;
      const bool valley = !end && runs[r].direction < 0 && runs[r + 1].direction > 0 &&
                          crossesZero(runs[r].last, runs[r + 1].first, first, last, bottom);
      // A peak between a rise and a fall that each hold for the reach (a
      // shorter one may be the noise).
      const bool peak = !end && runs[r].direction > 0 && runs[r + 1].direction < 0 &&
                        heldFor(runs, r, -1) && heldFor(runs, r + 1, 1);
      const std::optional<size_t> zero =
          peak ? zeroWithin(runs[r].last, runs[r + 1].first) : std::nullopt;
      if (!end && !valley && !zero) continue;
      settle(runs, begin, r);
      if (valley) bottoms.push_back(bottom);
      if (zero) zeros.push_back(*zero);
      begin = r + 1;
    }
    // The crossing lies on one side or the other of the valley's lowest point,
    // or anywhere along the points around it whose reactance may be zero.
    for (size_t b : bottoms) {
      out_[b] = ReactanceSign::Unknown;
      if (zeroInside(b)) zeros.push_back(b);
    }
    for (size_t z : zeros) {
      size_t from = z, to = z;
      while (from > first && zeroInside(from - 1)) --from;
      while (to < last && zeroInside(to + 1)) ++to;
      std::fill(out_.begin() + static_cast<std::ptrdiff_t>(from),
                out_.begin() + static_cast<std::ptrdiff_t>(to) + 1, ReactanceSign::Unknown);
    }
    // Beside a point whose reactance is not measured, the change is not known:
    // the point next to it, and in a denser sweep the points as far in
    // frequency whose reactance may be zero, where the sign may turn.
    const size_t edge = std::max<size_t>(1, n_ / kReachSteps);
    // d: how many points in from the stretch's end.
    auto atEnd = [&](size_t d, size_t k) { return d <= last - first && (d == 0 || zeroInside(k)); };
    for (size_t d = 0; first > 0 && d < edge && atEnd(d, first + d); ++d)
      out_[first + d] = ReactanceSign::Unknown;
    for (size_t d = 0; last + 1 < n_ && d < edge && atEnd(d, last - d); ++d)
      out_[last - d] = ReactanceSign::Unknown;
  }

  // Whether the runs of run r's direction next to it, towards `step` (-1 or
  // +1), span the reach.
  bool heldFor(const std::vector<Run>& runs, size_t r, int step) const {
    size_t far = r;
    while (true) {
      const size_t next = far + static_cast<size_t>(step);
      if (next >= runs.size() || runs[next].direction != runs[r].direction) break;
      far = next;
    }
    const size_t from = step < 0 ? runs[far].first : runs[r].first;
    const size_t to = step < 0 ? runs[r].last : runs[far].last;
    return to - from >= reach_;
  }

  // The reflection of point i as read (reactance positive).
  std::complex<double> reflection(size_t i) const {
    const std::complex<double> z(s_.resistance[i], s_.magnitude[i]);
    return common::reflectionOf(z);
  }

  // How the read reflection turns over [first, last]: the chords that turn
  // clockwise with frequency (where the reactance is positive) and those that
  // turn the other way.
  struct Turns {
    int clockwise = 0, counter = 0;
    // Too few chords to tell anything.
    bool unchecked() const { return clockwise + counter < 3; }
    // +1 or -1 where three chords out of four agree, 0 where they do not.
    int8_t sign() const {
      const int decided = clockwise + counter;
      if (unchecked()) return 0;
      if (4 * clockwise >= 3 * decided) return 1;
      if (4 * counter >= 3 * decided) return -1;
      return 0;
    }
    // Whether more chords turn against `direction` than with it.
    bool against(int8_t direction) const {
      return (direction > 0 ? counter : clockwise) > (direction > 0 ? clockwise : counter);
    }
  };
  // The chords around the points of [from, to] that lie within [first, last].
  Turns turns(size_t first, size_t last, size_t from = 0, size_t to = SIZE_MAX) const {
    // Chords of an eighth of the stretch (at least two steps): the turn grows
    // with their length, the readings' noise does not.
    const size_t kStride = std::max<size_t>(2, (std::min(to, last) - std::max(from, first)) / 8);
    Turns t;
    for (size_t i = std::max(first + kStride, from); i + kStride <= last && i <= to; ++i) {
      if (!sameStretch(i - kStride, i + kStride)) continue;
      const std::complex<double> before = reflection(i) - reflection(i - kStride);
      const std::complex<double> after = reflection(i + kStride) - reflection(i);
      const double cross = (std::conj(before) * after).imag();
      const double df = s_.frequencies[i + kStride] - s_.frequencies[i - kStride];
      if (cross == 0 || df == 0) continue;
      ((cross < 0) == (df > 0) ? t.clockwise : t.counter)++;
    }
    return t;
  }

  // The segment of runs [from, to]. The rise of |X| with frequency tells the
  // sign where the runs agree and the turn of the reflection bears out the
  // premise the rise rests on (a load without loss): it has chords enough and
  // no more of them turn against that sign than with it. Where the runs do not
  // agree, or the load sits behind a line, the turn alone tells it. Unknown
  // when neither does.
  void settle(const std::vector<Run>& runs, size_t from, size_t to) {
    int8_t direction = runs[from].direction;
    for (size_t r = from; r <= to; ++r)
      if (runs[r].direction != runs[from].direction) direction = 0;
    const Turns turned = turns(runs[from].first, runs[to].last);
    if (s_.behindLine || direction == 0)
      direction = turned.sign();
    else if (turned.unchecked() || turned.against(direction))
      return;
    if (direction == 0) return;
    const ReactanceSign sign = direction > 0 ? ReactanceSign::Inductive : ReactanceSign::Capacitive;
    for (size_t r = from; r <= to; ++r) {
      // A run whose |X| goes against the sign (a peak's far side, where the
      // sign may also turn through an open between two points) takes it only
      // where its own turn bears it out.
      if (runs[r].direction != direction) {
        const Turns own = turns(runs[from].first, runs[to].last, runs[r].first, runs[r].last);
        if (own.unchecked() || own.against(direction)) continue;
      }
      for (size_t i = runs[r].first; i <= runs[r].last; ++i)
        // Within the resolution of zero no sign is told.
        out_[i] = s_.magnitude[i] > s_.resolution[i] ? sign : ReactanceSign::Unknown;
    }
  }

  const ReactanceSamples& s_;
  size_t n_;
  size_t reach_;
  std::vector<size_t> runFirst_, runLast_;
  std::vector<ReactanceSign>& out_;
};

size_t countOf(const ReactanceSamples& s) {
  return std::min(
      {s.frequencies.size(), s.magnitude.size(), s.resolution.size(), s.measured.size()});
}

}  // namespace

void inferReactanceSigns(const ReactanceSamples& samples, std::vector<ReactanceSign>& out) {
  const size_t n = countOf(samples);
  out.assign(n, ReactanceSign::Unknown);
  Inference(samples, n, out).run();
}

std::optional<double> ReactanceZero::pm() const {
  if (!bounded) return std::nullopt;
  return std::max(std::fabs(mhz - fromMHz), std::fabs(toMHz - mhz));
}

std::optional<ReactanceZero> reactanceZero(const ReactanceSamples& s,
                                           const std::vector<ReactanceSign>& signs,
                                           std::optional<double> near) {
  const size_t n = std::min(countOf(s), signs.size());
  std::optional<double> best;
  // The points of known sign around the best crossing.
  std::pair<size_t, size_t> around{0, 0};
  // The last point of known sign. The walk goes on over points whose reactance
  // is approximate, but not over one without a finite value (an open point: the
  // reactance changes sign there through infinity, not zero).
  size_t known = n;  // none
  for (size_t i = 0; i < n; ++i) {
    if (!std::isfinite(s.magnitude[i])) {
      known = n;
      continue;
    }
    if (!s.measured[i] || signs[i] == ReactanceSign::Unknown) continue;
    if (known < n && signs[known] != signs[i]) {
      const double a = static_cast<int>(signs[known]) * static_cast<double>(s.magnitude[known]);
      const double b = static_cast<int>(signs[i]) * static_cast<double>(s.magnitude[i]);
      const double f =
          s.frequencies[known] + (0 - a) / (b - a) * (s.frequencies[i] - s.frequencies[known]);
      if (!best || (near && std::fabs(f - *near) < std::fabs(*best - *near))) {
        best = f;
        around = {known, i};
      }
    }
    known = i;
  }
  if (!best) return std::nullopt;
  // Outwards from the crossing to the first point whose sign holds whatever
  // its interval: the truth crosses zero between the two.
  auto certain = [&](size_t i) {
    return s.measured[i] && signs[i] != ReactanceSign::Unknown &&
           !(i < s.zeroInside.size() && s.zeroInside[i]);
  };
  ReactanceZero zero{*best, s.frequencies[0], s.frequencies[n - 1], true};
  auto [low, high] = around;
  while (low > 0 && !certain(low)) --low;
  while (high + 1 < n && !certain(high)) ++high;
  zero.bounded = certain(low) && certain(high) && signs[low] != signs[high];
  zero.fromMHz = s.frequencies[low];
  zero.toMHz = s.frequencies[high];
  return zero;
}

}  // namespace kolm::analyzer
