// kolm-cli log's memory over a day: one pass a second for 24 hours is 86400
// passes, run here back to back (--every 0) on the simulator, whose port
// costs no delay. The goal: the peak memory of the day's log is that of a
// short one (rss_growth_kb near 0), and its time per pass.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

struct Run {
  long maxRssKb = 0;
  double seconds = 0;
  int status = -1;
};

// kolm-cli log of `passes` passes in a folder of its own; its peak memory.
Run logRun(long passes) {
  const auto folder =
      std::filesystem::temp_directory_path() / ("kolm-log-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  // The simulated board's clock: 20 MHz x 20.
  std::ofstream(folder / "dds.cfg") << "20\n20\n400\n888\nsim\n";
  const std::string out = (folder / "day.ndjson").string();
  std::filesystem::remove(out);
  const std::string count = std::to_string(passes);
  const auto began = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    if (chdir(folder.c_str()) != 0) _exit(127);
    execl(KOLM_CLI_PATH, KOLM_CLI_PATH, "--backend", "sim", "log", "analyze", "--start", "7",
          "--stop", "7.2", "--points", "2", "--every", "0", "--passes", count.c_str(), "--at",
          "7.1", "--out", out.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  Run r;
  int status = 0;
  rusage usage{};
  if (pid > 0 && wait4(pid, &status, 0, &usage) == pid) {
    r.maxRssKb = usage.ru_maxrss;
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
  std::filesystem::remove_all(folder);
  return r;
}

void BM_LogDayMemory(benchmark::State& state) {
  const long day =
      std::getenv("KOLM_LOG_PASSES") ? std::atol(std::getenv("KOLM_LOG_PASSES")) : 86400;
  for (auto _ : state) {
    const Run shortRun = logRun(100), dayRun = logRun(day);
    if (shortRun.status != 0 || dayRun.status != 0) state.SkipWithError("kolm-cli log failed");
    state.counters["passes"] = static_cast<double>(day);
    state.counters["rss_short_kb"] = static_cast<double>(shortRun.maxRssKb);
    state.counters["rss_day_kb"] = static_cast<double>(dayRun.maxRssKb);
    state.counters["rss_growth_kb"] = static_cast<double>(dayRun.maxRssKb - shortRun.maxRssKb);
    state.counters["ms_per_pass"] = dayRun.seconds * 1e3 / static_cast<double>(day);
  }
}
BENCHMARK(BM_LogDayMemory)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
