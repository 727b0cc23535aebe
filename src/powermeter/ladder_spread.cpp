#include "powermeter/ladder_spread.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace kolm::powermeter {

namespace {

// The crystals moved each on its own: this many draws (the same ones every
// time: the spread does not change from one run to the next).
constexpr int kDraws = 40;

// splitmix64, as a fraction from -1 to 1.
struct Draws {
  uint64_t state = 0x1ad;
  double next() {
    uint64_t z = (state += 0x9e3779b97f4a7c15ull);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    return 2 * static_cast<double>((z ^ (z >> 31)) >> 11) / 9007199254740992.0 - 1;
  }
};

// One set of crystals within their intervals: each value moved by its
// half-width times a fraction from -1 to 1.
struct Shift {
  std::vector<double> fs, r, l, c0;
};

LadderNetwork shifted(const LadderNetwork& net, std::span<const CrystalSpread> spreads,
                      const Shift& s) {
  LadderNetwork out = net;
  for (size_t i = 0; i < out.crystals.size(); ++i) {
    CrystalModel& m = out.crystals[i].model;
    const CrystalSpread& p = spreads[i];
    m.fsHz += s.fs[i] * p.fsHz;
    m.rOhm = std::max(0.0, m.rOhm + s.r[i] * p.rOhm);
    m.lHenry = std::max(m.lHenry * 1e-3, m.lHenry + s.l[i] * p.lHenry);
    m.c0Farad = std::max(0.0, m.c0Farad + s.c0[i] * p.c0Farad);
  }
  return out;
}

std::vector<Shift> shifts(size_t k) {
  std::vector<Shift> out;
  auto all = [k](double v) { return std::vector<double>(k, v); };
  // L, R and C0 each at either end of their intervals, all crystals alike.
  for (double l : {-1.0, 1.0})
    for (double r : {-1.0, 1.0})
      for (double c0 : {-1.0, 1.0}) out.push_back({all(0), all(r), all(l), all(c0)});
  Draws d;
  for (int t = 0; t < kDraws; ++t) {
    Shift s{all(0), all(0), all(0), all(0)};
    for (size_t i = 0; i < k; ++i) {
      s.fs[i] = d.next();
      s.r[i] = d.next();
      s.l[i] = d.next();
      s.c0[i] = d.next();
    }
    out.push_back(std::move(s));
  }
  return out;
}

}  // namespace

LadderSpread ladderSpread(const LadderNetwork& network, const LadderResponse& nominal, double bwHz,
                          std::span<const CrystalSpread> spreads,
                          const std::vector<double>& bandHz) {
  LadderSpread out;
  out.bandHz = bandHz;
  out.lowDb.assign(bandHz.size(), HUGE_VAL);
  out.highDb.assign(bandHz.size(), -HUGE_VAL);
  for (size_t j = 0; j < bandHz.size(); ++j)
    out.lowDb[j] = out.highDb[j] = ladderGainDb(network, bandHz[j]);
  if (!nominal.bw3Hz) return out;
  if (spreads.size() != network.crystals.size()) {
    // Not every crystal's interval is known: neither is the spread.
    out.centreHz = out.bw3Hz = out.rippleDb = out.ilDb = HUGE_VAL;
    return out;
  }
  double common = 0;
  for (const CrystalSpread& s : spreads) common = std::max(common, s.fsCommonHz);
  for (const Shift& s : shifts(spreads.size())) {
    const LadderNetwork net = shifted(network, spreads, s);
    const LadderResponse r = ladderResponse(net, nominal.centreHz, bwHz, 6);
    if (!r.bw3Hz) {
      // The filter no longer holds a -3 dB band: its width may be anything.
      out.bw3Hz = HUGE_VAL;
      continue;
    }
    out.bw3Hz = std::max(out.bw3Hz, std::fabs(*r.bw3Hz - *nominal.bw3Hz));
    out.centreHz = std::max(out.centreHz, std::fabs(r.centreHz - nominal.centreHz));
    out.rippleDb = std::max(out.rippleDb, std::fabs(r.rippleDb - nominal.rippleDb));
    out.ilDb = std::max(out.ilDb, std::fabs(r.ilDb - nominal.ilDb));
    for (size_t j = 0; j < bandHz.size(); ++j) {
      const double g = ladderGainDb(net, bandHz[j]);
      out.lowDb[j] = std::min(out.lowDb[j], g);
      out.highDb[j] = std::max(out.highDb[j], g);
    }
  }
  out.centreHz += common;
  return out;
}

}  // namespace kolm::powermeter
