#include "powermeter/crystal_limits.h"

#include <algorithm>

#include "common/text.h"
#include "common/tr.h"

namespace kolm::powermeter {

std::optional<CrystalLimits> parseCrystalLimits(std::string_view text, std::string* error) {
  CrystalLimits limits;
  auto fail = [&](std::string why) -> std::optional<CrystalLimits> {
    if (error) *error = std::move(why);
    return std::nullopt;
  };
  const struct {
    const char* key;
    std::optional<double> CrystalLimits::*member;
  } keys[] = {{"fs_min", &CrystalLimits::fsMinMHz},
              {"fs_max", &CrystalLimits::fsMaxMHz},
              {"r_max", &CrystalLimits::rMaxOhm},
              {"q_min", &CrystalLimits::qMin}};
  for (size_t at = 0; at <= text.size();) {
    const size_t comma = std::min(text.find(',', at), text.size());
    const std::string_view item = common::trimBlanks(text.substr(at, comma - at));
    at = comma + 1;
    const size_t eq = item.find('=');
    const std::string_view key = item.substr(0, std::min(eq, item.size()));
    const auto k =
        std::find_if(std::begin(keys), std::end(keys), [&](const auto& c) { return key == c.key; });
    if (eq == std::string_view::npos || k == std::end(keys))
      return fail(common::arg(KOLM_TR("kolm",
                                      "'%1' is not a limit: fs_min=MHZ, fs_max=MHZ, "
                                      "r_max=OHM or q_min=Q"),
                              {std::string(item)}));
    const auto value = common::argumentNumber(item.substr(eq + 1));
    if (!value)
      return fail(
          common::arg(KOLM_TR("kolm", "'%1' is not a number"), {std::string(item.substr(eq + 1))}));
    if (limits.*(k->member))
      return fail(common::arg(KOLM_TR("kolm", "%1 is given twice"), {k->key}));
    limits.*(k->member) = *value;
  }
  if (limits == CrystalLimits{}) return fail(KOLM_TR("kolm", "no limit is given"));
  if (limits.fsMinMHz && limits.fsMaxMHz && !(*limits.fsMinMHz < *limits.fsMaxMHz))
    return fail(KOLM_TR("kolm", "fs_min is not below fs_max: no crystal can meet both"));
  if (limits.rMaxOhm && !(*limits.rMaxOhm > 0))
    return fail(KOLM_TR("kolm", "r_max is not above 0 ohm: no crystal can meet it"));
  if (limits.qMin && !(*limits.qMin >= 0)) return fail(KOLM_TR("kolm", "q_min is below 0"));
  return limits;
}

CrystalVerdict judgeCrystal(const CrystalRow& row, const CrystalLimits& limits) {
  CrystalVerdict v;
  auto worse = [&](Verdict w, std::string why) {
    if (w == Verdict::Fail || v.verdict == Verdict::Pass) v.verdict = w;
    v.reasons.push_back(std::move(why));
  };
  // One limit: the interval [lo, hi] against a least or a most value.
  // `decimals`: what the value is written with when it carries no interval.
  auto judge = [&](const char* name, const std::optional<BatchValue>& value,
                   const std::optional<double>& limit, bool least, int decimals) {
    if (!limit) return;
    if (!value) {
      worse(Verdict::Indeterminate, common::arg(KOLM_TR("kolm", "%1 not measured"), {name}));
      return;
    }
    const double pm = value->pm.value_or(0);
    const double lo = value->value - pm, hi = value->value + pm;
    const std::string bound = common::shortestText(*limit, 10);
    // Written as the batch writes it: the interval rounded outward, never
    // narrower than the one judged.
    const DeservedText shown = deservedText(value->value, pm, decimals);
    const std::string read = shown.value + " \u00b1 " + shown.pm;
    const Verdict verdict = common::judgeInterval(lo, hi, *limit, least);
    if (verdict == Verdict::Fail)
      worse(Verdict::Fail, common::arg(least ? KOLM_TR("kolm", "%1 %2 below %3")
                                             : KOLM_TR("kolm", "%1 %2 above %3"),
                                       {name, read, bound}));
    else if (verdict == Verdict::Indeterminate)
      worse(Verdict::Indeterminate,
            common::arg(KOLM_TR("kolm", "%1 %2 straddles %3"), {name, read, bound}));
  };
  judge("fs", std::optional(row.fsMHz), limits.fsMinMHz, true, 6);
  judge("fs", std::optional(row.fsMHz), limits.fsMaxMHz, false, 6);
  judge("r", std::optional(row.rOhm), limits.rMaxOhm, false, 1);
  judge("q", row.q, limits.qMin, true, 0);
  return v;
}

}  // namespace kolm::powermeter
