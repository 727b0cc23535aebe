#include "powermeter/normalise.h"

#include <cmath>
#include <limits>

#include "chart/scale.h"
#include "common/text.h"

namespace kolm::powermeter {

std::optional<double> referenceLevelAt(const LevelReference& reference, double mhz,
                                       const LevelLimits& limits) {
  const double position = mhz * 10;
  const int last = std::min(reference.entries, kRifEntries) - 1;
  if (!(position >= 0) || position > last) return std::nullopt;
  const int i = std::min(static_cast<int>(std::floor(position)), std::max(last - 1, 0));
  const double along = position - i;
  auto entry = [&](int k) -> std::optional<double> {
    const float v = reference.table[static_cast<size_t>(k)];
    if (!std::isfinite(v) || limits.flag(v) != LevelFlag::Valid) return std::nullopt;
    return v;
  };
  const auto a = entry(i);
  if (along == 0 || last == 0) return a;
  const auto b = entry(i + 1);
  if (!a || !b) return std::nullopt;
  return *a + (*b - *a) * along;
}

RelativeLevels relativeLevels(const float* levels, size_t count, double start, double stop,
                              const LevelLimits& limits, const LevelReference& reference) {
  RelativeLevels out;
  out.levels.resize(count);
  std::vector<chart::Mark> marks(count, chart::Mark::Valid);
  bool anyMarked = false;
  for (size_t k = 0; k < count; ++k) {
    const double f = count > 1 ? chart::pointFrequency(start, stop, static_cast<int>(count - 1),
                                                       static_cast<double>(k))
                               : start;
    const auto ref = referenceLevelAt(reference, f, limits);
    if (!ref) {
      out.levels[k] = std::numeric_limits<float>::quiet_NaN();
      marks[k] = chart::Mark::Invalid;
      anyMarked = true;
      continue;
    }
    out.levels[k] = static_cast<float>(levels[k] - *ref);
    marks[k] = limits.mark(levels[k]);
    anyMarked = anyMarked || chart::flagged(marks[k]);
  }
  if (anyMarked) out.marks = std::move(marks);
  return out;
}

std::string formatRelativeCsv(const ChartFile& chart, const LevelLimits& limits,
                              const LevelReference& reference) {
  std::string out = "freq_mhz,relative_db,flag\r\n";
  const size_t count = std::min(static_cast<size_t>(chart.points) + 1, chart.levels.size());
  const RelativeLevels relative =
      relativeLevels(chart.levels.data(), count, chart.start, chart.stop, limits, reference);
  for (size_t k = 0; k < count; ++k) {
    out += common::shortestText(chart.frequencyMHz(k), 10);
    out += ',';
    if (std::isnan(relative.levels[k])) {
      out += ",no_reference\r\n";
      continue;
    }
    out += common::shortestText(relative.levels[k], 7);
    out += ',';
    out += flagWords(chart.levels[k], limits);
    out += "\r\n";
  }
  return out;
}

}  // namespace kolm::powermeter
