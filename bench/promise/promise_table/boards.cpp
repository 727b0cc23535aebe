// The boards the promise table reads: every load swept on the simulated
// instrument and its values computed as the analyzer window and kolm-cli
// compute them, with the figures in use on each board and again corrected.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "analyzer/bridge_check.h"
#include "analyzer/calibration.h"
#include "analyzer/sweep.h"
#include "hw/dds.h"
#include "hw/instrument.h"
#include "promise.h"
#include "sim/simulated_instrument.h"

namespace kolm::promise {
namespace {

// Runs every load on `board`; `figures` read the readings.
Reading readBoard(sim::Board board, const std::string& mode, const analyzer::BridgeFigures& figures,
                  const std::vector<LoadCase>& cases, int points) {
  Reading r{std::string(sim::boardName(board)), mode, {}, 0};
  double seconds = 0;
  long computed = 0;
  for (const LoadCase& c : cases) {
    auto port = std::make_unique<sim::SimulatedInstrument>();
    sim::SimulatedInstrument* simulator = port.get();
    const std::string error =
        simulator->configure({"through", c.load, std::string(sim::boardName(board))});
    if (!error.empty()) {
      std::fprintf(stderr, "promise_table: %s: %s\n", c.load.c_str(), error.c_str());
      std::exit(2);
    }
    hw::Instrument instrument;
    instrument.setPort(std::move(port));
    instrument.setDelayer(std::make_unique<hw::NoDelayer>());
    instrument.params = {20, 20, 400, hw::kLpt1, "sim"};
    instrument.refreshReachable();
    const auto planned = analyzer::planSweep(kStartMHz, kStopMHz, points, 400);
    analyzer::Channels channels;
    analyzer::PassJob job(instrument, planned.plan, channels, true);
    job.runToEnd();
    Sweep s;
    s.load = &c;
    const auto begin = std::chrono::steady_clock::now();
    analyzer::computeTraceValues(channels, points, s.trace, figures);
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    computed += points + 1;
    std::optional<sim::Load> far;
    if (c.cable) {
      s.trace = analyzer::withoutCable(s.trace, *c.cable);
      far = sim::parseLoad(c.far).value;
    }
    s.model = far ? std::function<Complex(double)>([l = *far](double f) { return l.gamma(f); })
                  : [l = simulator->load()](double f) { return l.gamma(f); };
    for (int i = 0; i <= points; ++i) {
      const double f = channels.frequencies[i];
      s.truth.push_back(far ? far->gamma(f) : simulator->load().gamma(f));
    }
    r.sweeps.push_back(std::move(s));
  }
  r.secondsPerPoint = seconds / static_cast<double>(std::max(computed, 1L));
  return r;
}

}  // namespace

std::vector<Reading> readings(const std::vector<LoadCase>& cases, int points) {
  std::vector<Reading> out;
  for (sim::Board board : {sim::Board::Ideal, sim::Board::Typical, sim::Board::Harsh}) {
    analyzer::BridgeFigures figures = analyzer::publishedBridge();
    std::string mode = "published";
    if (board == sim::Board::Harsh) {
      // The harsh bridge is read with the figures its own check finds and its
      // phase ends stated.
      analyzer::BridgeCheckRun run;
      for (int k = 0; k < analyzer::kStandards; ++k) {
        const std::vector<LoadCase> standard{{"", k == 0 ? "r=50" : k == 1 ? "open" : "short"}};
        const Reading read = readBoard(board, "", figures, standard, 40);
        analyzer::StandardReadings m;
        // The check reads the rounded counts the pass stored.
        for (size_t i = 0; i < read.sweeps[0].trace.flags.size(); ++i) {
          m.returnLossCounts.push_back(read.sweeps[0].trace.returnLossCounts[i]);
          m.phaseCounts.push_back(read.sweeps[0].trace.phaseCounts[i]);
        }
        run.take(static_cast<analyzer::Standard>(k), kStartMHz, kStopMHz, 40, m);
      }
      figures = analyzer::evaluateBridgeCheck(run).figures;
      figures.phaseEndDeg = 25;
      mode = "own check";
    }
    out.push_back(readBoard(board, mode, figures, cases, points));
    // Calibrated over the same span in 200 steps, each standard as the
    // simulator presents it.
    analyzer::CalibrationRun run;
    const auto& standards = analyzer::calibrationStandards();
    for (size_t k = 0; k < standards.size(); ++k) {
      const std::vector<LoadCase> standard{{standards[k].name, standards[k].simLoad}};
      const Reading read = readBoard(board, "", figures, standard, kCalibrationSteps);
      analyzer::MeasuredStandard m;
      m.value = standards[k].nominal;
      m.readings.returnLossCounts = read.sweeps[0].trace.returnLossCounts;
      m.readings.phaseCounts = read.sweeps[0].trace.phaseCounts;
      run.take(k, kStartMHz, kStopMHz, kCalibrationSteps, m);
    }
    const analyzer::CalibrationResult solved =
        analyzer::solveCalibration(run, std::string(sim::boardName(board)), figures);
    if (!solved.calibration) {
      std::fprintf(stderr, "promise_table: %s: %s\n", std::string(sim::boardName(board)).c_str(),
                   solved.fault.c_str());
      continue;
    }
    figures.calibration = std::make_shared<const analyzer::BridgeCalibration>(*solved.calibration);
    out.push_back(readBoard(board, "corrected", figures, cases, points));
  }
  return out;
}

}  // namespace kolm::promise
