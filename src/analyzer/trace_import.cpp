#include "analyzer/trace_import.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "analyzer/charts.h"
#include "analyzer/quantity_trace.h"
#include "analyzer/validity.h"
#include "common/records.h"
#include "common/reflection.h"
#include "common/text.h"
#include "common/words.h"

namespace kolm::analyzer {

namespace {
constexpr std::array<const char*, kQuantities> kColumns{"rl_db", "phase_deg", "z_ohm",
                                                        "r_ohm", "x_ohm",     "swr"};

// A number of the CSV: what fieldNumber reads, or inf, -inf, nan.
std::optional<double> csvNumber(const std::string& text) {
  if (text == "inf") return HUGE_VAL;
  if (text == "-inf") return -HUGE_VAL;
  if (text == "nan") return NAN;
  return common::fieldNumber(text);
}

struct FlagWords {
  PointFlag flag = PointFlag::Valid;
  bool uncertain = false;
  bool signUnknown = false;
};

std::optional<FlagWords> readFlags(std::string_view words, int q) {
  FlagWords out;
  for (const std::string_view w : common::blankSeparatedWords(words)) {
    // What the calibration did to a point says nothing its interval does not.
    bool known = w == "sign_unknown" || w == "uncorrected" || w == "interpolated";
    out.signUnknown = out.signUnknown || known;
    for (PointFlag f :
         {PointFlag::RlLimit, PointFlag::PhaseLimit, PointFlag::Open, PointFlag::Invalid})
      if (w == flagWord(f)) out.flag = f, known = true;
    if (w.starts_with("uncertain:")) {
      known = true;
      for (std::string_view names = w.substr(10); !names.empty();) {
        const size_t comma = std::min(names.find(','), names.size());
        out.uncertain = out.uncertain || quantityByName(names.substr(0, comma)) == q;
        names.remove_prefix(std::min(comma + 1, names.size()));
      }
    }
    if (!known) return std::nullopt;
  }
  return out;
}
}  // namespace

namespace {

TraceImport csvQuantity(const common::CsvTable& table, std::string name, int q) {
  const std::string column = kColumns[static_cast<size_t>(q)];
  const auto f = table.column("freq_mhz"), v = table.column(column),
             pm = table.column(column + "_pm"), flags = table.column("flag");
  if (!f || !v || !pm || !flags)
    return {std::nullopt, "the header lacks freq_mhz, " + column + ", " + column + "_pm or flag"};
  if (table.rows.empty()) return {std::nullopt, "no points"};
  chart::StoredTrace s{std::move(name), std::string(quantityName(q)), kQuantityUnits[q]};
  s.marks.assign(table.rows.size(), chart::Mark::Valid);
  for (size_t i = 0; i < table.rows.size(); ++i) {
    const std::vector<std::string>& row = table.rows[i];
    const std::string where = "line " + std::to_string(table.rowLines[i]) + ": ";
    const auto x = csvNumber(row[*f]), value = csvNumber(row[*v]);
    const auto half = row[*pm].empty() ? std::optional(HUGE_VAL) : csvNumber(row[*pm]);
    const auto words = readFlags(row[*flags], q);
    if (!x || !value || !half || !words || !(*half >= 0))
      return {std::nullopt, where + "a field is not a number, or the flag not one Kolm writes"};
    if (!std::isfinite(*x) || (!s.x.empty() && !(*x > s.x.back())))
      return {std::nullopt, where + "the frequencies do not rise"};
    chart::Mark m = quantityMark(words->flag, q);
    if (m == chart::Mark::Valid && words->uncertain) m = chart::Mark::Uncertain;
    if (m == chart::Mark::Valid && q == kReactance && words->signUnknown)
      m = chart::Mark::Approximate;
    double low = *value - *half, high = *value + *half;
    if (q == kSwr && row[*pm].empty()) low = 1;
    if (!std::isfinite(*value)) {
      low = -HUGE_VAL, high = HUGE_VAL;
      if (m != chart::Mark::Open) m = chart::Mark::Invalid;
    }
    s.x.push_back(*x);
    s.value.push_back(std::isfinite(*value) ? *value : NAN);
    s.low.push_back(low);
    s.high.push_back(high);
    s.marks[i] = m;
  }
  if (std::ranges::all_of(s.marks, [](chart::Mark m) { return m == chart::Mark::Valid; }))
    s.marks.clear();
  if (std::string why = chart::traceProblem(s); !why.empty()) return {std::nullopt, why};
  return {std::move(s), {}};
}

}  // namespace

TraceImport quantityTraceFromCsv(std::string name, std::string_view text, int q) {
  const common::CsvTable table = common::readCsvTable(text);
  if (!table.error.empty()) return {std::nullopt, table.error};
  TraceImport read = csvQuantity(table, name, q);
  if (!read.trace) return read;
  // The reflections from the return loss and phase, the sign where the
  // reactance is a plain number; none when a column is not there.
  const TraceImport rl = csvQuantity(table, name, kReturnLoss),
                    phase = csvQuantity(table, name, kPhase),
                    x = csvQuantity(table, name, kReactance);
  if (!rl.trace || !phase.trace || !x.trace) return read;
  auto point = [](const chart::StoredTrace& t, size_t i) {
    return chart::TracePoint{t.value[i], t.low[i], t.high[i], t.markAt(i)};
  };
  chart::StoredTrace& s = *read.trace;
  s.reflection.resize(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    const chart::TracePoint r = point(*x.trace, i);
    const ReactanceSign sign = !chart::numeric(r.mark) || r.value == 0 ? ReactanceSign::Unknown
                               : r.value > 0                           ? ReactanceSign::Inductive
                                                                       : ReactanceSign::Capacitive;
    s.reflection[i] = reflectionOf(point(*rl.trace, i), point(*phase.trace, i), sign);
  }
  return read;
}

chart::StoredTrace reflectionTrace(std::string name, std::span<const double> frequencyMHz,
                                   std::span<const std::complex<double>> gamma, int q) {
  chart::StoredTrace s{std::move(name), std::string(quantityName(q)), kQuantityUnits[q]};
  const size_t n = std::min(frequencyMHz.size(), gamma.size());
  s.x.assign(frequencyMHz.begin(), frequencyMHz.begin() + static_cast<long>(n));
  s.low.assign(n, -HUGE_VAL);
  s.high.assign(n, HUGE_VAL);
  s.marks.assign(n, chart::Mark::Approximate);
  for (size_t i = 0; i < n; ++i) {
    // A written reflection of 1 may come back a few digits above it.
    std::complex<double> g = gamma[i];
    double rho = std::abs(g);
    if (rho > 1 && rho <= 1 + 1e-6) g /= rho, rho = 1;
    const std::complex<double> z = common::impedanceOf(g);
    const double values[kQuantities] = {common::returnLossDb(rho),
                                        std::fabs(std::arg(g)) * 180 / std::numbers::pi,
                                        std::abs(z),
                                        z.real(),
                                        z.imag(),
                                        common::swrOf(g)};
    double v = values[q];
    // The reflection itself, as approximate as the values made of it.
    s.reflection.push_back({g, HUGE_VAL, chart::Mark::Approximate});
    if (rho > 1 || !std::isfinite(rho)) {
      v = NAN;
      s.marks[i] = chart::Mark::Invalid;
      s.reflection.back() = {{}, HUGE_VAL, chart::Mark::Invalid};
    } else if (!std::isfinite(v)) {
      v = NAN;
      s.marks[i] = chart::Mark::Open;
    }
    s.value.push_back(v);
  }
  return s;
}

}  // namespace kolm::analyzer
