// The power meter's own CPU cost per sweep point, on a port that costs nothing
// and with the delays skipped: everything but the hardware's time.
#include <benchmark/benchmark.h>

#include <memory>

#include "powermeter/sweep.h"

namespace {

using namespace kolm;

// A port whose accesses cost nothing (the compiler cannot drop them); the
// status follows the data so that the read-out sees changing bits.
class FreePort : public hw::PortIo {
 public:
  void writeData(uint8_t value) override { benchmark::DoNotOptimize(last_ = value); }
  uint8_t readStatus() override { return static_cast<uint8_t>(last_ * 37); }
  std::string name() const override { return "free"; }
  bool addressed() const override { return false; }

 private:
  uint8_t last_ = 0;
};

powermeter::SweepPlan bigPlan() {
  auto p = powermeter::prepareSweep({1, 30, 20000, 20, -80}, 400, {});
  return *p.plan;
}

// One step of a pass: word frame (82 writes), per-point delay, read-out (22
// writes, 10 reads) and the dBm conversion.
void BM_SweepPointCpu(benchmark::State& state) {
  hw::Instrument instrument(std::make_unique<FreePort>());
  instrument.setDelayer(std::make_unique<hw::NoDelayer>());
  std::vector<float> trace(powermeter::kTraceSize);
  const auto plan = bigPlan();
  double delay = 0;
  auto job = std::make_unique<powermeter::SweepJob>(
      instrument, plan, powermeter::Calibration{}, [&] { return delay; }, trace);
  for (auto _ : state) {
    if (job->done()) {
      state.PauseTiming();
      job = std::make_unique<powermeter::SweepJob>(
          instrument, plan, powermeter::Calibration{}, [&] { return delay; }, trace);
      state.ResumeTiming();
    }
    job->step();
  }
  benchmark::DoNotOptimize(trace.data());
  state.counters["writes_per_point"] = 104;
}
BENCHMARK(BM_SweepPointCpu);

// A whole pass of 1000 points, reset and settling included.
void BM_SweepPass1000(benchmark::State& state) {
  hw::Instrument instrument(std::make_unique<FreePort>());
  instrument.setDelayer(std::make_unique<hw::NoDelayer>());
  std::vector<float> trace(powermeter::kTraceSize);
  auto plan = powermeter::prepareSweep({3, 30, 1000, 20, -80}, 400, {}).plan.value();
  for (auto _ : state) {
    powermeter::SweepJob job(
        instrument, plan, {}, [] { return 0.0; }, trace);
    job.runToEnd();
  }
  benchmark::DoNotOptimize(trace.data());
  state.SetItemsProcessed(state.iterations() * 1001);
}
BENCHMARK(BM_SweepPass1000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
