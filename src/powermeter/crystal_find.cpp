#include "powermeter/crystal_find.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "common/constants.h"
#include "common/text.h"
#include "common/tr.h"
#include "powermeter/crystal_curve.h"
#include "powermeter/sweep.h"

namespace kolm::powermeter {

namespace {

// A sweep that holds the -3 dB width over this many steps, and spans at most
// this many widths, is as good as a narrow one.
constexpr double kStepsAcrossWidth = 20;
constexpr double kWidthsInSpan = 40;
// The narrow sweep: this many widths either side, at least this many points.
constexpr double kNarrowWidths = 5;
constexpr int kNarrowPoints = 400;
// A resonance stands out of a coarse curve by at least this against its
// neighbours (and well above their own scatter).
constexpr double kStandOutDb = 0.3;
constexpr int kNeighbours = 8;

double median(std::vector<double> v) {
  if (v.empty()) return 0;
  const auto mid = v.begin() + static_cast<long>(v.size() / 2);
  std::nth_element(v.begin(), mid, v.end());
  return *mid;
}

// The through path's level at each point, between the table's entries.
double throughAt(const ReferenceTable& t, double fHz) {
  const double x = (fHz / 1e6 - 0.1) / (160.1 / 1600);
  const double i = std::clamp(std::floor(x), 0.0, kRifEntries - 2.0);
  const double u = std::clamp(x - i, 0.0, 1.0);
  const size_t k = static_cast<size_t>(i);
  return t[k] + u * (t[k + 1] - t[k]);
}

FindStep sweep(FindStage stage, double loHz, double hiHz, int points) {
  FindStep s;
  s.kind = FindStep::Kind::Sweep;
  s.stage = stage;
  s.startMHz = loHz / 1e6;
  s.stopMHz = hiHz / 1e6;
  s.points = std::clamp(points, kNarrowPoints, kMaxPoints);
  return s;
}

FindStep notFound(std::string why) {
  FindStep s;
  s.error = std::move(why);
  return s;
}

// The point whose level stands out most above what the holder's capacitance
// alone passes, against its neighbours: the crystal's series resonance (or
// its skirt) on a sweep too coarse to show the peak itself. None when no
// point stands out of the curve's own scatter.
std::optional<size_t> standingOut(const CrystalCurve& c, const CrystalFitInput& in) {
  const size_t n = c.fHz.size();
  const double r0 = in.r0Ohm;
  std::vector<double> loss(n, NAN), caps;
  for (size_t i = 0; i < n; ++i) {
    if (!c.usable[i]) continue;
    loss[i] = throughAt(in.through, c.fHz[i]) - in.sweep.trace[i];
    if (loss[i] > 0.5)
      caps.push_back(1 / (kTwoPi * c.fHz[i] * r0 * std::sqrt(std::pow(10.0, loss[i] / 10) - 1)));
  }
  if (caps.size() < 2 * kNeighbours) return std::nullopt;
  const double cap = median(caps);
  std::vector<double> above(n, NAN);
  for (size_t i = 0; i < n; ++i)
    if (std::isfinite(loss[i]))
      above[i] = 10 * std::log10(1 + std::pow(kTwoPi * c.fHz[i] * cap * r0, -2)) - loss[i];
  std::vector<double> score(n, NAN), scatter;
  for (size_t i = 0; i < n; ++i) {
    if (!std::isfinite(above[i])) continue;
    std::vector<double> around;
    for (size_t j = i > kNeighbours ? i - kNeighbours : 0; j < std::min(n, i + kNeighbours + 1);
         ++j)
      if ((j + 1 < i || j > i + 1) && std::isfinite(above[j])) around.push_back(above[j]);
    if (around.size() < kNeighbours) continue;
    score[i] = above[i] - median(around);
    scatter.push_back(std::fabs(score[i]));
  }
  size_t best = n;
  for (size_t i = 0; i < n; ++i)
    if (std::isfinite(score[i]) && (best == n || score[i] > score[best])) best = i;
  const double noise = 1.4826 * median(scatter);
  if (best == n || score[best] < std::max({kStandOutDb, 8 * noise, 3 * c.countDb}))
    return std::nullopt;
  return best;
}

}  // namespace

std::string findStageText(FindStage stage) {
  return stage == FindStage::Coarse ? KOLM_TR("kolm", "coarse") : KOLM_TR("kolm", "narrow");
}

FindStep nextFindStep(const CrystalFitInput& in, int sweepsDone, int points) {
  const CurveRead whole = readCrystalCurve(in, true);
  const bool last = sweepsDone >= kFindSweeps;
  if (whole.curve) {
    const CrystalCurve& c = *whole.curve;
    const double bw = *c.shape.edges.width();
    const double centre = (*c.shape.edges.low + *c.shape.edges.high) / 2;
    const double span = c.fHz.back() - c.fHz.front();
    if (last || (bw / c.stepHz >= kStepsAcrossWidth && span <= kWidthsInSpan * bw))
      return {FindStep::Kind::Fit};
    // The width is there, if coarsely: aim the narrow sweep at it.
    if (bw / c.stepHz >= 1.5)
      return sweep(FindStage::Narrow, centre - kNarrowWidths * bw, centre + kNarrowWidths * bw,
                   std::max(points, kNarrowPoints));
  }
  if (last) return whole.curve ? FindStep{FindStep::Kind::Fit} : notFound(whole.error);
  const CurveRead read = readCrystalCurve(in, false);
  if (!read.curve) return notFound(read.error);
  const CrystalCurve& c = *read.curve;
  const auto at = standingOut(c, in);
  if (!at)
    return notFound(common::arg(
        KOLM_TR("kolm",
                "No resonance stands out of the sweep from %1 to %2 MHz: is the crystal in the "
                "fixture, and its frequency inside the span?"),
        {common::shortestText(c.fHz.front() / 1e6, 9),
         common::shortestText(c.fHz.back() / 1e6, 9)}));
  const size_t n = c.fHz.size();
  // The resonance lies within a step or two of the point that stands out;
  // the last sweep must be the narrow one.
  const size_t reach = sweepsDone + 1 >= kFindSweeps ? 3 : 2;
  const double lo = c.fHz[*at >= reach ? *at - reach : 0];
  const double hi = c.fHz[std::min(n - 1, *at + reach)];
  if (sweepsDone + 1 >= kFindSweeps)
    return sweep(FindStage::Narrow, lo, hi, std::max(points, kNarrowPoints));
  return sweep(FindStage::Coarse, lo, hi, kMaxPoints);
}

}  // namespace kolm::powermeter
