// Chart files at their largest (20001 points): the CPU time of writing a .pwm
// and a .vna into memory and of reading them back, and, apart, what a save to
// the disk adds: the atomic write as a whole and its fsync alone.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <random>
#include <string>

#include "analyzer/files.h"
#include "powermeter/chart_file.h"

namespace {

using namespace kolm;

constexpr int kPoints = 20000;  // 20001 values

// A power meter trace as a sweep leaves it: a response with noise, levels of
// seven significant digits.
powermeter::ChartFile pwmChart() {
  std::mt19937 rng(7);
  std::normal_distribution<float> noise(0, 0.3f);
  powermeter::ChartFile c;
  c.points = kPoints;
  c.start = 1;
  c.stop = 30;
  c.levels.resize(kPoints + 1);
  for (int i = 0; i <= kPoints; ++i)
    c.levels[i] = static_cast<float>(-40 + 25 * std::sin(i / 900.0)) + noise(rng);
  c.reference = -3.25f;
  return c;
}

// An analyzer chart: two channels of 10-bit readings.
analyzer::ChartData vnaChart() {
  std::mt19937 rng(9);
  analyzer::ChartData c;
  c.points = kPoints;
  c.start = 3;
  c.stop = 30;
  c.returnLossCounts.resize(kPoints + 1);
  c.phaseCounts.resize(kPoints + 1);
  for (int i = 0; i <= kPoints; ++i) {
    c.returnLossCounts[i] = static_cast<int16_t>(300 + 200 * std::sin(i / 700.0) + rng() % 5);
    c.phaseCounts[i] = static_cast<int16_t>(512 + 400 * std::cos(i / 1100.0) + rng() % 5);
  }
  return c;
}

void BM_PwmWrite(benchmark::State& state) {
  const auto chart = pwmChart();
  for (auto _ : state) benchmark::DoNotOptimize(powermeter::formatChartFile(chart));
}
BENCHMARK(BM_PwmWrite)->Unit(benchmark::kMillisecond);

void BM_PwmRead(benchmark::State& state) {
  const std::string text = powermeter::formatChartFile(pwmChart());
  for (auto _ : state) {
    auto r = powermeter::parseChartFile(text);
    if (!r.chart) state.SkipWithError("refused");
    benchmark::DoNotOptimize(r);
  }
  state.counters["bytes"] = static_cast<double>(text.size());
}
BENCHMARK(BM_PwmRead)->Unit(benchmark::kMillisecond);

void BM_VnaWrite(benchmark::State& state) {
  const auto chart = vnaChart();
  for (auto _ : state) benchmark::DoNotOptimize(analyzer::formatVna(chart));
}
BENCHMARK(BM_VnaWrite)->Unit(benchmark::kMillisecond);

void BM_VnaRead(benchmark::State& state) {
  const std::string text = analyzer::formatVna(vnaChart());
  for (auto _ : state) {
    auto r = analyzer::parseVna(text);
    if (!r.ok()) state.SkipWithError("refused");
    benchmark::DoNotOptimize(r);
  }
  state.counters["bytes"] = static_cast<double>(text.size());
}
BENCHMARK(BM_VnaRead)->Unit(benchmark::kMillisecond);

std::filesystem::path scratchFile(const char* name) {
  const auto dir = std::filesystem::temp_directory_path() / "kolm-files-bench";
  std::filesystem::create_directories(dir);
  return dir / name;
}

// A whole save as the window makes it (written, flushed to the disk, renamed
// into place): wall time, as the disk's time is not the program's CPU.
void BM_PwmSave(benchmark::State& state) {
  const auto chart = pwmChart();
  const auto path = scratchFile("bench.pwm");
  for (auto _ : state) {
    std::string error;
    if (!powermeter::writeChartFile(path, chart, &error)) state.SkipWithError(error.c_str());
  }
}
BENCHMARK(BM_PwmSave)->Unit(benchmark::kMillisecond)->UseRealTime();

// The fsync of a save alone: the same bytes written to a file, then flushed
// (only the flush is timed).
void BM_PwmFsync(benchmark::State& state) {
  const std::string text = powermeter::formatChartFile(pwmChart());
  const auto path = scratchFile("fsync.pwm");
  for (auto _ : state) {
    state.PauseTiming();
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || ::write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
      state.SkipWithError("cannot write the scratch file");
      if (fd >= 0) ::close(fd);
      break;
    }
    state.ResumeTiming();
    ::fsync(fd);
    state.PauseTiming();
    ::close(fd);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_PwmFsync)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
