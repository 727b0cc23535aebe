#include "powermeter/fixture_steps.h"

#include <algorithm>
#include <cmath>

#include "common/files.h"
#include "common/text.h"
#include "common/tr.h"
#include "powermeter/calibration.h"

namespace kolm::powermeter {

namespace {

constexpr std::string_view kHeader = "kolm crystal fixture 1";

std::string countsText(const Calibration& c) {
  return "cal0=" + std::to_string(c.countsAt0Dbm) +
         " cal60=" + std::to_string(c.countsAtMinus60Dbm);
}

// "key=value" words of a line, in order; empty when a word has no "=".
std::optional<std::vector<std::pair<std::string, std::string>>> keyValues(std::string_view line) {
  std::vector<std::pair<std::string, std::string>> out;
  for (size_t at = 0; at < line.size();) {
    if (line[at] == ' ') {
      ++at;
      continue;
    }
    size_t end = line.find(' ', at);
    if (end == std::string_view::npos) end = line.size();
    const std::string_view word = line.substr(at, end - at);
    const size_t eq = word.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    out.emplace_back(std::string(word.substr(0, eq)), std::string(word.substr(eq + 1)));
    at = end;
  }
  return out;
}

std::optional<Calibration> countsOf(const std::vector<std::pair<std::string, std::string>>& kv,
                                    size_t from) {
  if (kv.size() != from + 2 || kv[from].first != "cal0" || kv[from + 1].first != "cal60")
    return std::nullopt;
  const auto a = common::argumentNumber(kv[from].second);
  const auto b = common::argumentNumber(kv[from + 1].second);
  auto count = [](std::optional<double> v) {
    return v && *v == std::floor(*v) && *v >= 0 && *v <= kMaxDetectorCount;
  };
  if (!count(a) || !count(b) || *a == *b) return std::nullopt;
  return Calibration{static_cast<int16_t>(*a), static_cast<int16_t>(*b)};
}

// The count a level read with `c` came from.
double countOf(double level, const Calibration& c) {
  return c.countsAt0Dbm + level * (c.countsAt0Dbm - c.countsAtMinus60Dbm) / 60.0;
}

}  // namespace

std::string formatFixtureRecord(const FixtureRecord& record) {
  std::string out = std::string(kHeader) + "\r\n";
  if (record.through) out += "through " + countsText(*record.through) + "\r\n";
  for (const FixtureStep& s : record.steps) {
    out += "step loss_db=" + common::shortestText(s.lossDb) +
           " pm_db=" + common::shortestText(s.pmDb) + " " + countsText(s.calibration) + "\r\n";
    std::string levels;
    for (float v : s.levels) levels += (levels.empty() ? "" : " ") + common::shortestText(v, 9);
    out += levels + "\r\n";
  }
  return out;
}

std::optional<FixtureRecord> parseFixtureRecord(std::string_view content, std::string* error) {
  std::vector<std::string_view> lines;
  for (size_t at = 0; at < content.size();) {
    size_t end = content.find('\n', at);
    if (end == std::string_view::npos) end = content.size();
    std::string_view line = content.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    at = end + 1;
  }
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  size_t k = 0;
  auto fail = [&](const std::string& why) -> std::optional<FixtureRecord> {
    if (error) *error = common::arg(KOLM_TR("kolm", "Line %1: %2"), {std::to_string(k + 1), why});
    return std::nullopt;
  };
  if (lines.empty() || lines[0] != kHeader)
    return fail(KOLM_TR("kolm", "this is not a crystal fixture's record."));
  FixtureRecord record;
  for (k = 1; k < lines.size(); ++k) {
    const auto kv = keyValues(lines[k].substr(std::min(lines[k].find(' '), lines[k].size())));
    const std::string_view kind = lines[k].substr(0, lines[k].find(' '));
    if (kind == "through" && kv && !record.through && record.steps.empty()) {
      record.through = countsOf(*kv, 0);
      if (!record.through)
        return fail(KOLM_TR("kolm", "the through path's counts are not two counts."));
      continue;
    }
    if (kind != "step" || !kv || kv->size() != 4 || (*kv)[0].first != "loss_db" ||
        (*kv)[1].first != "pm_db")
      return fail(KOLM_TR("kolm", "a step is \"step loss_db=DB pm_db=DB cal0=N cal60=N\"."));
    FixtureStep step;
    const auto loss = common::argumentNumber((*kv)[0].second);
    const auto pm = common::argumentNumber((*kv)[1].second);
    const auto counts = countsOf(*kv, 2);
    if (!loss || !(*loss >= kMinStepDb && *loss <= kMaxStepDb) || !pm || !(*pm >= 0 && *pm < 10) ||
        !counts)
      return fail(KOLM_TR("kolm", "a step's loss, tolerance or counts are out of range."));
    step.lossDb = *loss;
    step.pmDb = *pm;
    step.calibration = *counts;
    if (++k >= lines.size()) return fail(KOLM_TR("kolm", "a step's levels are missing."));
    size_t n = 0;
    std::string_view rest = lines[k];
    while (!rest.empty()) {
      const size_t end = std::min(rest.find(' '), rest.size());
      const auto v = common::argumentNumber(rest.substr(0, end));
      if (!v || n >= step.levels.size() || !common::fitsSingle(*v))
        return fail(KOLM_TR("kolm", "a step holds 1601 levels."));
      step.levels[n++] = static_cast<float>(*v);
      rest.remove_prefix(std::min(end + 1, rest.size()));
    }
    if (n != step.levels.size()) return fail(KOLM_TR("kolm", "a step holds 1601 levels."));
    for (const FixtureStep& s : record.steps)
      if (s.lossDb == step.lossDb) return fail(KOLM_TR("kolm", "two steps of the same loss."));
    record.steps.push_back(step);
  }
  std::sort(record.steps.begin(), record.steps.end(),
            [](const FixtureStep& a, const FixtureStep& b) { return a.lossDb < b.lossDb; });
  return record;
}

std::optional<FixtureRecord> readFixtureRecord(const std::filesystem::path& path,
                                               std::string* error) {
  const common::FileRead file = common::readFile(path, common::kTableFileLimit);
  if (file.fault == common::ReadFault::Missing) return FixtureRecord{};
  if (!file.content) {
    if (error) *error = file.error;
    return std::nullopt;
  }
  auto record = parseFixtureRecord(*file.content, error);
  if (!record && error) *error = path.filename().string() + ": " + *error;
  return record;
}

void putStep(FixtureRecord& record, FixtureStep step) {
  std::erase_if(record.steps, [&](const FixtureStep& s) { return s.lossDb == step.lossDb; });
  record.steps.push_back(std::move(step));
  std::sort(record.steps.begin(), record.steps.end(),
            [](const FixtureStep& a, const FixtureStep& b) { return a.lossDb < b.lossDb; });
}

std::string keepStep(FixtureRecord& record, FixtureStep step, const ReferenceTable& through) {
  std::string wrong = stepProblem(
      step, record.through ? inCalibration(through, *record.through, step.calibration) : through);
  if (wrong.empty()) putStep(record, std::move(step));
  return wrong;
}

ReferenceTable inCalibration(const ReferenceTable& table, const Calibration& from,
                             const Calibration& to) {
  if (from == to || !from.usable() || !to.usable()) return table;
  ReferenceTable out;
  for (size_t i = 0; i < table.size(); ++i)
    out[i] = static_cast<float>((-60.0 / (to.countsAt0Dbm - to.countsAtMinus60Dbm)) *
                                (to.countsAt0Dbm - countOf(table[i], from)));
  return out;
}

std::string stepProblem(const FixtureStep& step, const ReferenceTable& through) {
  if (!(step.lossDb >= kMinStepDb && step.lossDb <= kMaxStepDb))
    return KOLM_TR("kolm", "A step is an attenuator of 0.5 to 60 dB.");
  // At a few frequencies across the crystal range: what the detector reads
  // for the attenuator, against what any detector of the stated slope can.
  const double tolerance = detectorFigures().slopeTolerance;
  for (double f : {1.0, 10.0, 30.0}) {
    const double read =
        throughLevel(through, f, 0).levelDb - throughLevel(step.levels, f, 0).levelDb;
    if (std::fabs(read - step.lossDb) > tolerance * step.lossDb + 1 + step.pmDb)
      return common::arg(
          KOLM_TR("kolm",
                  "The detector reads %1 dB at %2 MHz for the attenuator stated as %3 dB: is it in "
                  "the fixture in the crystal's place, and of that value? Nothing was kept."),
          {common::formatPattern(read, "0.0"), common::shortestText(f),
           common::shortestText(step.lossDb)});
  }
  return {};
}

LossCorrection::LossCorrection(std::vector<LossKnot> knots, double conformance)
    : knots_(std::move(knots)), conformance_(conformance) {
  knots_.insert(knots_.begin(), LossKnot{});
  std::sort(knots_.begin(), knots_.end(),
            [](const LossKnot& a, const LossKnot& b) { return a.trueDb < b.trueDb; });
}

double LossCorrection::corrected(double m) const {
  // The stretch m lies on (the first or the last one beyond the knots).
  size_t k = 1;
  while (k + 1 < knots_.size() && m > knots_[k].measuredDb) ++k;
  const LossKnot &a = knots_[k - 1], &b = knots_[k];
  const double span = b.measuredDb - a.measuredDb;
  return a.trueDb + (m - a.measuredDb) * (span > 0 ? (b.trueDb - a.trueDb) / span : 1);
}

double LossCorrection::bound(double l) const {
  const double f = conformance_;
  if (l <= 0) return 2 * f * -l;
  for (size_t k = 1; k < knots_.size(); ++k) {
    const LossKnot &a = knots_[k - 1], &b = knots_[k];
    if (l > b.trueDb) continue;
    // Against the straight line through two knots, an error whose slope stays
    // within f of the line's can stray 2 f (l - a)(b - l) / (b - a).
    const double t = (l - a.trueDb) / (b.trueDb - a.trueDb);
    return a.pmDb + t * (b.pmDb - a.pmDb) +
           2 * f * (l - a.trueDb) * (b.trueDb - l) / (b.trueDb - a.trueDb);
  }
  // Beyond the last knot the line's slope may be 2 f off the error's.
  const LossKnot& last = knots_.back();
  return last.pmDb * l / last.trueDb + 2 * f * (l - last.trueDb);
}

std::optional<LossCorrection> lossCorrection(const FixtureRecord& record,
                                             const ReferenceTable& through,
                                             const Calibration& calibration, double fMHz,
                                             double conformance) {
  if (record.steps.empty() || !calibration.usable()) return std::nullopt;
  const double countDb = 60.0 / std::abs(calibration.countsAt0Dbm - calibration.countsAtMinus60Dbm);
  const ThroughLevel t = throughLevel(through, fMHz, countDb);
  std::vector<LossKnot> knots;
  for (const FixtureStep& s : record.steps) {
    const ThroughLevel r =
        throughLevel(inCalibration(s.levels, s.calibration, calibration), fMHz, countDb);
    knots.push_back({t.levelDb - r.levelDb, s.lossDb, s.pmDb + t.pmDb + r.pmDb});
  }
  // Knots whose readings do not rise with the loss say nothing about the slope.
  std::sort(knots.begin(), knots.end(),
            [](const LossKnot& a, const LossKnot& b) { return a.trueDb < b.trueDb; });
  double last = 0;
  for (const LossKnot& k : knots) {
    if (!(k.measuredDb > last)) return std::nullopt;
    last = k.measuredDb;
  }
  return LossCorrection(std::move(knots), conformance);
}

}  // namespace kolm::powermeter
