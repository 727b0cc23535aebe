// CPU cost of the simulated instrument: one port access, and one full point of a
// sweep (a tuning word of 82 writes plus a read-out of 22 writes and 10 reads,
// 114 accesses) next to the ~114 us the same accesses cost on a real port at
// about 1 us each.
#include <benchmark/benchmark.h>

#include <memory>

#include "analyzer/calibration.h"
#include "analyzer/measurement.h"
#include "analyzer/sweep.h"
#include "common/pass_average.h"
#include "hw/dds.h"
#include "hw/instrument.h"
#include "hw/readout.h"
#include "sim/simulated_instrument.h"

namespace {

using kolm::hw::Instrument;
using kolm::sim::SimulatedInstrument;

constexpr double kRealPortPointUs = 114.0;

struct Rig {
  explicit Rig(const char* dut = "through", const char* load = "r=50") {
    auto port = std::make_unique<SimulatedInstrument>();
    sim = port.get();
    sim->configure({dut, load});
    instrument.setPort(std::move(port));
    instrument.setDelayer(std::make_unique<kolm::hw::NoDelayer>());
    instrument.params.refClockMultiplier = 20;
    instrument.params.refClockMHz = 400;
    kolm::hw::ddsReset(instrument);
    kolm::hw::ddsSetMultiplier(instrument);
  }
  Instrument instrument;
  SimulatedInstrument* sim;
};

// A data write through the port interface, cycling the bytes of a DDS bit and a
// converter clock so that every path of the decoder runs.
void BM_PortWrite(benchmark::State& state) {
  Rig rig;
  kolm::hw::PortIo* port = rig.sim;
  benchmark::DoNotOptimize(port);  // through the virtual call, as Instrument makes it
  const uint8_t bytes[] = {16, 18, 17, 19, 8, 0, 8, 24};
  size_t i = 0;
  for (auto _ : state) {
    port->writeData(bytes[i++ & 7]);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PortWrite);

void BM_PortRead(benchmark::State& state) {
  Rig rig;
  kolm::hw::PortIo* port = rig.sim;
  benchmark::DoNotOptimize(port);
  for (auto _ : state) benchmark::DoNotOptimize(port->readStatus());
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PortRead);

// One point: ddsSendWord then readDetector (detector) or readBridge (bridge), through the
// Instrument as the engines call it. The counter "real_port_ns" is what the same
// 114 accesses take on real hardware, for comparison with the time column.
template <bool bridge>
void pointLoop(benchmark::State& state, Rig& rig) {
  uint32_t word = static_cast<uint32_t>(kolm::hw::ddsTuningWord(10, 400));
  for (auto _ : state) {
    kolm::hw::ddsSendWord(rig.instrument, word);
    if constexpr (bridge)
      benchmark::DoNotOptimize(kolm::hw::readBridge(rig.instrument));
    else
      benchmark::DoNotOptimize(kolm::hw::readDetector(rig.instrument));
    word += 1000;
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["real_port_ns"] = kRealPortPointUs * 1000;
}

void BM_PointDetectorThrough(benchmark::State& state) {
  Rig rig;
  pointLoop<false>(state, rig);
}
BENCHMARK(BM_PointDetectorThrough);

void BM_PointDetectorCrystal(benchmark::State& state) {
  Rig rig("crystal:fs=10,r=20,c=20f,c0=5p,r0=50");
  pointLoop<false>(state, rig);
}
BENCHMARK(BM_PointDetectorCrystal);

void BM_PointBridgeRlc(benchmark::State& state) {
  Rig rig("through", "rlc:r=50,l=1u,c=253.3p");
  pointLoop<true>(state, rig);
}
BENCHMARK(BM_PointBridgeRlc);

void BM_PointDetectorNoisy(benchmark::State& state) {
  Rig rig("atten:30");
  kolm::sim::SimSettings s;
  s.detectorNoiseCounts = 2;
  rig.sim->setSettings(s);
  pointLoop<false>(state, rig);
}
BENCHMARK(BM_PointDetectorNoisy);

// A 20000-point pass of the power meter without delays: the simulator's share
// of the largest sweep.
void BM_Sweep20000(benchmark::State& state) {
  Rig rig("lowpass:fc=30,order=5");
  for (auto _ : state) {
    double w = kolm::hw::ddsTuningWord(1, 400), dw = 1000.0;
    for (int i = 0; i <= 20000; ++i) {
      kolm::hw::ddsSendWord(rig.instrument, static_cast<uint32_t>(w));
      benchmark::DoNotOptimize(kolm::hw::readDetector(rig.instrument));
      w += dw;
    }
  }
}
BENCHMARK(BM_Sweep20000)->Unit(benchmark::kMillisecond);

// The bridge calibrated on the simulator, each standard as it presents it.
std::shared_ptr<const kolm::analyzer::BridgeCalibration> calibration() {
  static const auto made = [] {
    kolm::analyzer::CalibrationRun run;
    const auto& standards = kolm::analyzer::calibrationStandards();
    for (size_t k = 0; k < standards.size(); ++k) {
      Rig rig("through", standards[k].simLoad);
      auto planned = kolm::analyzer::planSweep(1, 60, 200, 400);
      kolm::analyzer::Channels c;
      kolm::analyzer::PassJob job(rig.instrument, planned.plan, c, true);
      job.runToEnd();
      run.take(k, 1, 60, 200, {standards[k].nominal, 1, kolm::analyzer::standardReadings(c, 200)});
    }
    return std::make_shared<const kolm::analyzer::BridgeCalibration>(
        *kolm::analyzer::solveCalibration(run, "sim").calibration);
  }();
  return made;
}

// The analyzer's CPU time per point: a 2000-point pass of a series RLC on the
// simulator, then the trace's values computed once as a finished pass is
// (arg 0: the six values and flags alone, as before there were intervals;
// arg 1: with each value's interval, its marks and the reactance's sign, as
// pass after pass runs; arg 2: the same as the first pass of all, every
// reading's interval worked out anew, none kept from an earlier pass; args 3
// and 4: as 0 and 1 with the last 4 passes averaged, the values taken from
// their means; args 5 and 6: as 1 and 2, corrected with a calibration of the
// bridge). The counter "us_per_point" is the figure.
void BM_AnalyzerPassPerPoint(benchmark::State& state) {
  Rig rig("through", "rlc:r=30,l=1u,c=129.2p");
  auto planned = kolm::analyzer::planSweep(1, 30, 2000, 400);
  const int mode = static_cast<int>(state.range(0));
  kolm::analyzer::Channels c;
  kolm::analyzer::BridgeFigures figures;
  if (mode >= 5) figures.calibration = calibration();
  kolm::analyzer::TraceValues kept;  // pass after pass, corrected
  kolm::common::PassAverage passes(4);
  for (auto _ : state) {
    kolm::analyzer::PassJob job(rig.instrument, planned.plan, c, true);
    job.runToEnd();
    kolm::analyzer::TraceValues t;
    if (mode == 2 || mode == 6) figures.noiseSpread += 1e-6;  // figures not met before
    if (mode == 5) {
      kolm::analyzer::computeTraceValues(c, 2000, kept, figures);
    } else if (mode == 6) {
      kolm::analyzer::computeTraceValues(c, 2000, t, figures);
    } else if (mode >= 3) {
      kolm::analyzer::averageChannels(passes, c, 2000);
      kolm::analyzer::computeTraceValues(c, 2000, t, figures, mode == 4);
    } else if (mode != 0) {
      kolm::analyzer::computeTraceValues(c, 2000, t, figures);
    } else {
      for (int i = 0; i <= 2000; ++i) {
        const auto p = kolm::analyzer::evaluatePoint(c.returnLossCounts[i], c.phaseCounts[i]);
        for (int q = 0; q < kolm::analyzer::kQuantities; ++q)
          benchmark::DoNotOptimize(kolm::analyzer::shownValue(p, q));
      }
    }
    benchmark::DoNotOptimize(t);
  }
  state.counters["us_per_point"] = benchmark::Counter(
      2003.0 * 1e-6, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_AnalyzerPassPerPoint)->DenseRange(0, 6)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
