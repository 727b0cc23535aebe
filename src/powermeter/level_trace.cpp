#include "powermeter/level_trace.h"

#include <algorithm>
#include <cmath>

#include "chart/scale.h"
#include "common/records.h"
#include "common/text.h"
#include "common/words.h"
#include "powermeter/calibration.h"
#include "powermeter/crystal_fit.h"

namespace kolm::powermeter {

namespace {
// The 0 dBm signal of a calibration is known within this (DetectorFigures).
constexpr double kReferenceLevelDb = 0.3;
}  // namespace

double levelHalfWidthDb(double level, bool calibrated) {
  const DetectorFigures& d = detectorFigures();
  const double slope = calibrated ? d.calibratedSlopeTolerance : d.slopeTolerance;
  return kReferenceLevelDb + (slope + ReadoutTerms{}.differenceFraction) * std::fabs(level) +
         0.5 / d.countsPerDb;
}

chart::StoredTrace levelTrace(std::string name, std::span<const float> levels, double start,
                              double stop, const LevelLimits& limits) {
  chart::StoredTrace t{std::move(name), "level", "dBm"};
  const size_t n = levels.size();
  t.x.resize(n);
  t.value.resize(n);
  t.low.resize(n);
  t.high.resize(n);
  for (size_t i = 0; i < n; ++i) {
    t.x[i] = n < 2
                 ? start
                 : chart::pointFrequency(start, stop, static_cast<int>(n - 1), static_cast<int>(i));
    const double v = levels[i];
    const double pm = std::isfinite(v) ? levelHalfWidthDb(v, limits.calibrated) : 0;
    t.value[i] = v;
    t.low[i] = std::isfinite(v) ? v - pm : -HUGE_VAL;
    t.high[i] = std::isfinite(v) ? v + pm : HUGE_VAL;
  }
  t.marks = levelMarks(levels.data(), n, limits);
  // With the default counts every level is a few dB off: approximate.
  if (!limits.calibrated) t.marks.assign(n, chart::Mark::Approximate);
  for (size_t i = 0; i < n; ++i)
    if (!std::isfinite(t.value[i])) {
      if (t.marks.empty()) t.marks.assign(n, chart::Mark::Valid);
      t.marks[i] = chart::Mark::Invalid;
    }
  return t;
}

LevelTraceRead levelTraceFromCsv(std::string name, std::string_view text) {
  const common::CsvTable table = common::readCsvTable(text);
  if (!table.error.empty()) return {std::nullopt, table.error};
  const auto f = table.column("freq_mhz"), v = table.column("level_dbm"),
             flags = table.column("flag");
  if (!f || !v || !flags) return {std::nullopt, "the header lacks freq_mhz, level_dbm or flag"};
  if (table.rows.empty()) return {std::nullopt, "no levels"};
  chart::StoredTrace t{std::move(name), "level", "dBm"};
  t.marks.assign(table.rows.size(), chart::Mark::Valid);
  for (size_t i = 0; i < table.rows.size(); ++i) {
    const std::vector<std::string>& row = table.rows[i];
    const std::string where = "line " + std::to_string(table.rowLines[i]) + ": ";
    const auto x = common::fieldNumber(row[*f]);
    // A level that is no number is written NAN (or left empty).
    const std::string_view text = row[*v];
    const bool none = text.empty() || text == "NAN" || text == "-NAN" || text == "nan";
    const auto level = none ? std::optional(double(NAN)) : common::fieldNumber(text);
    bool calibrated = true, known = true;
    chart::Mark mark = chart::Mark::Valid;
    for (const std::string_view w : common::blankSeparatedWords(row[*flags])) {
      if (w == "uncalibrated")
        calibrated = false;
      else if (w == "floor")
        mark = chart::Mark::AtMost;
      else if (w == "overload")
        mark = chart::Mark::AtLeast;
      else
        known = false;
    }
    if (!x || !level || !known)
      return {std::nullopt, where + "a field is not a number, or the flag not one Kolm writes"};
    if (!std::isfinite(*x) || (!t.x.empty() && !(*x > t.x.back())))
      return {std::nullopt, where + "the frequencies do not rise"};
    // The level is written to 7 significant digits: the level read may be off
    // by half the last one, h, and its half-width (less than |level| grows it
    // by) by less than h again.
    const double h =
        *level == 0 ? 0 : 0.5 * std::pow(10.0, std::floor(std::log10(std::fabs(*level))) - 6);
    const double pm =
        std::isfinite(*level) ? levelHalfWidthDb(*level, calibrated) + 2 * h : HUGE_VAL;
    if (!calibrated) mark = chart::Mark::Approximate;  // floor and overload no bounds then
    if (!std::isfinite(*level)) mark = chart::Mark::Invalid;
    t.x.push_back(*x);
    t.value.push_back(*level);
    t.low.push_back(std::isfinite(*level) ? *level - pm : -HUGE_VAL);
    t.high.push_back(std::isfinite(*level) ? *level + pm : HUGE_VAL);
    t.marks[i] = mark;
  }
  if (std::ranges::all_of(t.marks, [](chart::Mark m) { return m == chart::Mark::Valid; }))
    t.marks.clear();
  if (std::string why = chart::traceProblem(t); !why.empty()) return {std::nullopt, why};
  return {std::move(t), {}};
}

}  // namespace kolm::powermeter
