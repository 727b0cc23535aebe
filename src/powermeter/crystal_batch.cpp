#include "powermeter/crystal_batch.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "chart/edges.h"
#include "common/files.h"
#include "common/text.h"
#include "common/tr.h"

namespace kolm::powermeter {

namespace {

constexpr const char* kHeader = "number,label,fs_mhz,fp_mhz,r_ohm,l_mh,cs_ff,c0_pf,q,warnings";
constexpr int kColumns = 10;
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

CrystalRow crystalRow(int number, std::string label, const CrystalResult& r,
                      const CrystalSweep& sweep, std::vector<std::string> warnings) {
  CrystalRow row;
  row.number = number;
  row.label = std::move(label);
  row.fsMHz = common::decimalOfSingle(r.Fs);
  if (r.Fp) row.fpMHz = common::decimalOfSingle(*r.Fp);
  row.rOhm = r.R;
  // Q, L and Cs come from the -3 dB width: only when both walks ended inside.
  if (r.i1 > 0 && r.i2 < sweep.Points) {
    row.q = r.Q;
    row.lMilliHenry = r.L * 1e-3;
    row.csFemtoFarad = r.Cs * 1e9;
    if (row.fpMHz && *row.fpMHz > row.fsMHz) {
      const double ratio = *row.fpMHz / row.fsMHz;
      row.c0PicoFarad = *row.csFemtoFarad * 1e-3 / (ratio * ratio - 1);
    }
  }
  row.warnings = std::move(warnings);
  return row;
}

std::string crystalLines(const CrystalRow& row) {
  using chart::reportLine;
  std::string out = reportLine("fs_mhz", row.fsMHz, 6) + reportLine("fp_mhz", row.fpMHz, 6) +
                    reportLine("r_ohm", row.rOhm, 1) + reportLine("l_mh", row.lMilliHenry, 3) +
                    reportLine("cs_ff", row.csFemtoFarad, 2) +
                    reportLine("c0_pf", row.c0PicoFarad, 2) + reportLine("q", row.q, 0);
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
  std::string out = std::string(kHeader) + "\r\n";
  for (const CrystalRow& row : rows) {
    std::string warnings;
    for (const std::string& w : row.warnings)
      warnings += (warnings.empty() ? "" : std::string(kWarningSeparator)) + w;
    out += std::to_string(row.number) + "," + csvQuoted(row.label) + "," + number(row.fsMHz) + "," +
           number(row.fpMHz) + "," + number(row.rOhm) + "," + number(row.lMilliHenry) + "," +
           number(row.csFemtoFarad) + "," + number(row.c0PicoFarad) + "," + number(row.q) + "," +
           csvQuoted(warnings) + "\r\n";
  }
  return out;
}

BatchRead parseBatchCsv(std::string_view content) {
  BatchRead read;
  size_t lineNumber = 0;
  auto refuse = [&](const std::string& why) {
    read.rows.clear();
    read.error = common::arg(KOLM_TR("kolm", "Line %1: %2"), {std::to_string(lineNumber), why});
    return read;
  };
  for (size_t pos = 0; pos < content.size();) {
    size_t end = content.find('\n', pos);
    if (end == std::string_view::npos) end = content.size();
    std::string_view line = content.substr(pos, end - pos);
    pos = end + 1;
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (lineNumber == 1) {
      if (line != kHeader)
        return refuse(KOLM_TR("kolm", "this is not a crystal batch (its header is missing)."));
      continue;
    }
    if (line.empty()) continue;
    const auto fields = csvFields(line);
    if (!fields || fields->size() != kColumns)
      return refuse(KOLM_TR("kolm", "a crystal has 10 fields."));
    auto value = [&](size_t k) -> std::optional<double> {
      return common::argumentNumber((*fields)[k]);
    };
    auto optional = [&](size_t k, std::optional<double>& out) {
      if ((*fields)[k].empty()) return true;
      out = value(k);
      return out.has_value();
    };
    CrystalRow row;
    const auto n = value(0);
    const auto fs = value(2);
    const auto r = value(4);
    if (!n || *n != std::floor(*n) || *n < 1 || *n > 1e6 || !fs || !r)
      return refuse(KOLM_TR("kolm", "the number, Fs and R must be numbers."));
    row.number = static_cast<int>(*n);
    row.label = (*fields)[1];
    row.fsMHz = *fs;
    row.rOhm = *r;
    if (!optional(3, row.fpMHz) || !optional(5, row.lMilliHenry) ||
        !optional(6, row.csFemtoFarad) || !optional(7, row.c0PicoFarad) || !optional(8, row.q))
      return refuse(KOLM_TR("kolm", "Fp, L, Cs, C0 and Q are numbers or empty."));
    const std::string& warnings = (*fields)[9];
    for (size_t at = 0; !warnings.empty();) {
      const size_t next = warnings.find(kWarningSeparator, at);
      row.warnings.push_back(warnings.substr(at, next - at));
      if (next == std::string::npos) break;
      at = next + kWarningSeparator.size();
    }
    read.rows.push_back(std::move(row));
  }
  if (lineNumber == 0) return refuse(KOLM_TR("kolm", "the file is empty."));
  return read;
}

BatchRead readBatchCsv(const std::filesystem::path& path) {
  const common::FileRead file = common::readFile(path, common::kTableFileLimit);
  if (file.fault == common::ReadFault::Missing) return {};
  if (!file.content) return {{}, file.error};
  BatchRead read = parseBatchCsv(*file.content);
  if (!read.ok()) read.error = path.string() + ": " + read.error;
  return read;
}

std::vector<CrystalGroup> matchCrystals(const std::vector<CrystalRow>& rows, int size,
                                        double toleranceHz, std::optional<double> rTolerancePct) {
  std::vector<CrystalGroup> groups;
  if (size < 2 || rows.size() < static_cast<size_t>(size)) return groups;
  const double rFactor = rTolerancePct ? 1 + *rTolerancePct / 100 : 0;
  // The crystals that may match, by rising Fs.
  std::vector<size_t> free;
  for (size_t i = 0; i < rows.size(); ++i)
    if (rows[i].rOhm > 0 && std::isfinite(rows[i].fsMHz)) free.push_back(i);
  std::sort(free.begin(), free.end(), [&](size_t a, size_t b) {
    return rows[a].fsMHz < rows[b].fsMHz || (rows[a].fsMHz == rows[b].fsMHz && a < b);
  });
  const auto fsHz = [&](size_t i) { return rows[i].fsMHz * 1e6; };

  for (;;) {
    std::optional<CrystalGroup> best;
    // Each crystal as the lowest Fs of a group; with an R tolerance, each
    // crystal of its Fs window as the group's lowest R.
    for (size_t a = 0; a < free.size(); ++a) {
      size_t end = a;
      while (end < free.size() && fsHz(free[end]) - fsHz(free[a]) <= toleranceHz) ++end;
      if (end - a < static_cast<size_t>(size)) continue;
      std::vector<double> floors;
      if (rTolerancePct)
        for (size_t k = a; k < end; ++k) floors.push_back(rows[free[k]].rOhm);
      else
        floors.push_back(0);
      for (double rLow : floors) {
        const double rHigh =
            rTolerancePct ? rLow * rFactor : std::numeric_limits<double>::infinity();
        const double rA = rows[free[a]].rOhm;
        if (rA < rLow || rA > rHigh) continue;
        CrystalGroup g;
        for (size_t k = a; k < end && g.members.size() < static_cast<size_t>(size); ++k) {
          const double r = rows[free[k]].rOhm;
          if (r >= rLow && r <= rHigh) g.members.push_back(free[k]);
        }
        if (g.members.size() < static_cast<size_t>(size)) continue;
        g.fsSpreadHz = fsHz(g.members.back()) - fsHz(g.members.front());
        double lo = rows[g.members[0]].rOhm, hi = lo;
        for (size_t m : g.members) {
          lo = std::min(lo, rows[m].rOhm);
          hi = std::max(hi, rows[m].rOhm);
        }
        g.rSpreadPct = (hi / lo - 1) * 100;
        // Spreads that differ by rounding alone count as equal.
        constexpr double kSameHz = 1e-6;
        if (!best || g.fsSpreadHz < best->fsSpreadHz - kSameHz ||
            (g.fsSpreadHz <= best->fsSpreadHz + kSameHz && g.rSpreadPct < best->rSpreadPct))
          best = std::move(g);
      }
    }
    if (!best) break;
    for (size_t m : best->members) free.erase(std::find(free.begin(), free.end(), m));
    groups.push_back(std::move(*best));
  }
  return groups;
}

std::string crystalName(const CrystalRow& row) {
  return row.label.empty() ? std::to_string(row.number) : row.label;
}

std::string matchReport(const std::vector<CrystalRow>& rows,
                        const std::vector<CrystalGroup>& groups) {
  if (groups.empty()) return "group=none\n";
  std::string out;
  for (size_t g = 0; g < groups.size(); ++g) {
    out += "group=" + std::to_string(g + 1) +
           " fs_spread_hz=" + common::shortestText(std::round(groups[g].fsSpreadHz * 10) / 10) +
           " members=";
    for (size_t k = 0; k < groups[g].members.size(); ++k)
      out += (k ? "," : "") + crystalName(rows[groups[g].members[k]]);
    out += "\n";
  }
  return out;
}

}  // namespace kolm::powermeter
