// The crystal meter's promise over generated crystals: every value inside its
// interval (at least 98 % of them) on the ideal and typical boards, calibrated
// or not. KOLM_PROMISE_CRYSTALS=N measures N crystals per setup (24 unless
// set), KOLM_PROMISE_ONLY=TEXT only the setups whose name holds it;
// KOLM_PROMISE_TABLE=1 prints each setup's count of values inside.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/text.h"
#include "powermeter/crystal_batch.h"
#include "powermeter/crystal_promise.h"
#include "powermeter/ladder_spread.h"

using namespace kolm;
using namespace kolm::test;

TEST(CrystalPromise, EveryValueInsideItsInterval) {
  const char* count = std::getenv("KOLM_PROMISE_CRYSTALS");
  const auto crystals = generatedCrystals(count ? std::atoi(count) : 24, 40);
  using C = PromiseCalibration;
  using S = PromiseSpan;
  const PromiseSetup setups[] = {
      {sim::Board::Ideal, C::Level, S::Narrow},
      {sim::Board::Ideal, C::Default, S::Narrow},
      {sim::Board::Typical, C::Default, S::Narrow},
      {sim::Board::Typical, C::Level, S::Narrow},
      {sim::Board::Typical, C::Level, S::Wide},
      {sim::Board::Typical, C::Default, S::Wide},
      {sim::Board::Typical, C::Level, S::Narrow, 5},
      {sim::Board::Typical, C::Default, S::Narrow, 5},
      {sim::Board::Typical, C::Step, S::Narrow},
      {sim::Board::Typical, C::Level, S::Find},
      {sim::Board::Typical, C::Step, S::Find},
  };
  const char* only = std::getenv("KOLM_PROMISE_ONLY");
  const char* names[] = {"fs", "fp", "r", "l", "cs", "c0", "q"};
  for (const PromiseSetup& setup : setups) {
    if (only && setup.name().find(only) == std::string::npos) continue;
    SCOPED_TRACE(setup.name());
    const auto results = measureCrystals(setup, crystals);
    int given[7] = {}, inside[7] = {};
    std::string outside;  // each value outside its interval, with its crystal
    for (size_t n = 0; n < crystals.size(); ++n) {
      const powermeter::CrystalParameters& p = results[n];
      const GeneratedCrystal& c = crystals[n];
      const powermeter::CrystalModel truth = c.model();
      const std::optional<powermeter::Measured> got[] = {
          p.fsMHz, p.fpMHz, p.rOhm, p.lMilliHenry, p.csFemtoFarad, p.c0PicoFarad, p.q};
      const double want[] = {c.fsMHz,          truth.fpHz() / 1e6, c.rOhm,   truth.lHenry * 1e3,
                             c.csFarad * 1e15, c.c0Farad * 1e12,   truth.q()};
      for (size_t k = 0; p.ok() && k < 7; ++k) {
        if (!got[k]) continue;
        ++given[k];
        if (std::fabs(got[k]->value - want[k]) <= got[k]->pm) {
          ++inside[k];
        } else {
          outside += std::string(names[k]) + " " + common::shortestText(got[k]->value, 10) +
                     " +- " + common::shortestText(got[k]->pm, 3) + ", truth " +
                     common::shortestText(want[k], 10) + " (" + c.dut(50) + ")\n";
        }
      }
    }
    std::string line = setup.name() + ":";
    for (size_t k = 0; k < 7; ++k) {
      EXPECT_GE(inside[k], 0.98 * given[k]) << names[k] << " outside:\n" << outside;
      line += " " + std::string(names[k]) + " " + std::to_string(inside[k]) + "/" +
              std::to_string(given[k]);
    }
    if (std::getenv("KOLM_PROMISE_TABLE")) std::printf("%s\n", line.c_str());
  }
}

// A ladder filter designed from a batch's measured crystals, then built from
// the crystals as they are: its width lies within the prediction's spread,
// for batches of four crystals (matched within some tens of ppm) from 3 to
// 20 MHz, each measured from below Fs to beyond Fp on the typical board with
// a loss step.
TEST(CrystalPromise, TheBuiltLadderLiesWithinThePredictionsSpread) {
  const auto pool = generatedCrystals(20, 7);
  std::vector<GeneratedCrystal> crystals;
  for (size_t b = 0; b < pool.size(); ++b) {
    const double f0 = 3 + std::fmod(pool[b].fsMHz * 7.3, 17);
    for (int i = 0; i < 4; ++i) {
      const GeneratedCrystal& g = pool[(b + 5 * i + 1) % pool.size()];
      crystals.push_back({f0 * (1 + (g.fsMHz - 15) * 2e-6), 8 + std::fmod(g.rOhm, 20),
                          15e-15 * (1 + (g.csFarad - 17e-15) / 1e-12), g.c0Farad});
    }
  }
  const auto measured =
      measureCrystals({sim::Board::Typical, PromiseCalibration::Step, PromiseSpan::Wide}, crystals);
  const bool print = std::getenv("KOLM_PROMISE_TABLE") != nullptr;
  for (size_t b = 0; b < pool.size(); ++b) {
    SCOPED_TRACE(b);
    std::vector<powermeter::LadderCrystal> xs, truth;
    std::vector<powermeter::CrystalSpread> spreads;
    for (size_t i = 0; i < 4; ++i) {
      const powermeter::CrystalParameters& p = measured[4 * b + i];
      ASSERT_TRUE(p.ok()) << p.error;
      const powermeter::CrystalRow row = powermeter::crystalRow(1, "", p, {});
      xs.push_back({"X" + std::to_string(i), *powermeter::crystalModel(row)});
      truth.push_back({"X" + std::to_string(i), crystals[4 * b + i].model()});
      spreads.push_back(powermeter::crystalSpread(row));
    }
    const double bw = crystals[4 * b].fsMHz * 1e6 * 4e-4;
    const powermeter::LadderDesign d =
        powermeter::designLadder(xs, {4, bw, {powermeter::LadderShape::Cohn, 0}, std::nullopt});
    ASSERT_TRUE(d.ok()) << d.error;
    std::vector<powermeter::CrystalSpread> ordered;
    powermeter::LadderNetwork built = d.network;
    for (powermeter::LadderCrystal& x : built.crystals) {
      const size_t i = static_cast<size_t>(x.name[1] - '0');
      ordered.push_back(spreads[i]);
      x.model = truth[i].model;
    }
    const powermeter::LadderSpread spread =
        powermeter::ladderSpread(d.network, d.predicted, bw, ordered);
    const powermeter::LadderResponse r =
        powermeter::ladderResponse(built, d.predicted.centreHz, bw);
    ASSERT_TRUE(r.bw3Hz && d.predicted.bw3Hz);
    EXPECT_LE(std::fabs(*r.bw3Hz - *d.predicted.bw3Hz), spread.bw3Hz)
        << *r.bw3Hz << " built, " << *d.predicted.bw3Hz << " predicted";
    EXPECT_LE(std::fabs(r.ilDb - d.predicted.ilDb), spread.ilDb);
    EXPECT_LE(std::fabs(r.rippleDb - d.predicted.rippleDb), spread.rippleDb);
    EXPECT_LT(spread.bw3Hz, 0.5 * bw);  // a spread that says something
    if (print)
      std::printf("ladder %2zu: bw3 %7.1f Hz predicted, %7.1f built, +- %6.1f\n", b,
                  *d.predicted.bw3Hz, *r.bw3Hz, spread.bw3Hz);
  }
}
