#include "powermeter/crystal_batch.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "chart/edges.h"
#include "common/files.h"
#include "common/settings_file.h"
#include "common/text.h"
#include "common/tr.h"

namespace kolm::powermeter {

namespace {

// The columns, in the order they are written. Each value has its interval's
// half-width (_pm) and its spread over repeated passes (_sd) beside it.
const std::vector<std::string>& columns() {
  static const std::vector<std::string> names = {
      "number",       "label",     "fs_mhz",      "fs_mhz_pm", "fs_mhz_sd", "fs_mhz_pm_rel",
      "fp_mhz",       "fp_mhz_pm", "fp_mhz_sd",   "r_ohm",     "r_ohm_pm",  "r_ohm_sd",
      "r_ohm_pm_rel", "l_mh",      "l_mh_pm",     "l_mh_sd",   "cs_ff",     "cs_ff_pm",
      "cs_ff_sd",     "c0_pf",     "c0_pf_pm",    "c0_pf_sd",  "q",         "q_pm",
      "q_sd",         "fl_mhz",    "fl_mhz_pm",   "fl_mhz_sd", "load_pf",   "passes",
      "step_hz",      "method",    "calibration", "verdict",   "group",     "warnings"};
  return names;
}
constexpr std::string_view kWarningSeparator = " | ";

std::string csvQuoted(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

std::string number(const std::optional<double>& value) {
  return value ? common::shortestText(*value, 10) : std::string();
}

// The fields of one CSV line: commas outside double quotes split, "" inside
// quotes is one quote. Empty when the quotes do not close.
std::optional<std::vector<std::string>> csvFields(std::string_view line) {
  std::vector<std::string> fields(1);
  bool inQuotes = false;
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (inQuotes) {
      if (c != '"')
        fields.back() += c;
      else if (i + 1 < line.size() && line[i + 1] == '"')
        fields.back() += line[++i];
      else
        inQuotes = false;
    } else if (c == '"') {
      inQuotes = true;
    } else if (c == ',') {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  if (inQuotes) return std::nullopt;
  return fields;
}

}  // namespace

std::optional<CrystalModel> crystalModel(const CrystalRow& row) {
  constexpr double kHzPerMHz = 1e6, kHenryPerMilliHenry = 1e-3, kFaradPerPicoFarad = 1e-12;
  if (!row.lMilliHenry) return std::nullopt;
  return CrystalModel{row.fsMHz.value * kHzPerMHz, row.rOhm.value,
                      row.lMilliHenry->value * kHenryPerMilliHenry,
                      row.c0PicoFarad ? row.c0PicoFarad->value * kFaradPerPicoFarad : 0};
}

CrystalSpread crystalSpread(const CrystalRow& row) {
  auto pm = [](const std::optional<BatchValue>& v, double scale) {
    return v && v->pm ? *v->pm * scale : 0.0;
  };
  CrystalSpread s;
  const double fsPm = row.fsMHz.pm.value_or(0) * 1e6;
  s.fsHz = row.fsRelPmMHz ? *row.fsRelPmMHz * 1e6 : fsPm;
  s.fsCommonHz = std::max(0.0, fsPm - s.fsHz);
  s.rOhm = row.rOhm.pm.value_or(0);
  s.lHenry = pm(row.lMilliHenry, 1e-3);
  s.c0Farad = pm(row.c0PicoFarad, 1e-12);
  return s;
}

std::vector<CrystalSpread> networkSpreads(const LadderNetwork& network,
                                          const std::vector<const CrystalRow*>& rows) {
  std::vector<CrystalSpread> out;
  for (const LadderCrystal& x : network.crystals) {
    const auto row = std::find_if(rows.begin(), rows.end(),
                                  [&](const CrystalRow* r) { return crystalName(*r) == x.name; });
    if (row == rows.end()) continue;
    const CrystalRow& r = **row;
    if (r.fsMHz.pm && r.rOhm.pm && r.lMilliHenry && r.lMilliHenry->pm)
      out.push_back(crystalSpread(r));
  }
  return out;
}

CrystalRow crystalRow(int number, std::string label, const CrystalParameters& p,
                      std::vector<std::string> warnings) {
  CrystalRow row;
  row.number = number;
  row.label = std::move(label);
  const bool repeated = p.repeats > 1;
  auto value = [&](const Measured& m) {
    return BatchValue(m.value, m.pm, repeated ? std::optional<double>(m.sd) : std::nullopt);
  };
  auto optional = [&](const std::optional<Measured>& m) -> std::optional<BatchValue> {
    if (!m) return std::nullopt;
    return value(*m);
  };
  row.fsMHz = value(p.fsMHz);
  row.fpMHz = optional(p.fpMHz);
  row.rOhm = value(p.rOhm);
  row.lMilliHenry = optional(p.lMilliHenry);
  row.csFemtoFarad = optional(p.csFemtoFarad);
  row.c0PicoFarad = optional(p.c0PicoFarad);
  row.q = optional(p.q);
  row.flMHz = optional(p.flMHz);
  if (p.flMHz) row.loadPf = p.loadPf;
  row.calibration = std::string(slopeSourceName(p.slope));
  const bool fit = p.method == CrystalMethod::Fit;
  row.fsRelPmMHz = p.fsMHz.relativePm();
  row.rRelPmOhm = p.rOhm.relativePm();
  row.repeats = p.repeats;
  row.stepHz = p.stepHz;
  row.method = fit ? "fit" : "edges";
  row.warnings = std::move(warnings);
  return row;
}

std::vector<std::string> crystalFitWarnings(const CrystalParameters& p, const CrystalSweep& sweep) {
  std::vector<std::string> out;
  if (p.method == CrystalMethod::Edges) out.push_back(p.fallback);
  const double start = sweep.traceStartMHz, stop = sweep.traceStopMHz;
  const double margin = (stop - start) / 10;
  if (p.fsMHz.value < start + margin || p.fsMHz.value > stop - margin)
    out.push_back(
        KOLM_TR("kolm", "Fs lies near an end of the sweep: centre the span on the resonance."));
  return out;
}

std::string crystalLines(const CrystalRow& row) {
  std::string out;
  auto lines = [&](const char* key, const std::optional<BatchValue>& v, int decimals) {
    const std::string k(key);
    if (!v) {
      out += k + "=none\n" + k + "_pm=none\n";
      if (row.repeats > 1) out += k + "_sd=none\n";
      return;
    }
    const DeservedText t = deservedText(v->value, v->pm.value_or(0), decimals);
    out += k + "=" + t.value + "\n" + k + "_pm=" + (v->pm ? t.pm : "none") + "\n";
    if (row.repeats > 1)
      out += k + "_sd=" + (v->sd ? deservedText(*v->sd, *v->sd, decimals).value : "none") + "\n";
  };
  lines("fs_mhz", row.fsMHz, 6);
  lines("fp_mhz", row.fpMHz, 6);
  lines("r_ohm", row.rOhm, 1);
  lines("l_mh", row.lMilliHenry, 3);
  lines("cs_ff", row.csFemtoFarad, 2);
  lines("c0_pf", row.c0PicoFarad, 2);
  lines("q", row.q, 0);
  if (row.loadPf) {
    lines("fl_mhz", row.flMHz, 6);
    out += "load_pf=" + common::shortestText(*row.loadPf) + "\n";
  }
  auto relative = [&](const char* key, const std::optional<double>& pm) {
    out += std::string(key) + "=" + (pm ? halfWidthText(*pm, 6) : std::string("none")) + "\n";
  };
  relative("fs_mhz_pm_rel", row.fsRelPmMHz);
  relative("r_ohm_pm_rel", row.rRelPmOhm);
  if (!row.calibration.empty()) out += "calibration=" + row.calibration + "\n";
  out += "method=" + (row.method.empty() ? std::string("none") : row.method) + "\n";
  out += "passes=" + std::to_string(row.repeats) + "\n";
  if (!row.verdict.empty()) out += "verdict=" + row.verdict + "\n";
  for (const std::string& w : row.warnings) out += "warning=" + w + "\n";
  return out;
}

std::string labelProblem(std::string_view label) {
  if (label.size() > 40) return KOLM_TR("kolm", "A label has at most 40 characters.");
  for (char c : label)
    if (c == ',' || c == '"' || static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
      return KOLM_TR("kolm", "A label holds no comma, double quote or line break.");
  return {};
}

std::string formatBatchCsv(const std::vector<CrystalRow>& rows) {
  std::string out;
  for (const std::string& c : columns()) out += (out.empty() ? "" : ",") + c;
  out += "\r\n";
  auto triple = [](const std::optional<BatchValue>& v) {
    if (!v) return std::string(",,");
    return number(v->value) + "," + number(v->pm) + "," + number(v->sd);
  };
  for (const CrystalRow& row : rows) {
    std::string warnings;
    for (const std::string& w : row.warnings)
      warnings += (warnings.empty() ? "" : std::string(kWarningSeparator)) + w;
    out += std::to_string(row.number) + "," + csvQuoted(row.label) + "," + triple(row.fsMHz) + "," +
           number(row.fsRelPmMHz) + "," + triple(row.fpMHz) + "," + triple(row.rOhm) + "," +
           number(row.rRelPmOhm) + "," + triple(row.lMilliHenry) + "," + triple(row.csFemtoFarad) +
           "," + triple(row.c0PicoFarad) + "," + triple(row.q) + "," + triple(row.flMHz) + "," +
           number(row.loadPf) + "," + std::to_string(row.repeats) + "," + number(row.stepHz) + "," +
           row.method + "," + row.calibration + "," + row.verdict + "," +
           (row.group ? std::to_string(*row.group) : std::string()) + "," + csvQuoted(warnings) +
           "\r\n";
  }
  return out;
}

namespace {

// One crystal's row from its fields under `header`; nothing, with `why` said,
// where a field is not what its column holds.
std::optional<CrystalRow> rowOf(const std::vector<std::string>& header,
                                const std::vector<std::string>& fields, std::string& why) {
  auto fault = [&](std::string message) -> std::optional<CrystalRow> {
    why = std::move(message);
    return std::nullopt;
  };
  auto text = [&](std::string_view name) -> std::string {
    for (size_t k = 0; k < header.size(); ++k)
      if (header[k] == name) return fields[k];
    return {};
  };
  bool good = true;
  // An empty or missing field is not known; anything else must be a number.
  auto number = [&](std::string_view name) -> std::optional<double> {
    const std::string t = text(name);
    if (t.empty()) return std::nullopt;
    const auto v = common::argumentNumber(t);
    if (!v) good = false;
    return v;
  };
  auto value = [&](const std::string& name) -> std::optional<BatchValue> {
    const auto v = number(name);
    const auto pm = number(name + "_pm");
    const auto sd = number(name + "_sd");
    if (!v) return std::nullopt;
    return BatchValue(*v, pm, sd);
  };
  CrystalRow row;
  const auto n = number("number");
  const auto fs = value("fs_mhz");
  const auto r = value("r_ohm");
  if (!good || !n || *n != std::floor(*n) || *n < 1 || *n > 1e6 || !fs || !r)
    return fault(KOLM_TR("kolm", "the number, Fs and R must be numbers."));
  row.number = static_cast<int>(*n);
  row.label = text("label");
  row.fsMHz = *fs;
  row.rOhm = *r;
  row.fpMHz = value("fp_mhz");
  row.lMilliHenry = value("l_mh");
  row.csFemtoFarad = value("cs_ff");
  row.c0PicoFarad = value("c0_pf");
  row.q = value("q");
  row.flMHz = value("fl_mhz");
  row.loadPf = number("load_pf");
  row.calibration = text("calibration");
  row.verdict = text("verdict");
  row.fsRelPmMHz = number("fs_mhz_pm_rel");
  row.rRelPmOhm = number("r_ohm_pm_rel");
  row.stepHz = number("step_hz");
  const auto passes = number("passes");
  const auto group = number("group");
  row.method = text("method");
  if (!good || (passes && (*passes != std::floor(*passes) || *passes < 1 || *passes > 1e6)) ||
      (group && (*group != std::floor(*group) || *group < 1 || *group > 1e6)) ||
      (!row.method.empty() && row.method != "fit" && row.method != "edges") ||
      (!row.calibration.empty() && row.calibration != "default" && row.calibration != "level" &&
       row.calibration != "steps" && row.calibration != "suspect") ||
      (!row.verdict.empty() && row.verdict != "pass" && row.verdict != "fail" &&
       row.verdict != "indeterminate") ||
      (row.flMHz.has_value() != row.loadPf.has_value()))
    return fault(KOLM_TR("kolm",
                         "the values, their intervals, passes and group are numbers or empty, "
                         "the method fit or edges, the calibration default, level or steps, "
                         "the verdict pass, fail or indeterminate, and Fl comes with its "
                         "load."));
  if (passes) row.repeats = static_cast<int>(*passes);
  if (group) row.group = static_cast<int>(*group);
  const std::string warnings = text("warnings");
  for (size_t at = 0; !warnings.empty();) {
    const size_t next = warnings.find(kWarningSeparator, at);
    row.warnings.push_back(warnings.substr(at, next - at));
    if (next == std::string::npos) break;
    at = next + kWarningSeparator.size();
  }
  return row;
}

}  // namespace

BatchRead parseBatchCsv(std::string_view content) {
  BatchRead read;
  size_t lineNumber = 0;
  auto refuse = [&](const std::string& why) {
    read.rows.clear();
    read.error = common::arg(KOLM_TR("kolm", "Line %1: %2"), {std::to_string(lineNumber), why});
    return read;
  };
  std::vector<std::string> header;
  auto column = [&](std::string_view name) -> std::optional<size_t> {
    for (size_t k = 0; k < header.size(); ++k)
      if (header[k] == name) return k;
    return std::nullopt;
  };
  for (size_t pos = 0; pos < content.size();) {
    size_t end = content.find('\n', pos);
    if (end == std::string_view::npos) end = content.size();
    std::string_view line = content.substr(pos, end - pos);
    pos = end + 1;
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (lineNumber == 1) {
      const auto names = csvFields(line);
      if (names) header = *names;
      for (const char* required : {"number", "label", "fs_mhz", "r_ohm", "warnings"})
        if (!column(required))
          return refuse(KOLM_TR("kolm", "this is not a crystal batch (its header is missing)."));
      for (const std::string& name : header)
        if (std::find(columns().begin(), columns().end(), name) == columns().end() ||
            std::count(header.begin(), header.end(), name) > 1)
          return refuse(
              common::arg(KOLM_TR("kolm", "the column %1 is not one a batch has."), {name}));
      continue;
    }
    if (line.empty()) continue;
    const auto fields = csvFields(line);
    if (!fields || fields->size() != header.size())
      return refuse(common::arg(KOLM_TR("kolm", "a crystal has %1 fields."),
                                {std::to_string(header.size())}));
    std::string why;
    auto row = rowOf(header, *fields, why);
    if (!row) return refuse(why);
    read.rows.push_back(std::move(*row));
  }
  if (lineNumber == 0) return refuse(KOLM_TR("kolm", "the file is empty."));
  return read;
}

BatchRead readBatchCsv(const std::filesystem::path& path) {
  const common::FileRead file = common::readFile(path, common::kTableFileLimit);
  if (file.fault == common::ReadFault::Missing) return {};
  if (!file.content) return {{}, file.error};
  // A table saved again by another program may start with a byte-order mark
  // or end its lines in CR CR LF.
  BatchRead read = parseBatchCsv(common::lenientSettingsText(*file.content));
  if (!read.ok()) read.error = path.string() + ": " + read.error;
  return read;
}

namespace {

// A crystal's Fs interval (Hz) and R interval as matching sees them.
struct Span {
  double lo = 0, hi = 0;
};

Span fsSpan(const CrystalRow& row) {
  const double u = row.fsRelPmMHz.value_or(row.fsMHz.pm.value_or(0)) * 1e6;
  return {row.fsMHz.value * 1e6 - u, row.fsMHz.value * 1e6 + u};
}

Span rSpan(const CrystalRow& row) {
  const double u = row.rRelPmOhm.value_or(row.rOhm.pm.value_or(0));
  return {row.rOhm.value - u, row.rOhm.value + u};
}

// A group's spreads of Fs (with what they may be off by) and of R, into `g`;
// the intervals' reach, the spread the truth may have.
double measureSpreads(const std::vector<CrystalRow>& rows, CrystalGroup& g) {
  double lo = HUGE_VAL, hi = -HUGE_VAL, reachLo = HUGE_VAL, reachHi = -HUGE_VAL;
  double rLo = HUGE_VAL, rHi = -HUGE_VAL;
  for (size_t m : g.members) {
    lo = std::min(lo, rows[m].fsMHz.value * 1e6);
    hi = std::max(hi, rows[m].fsMHz.value * 1e6);
    reachLo = std::min(reachLo, fsSpan(rows[m]).lo);
    reachHi = std::max(reachHi, fsSpan(rows[m]).hi);
    rLo = std::min(rLo, rows[m].rOhm.value);
    rHi = std::max(rHi, rows[m].rOhm.value);
  }
  g.fsSpreadHz = hi - lo;
  g.fsSpreadPmHz = (reachHi - reachLo) - g.fsSpreadHz;
  g.rSpreadPct = (rHi / rLo - 1) * 100;
  return reachHi - reachLo;
}

}  // namespace

std::vector<CrystalGroup> matchCrystals(const std::vector<CrystalRow>& rows, int size,
                                        double toleranceHz, std::optional<double> rTolerancePct) {
  std::vector<CrystalGroup> groups;
  if (size < 2 || rows.size() < static_cast<size_t>(size)) return groups;
  const double rFactor = rTolerancePct ? 1 + *rTolerancePct / 100 : 0;
  // The crystals that may match, by rising Fs.
  std::vector<size_t> free;
  for (size_t i = 0; i < rows.size(); ++i)
    if (rows[i].rOhm.value > 0 && std::isfinite(rows[i].fsMHz.value)) free.push_back(i);
  std::sort(free.begin(), free.end(), [&](size_t a, size_t b) {
    return rows[a].fsMHz.value < rows[b].fsMHz.value ||
           (rows[a].fsMHz.value == rows[b].fsMHz.value && a < b);
  });
  const auto fsHz = [&](size_t i) { return rows[i].fsMHz.value * 1e6; };

  for (;;) {
    std::optional<CrystalGroup> best;
    double bestReach = 0;  // the intervals' spread of the best group
    // Each crystal's interval as the lowest of a group; with an R tolerance,
    // each crystal of its Fs window as the group's lowest R.
    for (size_t a = 0; a < free.size(); ++a) {
      const double floorHz = fsSpan(rows[free[a]]).lo;
      std::vector<size_t> window;
      for (size_t k = a; k < free.size(); ++k) {
        const Span s = fsSpan(rows[free[k]]);
        if (s.lo < floorHz) continue;
        if (s.hi - floorHz <= toleranceHz) window.push_back(free[k]);
        if (fsHz(free[k]) - floorHz > toleranceHz) break;
      }
      if (window.size() < static_cast<size_t>(size)) continue;
      std::vector<double> floors;
      if (rTolerancePct)
        for (size_t m : window) floors.push_back(rSpan(rows[m]).lo);
      else
        floors.push_back(-std::numeric_limits<double>::infinity());
      for (double rLow : floors) {
        const double rHigh =
            rTolerancePct ? rLow * rFactor : std::numeric_limits<double>::infinity();
        if (rTolerancePct && !(rLow > 0)) continue;
        CrystalGroup g;
        for (size_t m : window) {
          if (g.members.size() == static_cast<size_t>(size)) break;
          const Span r = rSpan(rows[m]);
          if (r.lo >= rLow && r.hi <= rHigh) g.members.push_back(m);
        }
        if (g.members.size() < static_cast<size_t>(size) ||
            std::find(g.members.begin(), g.members.end(), free[a]) == g.members.end())
          continue;
        const double reach = measureSpreads(rows, g);
        // Spreads that differ by rounding alone count as equal.
        constexpr double kSameHz = 1e-6;
        if (!best || reach < bestReach - kSameHz ||
            (reach <= bestReach + kSameHz && g.rSpreadPct < best->rSpreadPct)) {
          best = std::move(g);
          bestReach = reach;
        }
      }
    }
    if (!best) break;
    for (size_t m : best->members) free.erase(std::find(free.begin(), free.end(), m));
    groups.push_back(std::move(*best));
  }
  std::stable_sort(groups.begin(), groups.end(), [](const CrystalGroup& a, const CrystalGroup& b) {
    return a.fsSpreadHz + a.fsSpreadPmHz < b.fsSpreadHz + b.fsSpreadPmHz - 1e-6;
  });
  for (CrystalGroup& g : groups)
    std::sort(g.members.begin(), g.members.end(),
              [&](size_t a, size_t b) { return rows[a].fsMHz.value < rows[b].fsMHz.value; });
  return groups;
}

std::string toleranceWarning(const std::vector<CrystalRow>& rows, double toleranceHz,
                             int* crystals) {
  int count = 0;
  for (const CrystalRow& row : rows) {
    const double halfWidthHz = (fsSpan(row).hi - fsSpan(row).lo) / 2;
    if (toleranceHz < 2 * halfWidthHz || (row.stepHz && toleranceHz < *row.stepHz)) ++count;
  }
  if (crystals) *crystals = count;
  return count ? "tolerance below resolution" : "";
}

void setGroups(std::vector<CrystalRow>& rows, const std::vector<CrystalGroup>& groups) {
  for (CrystalRow& row : rows) row.group.reset();
  for (size_t g = 0; g < groups.size(); ++g)
    for (size_t m : groups[g].members) rows[m].group = static_cast<int>(g + 1);
}

std::string crystalName(const CrystalRow& row) {
  return row.label.empty() ? std::to_string(row.number) : row.label;
}

std::string matchReport(const std::vector<CrystalRow>& rows,
                        const std::vector<CrystalGroup>& groups) {
  if (groups.empty()) return "group=none\n";
  std::string out;
  auto hz = [](double v) { return common::shortestText(std::round(v * 10) / 10); };
  for (size_t g = 0; g < groups.size(); ++g) {
    out += "group=" + std::to_string(g + 1) + " fs_spread_hz=" + hz(groups[g].fsSpreadHz) +
           " fs_spread_hz_pm=" + hz(groups[g].fsSpreadPmHz) + " members=";
    for (size_t k = 0; k < groups[g].members.size(); ++k)
      out += (k ? "," : "") + crystalName(rows[groups[g].members[k]]);
    out += "\n";
  }
  return out;
}

}  // namespace kolm::powermeter
