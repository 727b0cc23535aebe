// The hardware link's own cost: PortDelay accuracy and the CPU time of a
// frequency frame on a port that costs nothing.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "hw/dds.h"

namespace {

using kolm::hw::Instrument;

// A port whose accesses cost nothing (the compiler cannot drop them).
class FreePort : public kolm::hw::PortIo {
 public:
  void writeData(uint8_t value) override { benchmark::DoNotOptimize(last_ = value); }
  uint8_t readStatus() override { return last_; }
  std::string name() const override { return "free"; }
  bool addressed() const override { return false; }

 private:
  uint8_t last_ = 0;
};

// PortDelay of n units: reports how often it undershot n x 100 ns (must be 0)
// and the median overshoot in ns.
void BM_PortDelayAccuracy(benchmark::State& state) {
  const double units = static_cast<double>(state.range(0));
  kolm::hw::BusyWaitDelayer delayer;
  std::vector<double> overshoot;
  int undershoots = 0;
  for (auto _ : state) {
    auto a = std::chrono::steady_clock::now();
    delayer.wait(units, 10);
    auto ns =
        std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - a).count();
    if (ns < units * 100.0) ++undershoots;
    overshoot.push_back(ns - units * 100.0);
  }
  std::nth_element(overshoot.begin(), overshoot.begin() + overshoot.size() / 2, overshoot.end());
  state.counters["undershoots"] = undershoots;
  state.counters["median_overshoot_ns"] = overshoot[overshoot.size() / 2];
}
BENCHMARK(BM_PortDelayAccuracy)->Arg(1)->Arg(10)->Arg(100)->Arg(10000);

// One DdsSendWord (82 writes) with the delays skipped: the program's own cost.
void BM_DdsSendWordCpu(benchmark::State& state) {
  Instrument instrument(std::make_unique<FreePort>());
  instrument.setDelayer(std::make_unique<kolm::hw::NoDelayer>());
  uint32_t word = 75698799;
  for (auto _ : state) {
    kolm::hw::DdsSendWord(instrument, word);
    ++word;
  }
  state.counters["writes_per_frame"] = 82;
}
BENCHMARK(BM_DdsSendWordCpu);

// The same frame with its 84 real unit delays (about 8.4 us of waiting).
void BM_DdsSendWordWithDelays(benchmark::State& state) {
  Instrument instrument(std::make_unique<FreePort>());
  instrument.LoopFactor = 10;
  for (auto _ : state) kolm::hw::DdsSendWord(instrument, 75698799);
}
BENCHMARK(BM_DdsSendWordWithDelays);

}  // namespace

BENCHMARK_MAIN();
