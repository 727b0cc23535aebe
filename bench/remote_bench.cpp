// The remote-control server's goals, measured on loopback against a kolm-cli
// serve started here on the simulator: the *IDN? round trip, a 20001-point
// analyzer trace with intervals read as a binary block, the server's CPU cost
// per swept point against the same pass run in-process, and 8 clients asking
// mixed queries for KOLM_SOAK_SECONDS (default 10; the goal is 600): no reply
// lost or mixed up, the server's memory flat.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "analyzer/files.h"
#include "analyzer/measurement.h"
#include "analyzer/sweep.h"
#include "hw/instrument.h"
#include "sim/sim_port.h"

namespace {

// A kolm-cli serve in a folder of its own, on a free port.
class Server {
 public:
  Server() {
    folder_ = std::filesystem::temp_directory_path() / ("kolm-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder_);
    std::ofstream(folder_ / "dds.cfg") << "\"20\"\r\n\"20\"\r\n\"400\"\r\n\"888\"\r\n\"sim\"\r\n";
    int out[2];
    if (pipe(out) != 0) throw std::runtime_error("pipe");
    pid_ = fork();
    if (pid_ == 0) {
      dup2(out[1], 1);
      close(out[0]);
      if (chdir(folder_.c_str()) != 0) _exit(127);
      execl(KOLM_CLI_PATH, KOLM_CLI_PATH, "--load", "rlc:r=75,l=1u,c=125p", "serve", "--listen",
            "127.0.0.1:0", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(out[1]);
    std::string line;
    char c;
    while (read(out[0], &c, 1) == 1 && c != '\n') line += c;
    close(out[0]);
    port_ = std::stoi(line.substr(line.rfind(':') + 1));
  }
  ~Server() {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    std::filesystem::remove_all(folder_);
  }
  int port() const { return port_; }
  // The server's CPU time so far, in seconds.
  double cpuSeconds() const {
    std::ifstream stat("/proc/" + std::to_string(pid_) + "/stat");
    std::string field;
    for (int k = 1; k <= 13 && stat >> field;) ++k;
    unsigned long long user = 0, system = 0;
    stat >> user >> system;
    return static_cast<double>(user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
  }
  long residentKb() const {
    std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
    for (std::string line; std::getline(status, line);)
      if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return 0;
  }

 private:
  std::filesystem::path folder_;
  pid_t pid_ = 0;
  int port_ = 0;
};

Server& server() {
  static Server s;
  return s;
}

class Client {
 public:
  explicit Client(int port) {
    fd_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0)
      throw std::runtime_error("connect");
    int one = 1;
    setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  }
  ~Client() { close(fd_); }
  void write(const std::string& m) {
    const std::string line = m + "\n";
    for (size_t at = 0; at < line.size();) {
      const ssize_t n = ::write(fd_, line.data() + at, line.size() - at);
      if (n <= 0) throw std::runtime_error("write");
      at += static_cast<size_t>(n);
    }
  }
  std::string line() {
    for (;;) {
      const size_t end = buffer_.find('\n');
      if (end != std::string::npos) {
        std::string out = buffer_.substr(0, end);
        buffer_.erase(0, end + 1);
        return out;
      }
      fill();
    }
  }
  std::string query(const std::string& m) {
    write(m);
    return line();
  }
  // A definite length block's bytes.
  size_t block(const std::string& m) {
    write(m);
    while (buffer_.size() < 2) fill();
    const size_t digits = static_cast<size_t>(buffer_[1] - '0');
    while (buffer_.size() < 2 + digits) fill();
    const size_t length = std::stoul(buffer_.substr(2, digits));
    while (buffer_.size() < 2 + digits + length + 1) fill();
    buffer_.erase(0, 2 + digits + length + 1);
    return length;
  }

 private:
  void fill() {
    char chunk[1 << 16];
    const ssize_t n = read(fd_, chunk, sizeof chunk);
    if (n <= 0) throw std::runtime_error("the server closed the connection");
    buffer_.append(chunk, static_cast<size_t>(n));
  }
  int fd_ = -1;
  std::string buffer_;
};

void BM_IdnRoundTrip(benchmark::State& state) {
  Client c(server().port());
  for (auto _ : state) benchmark::DoNotOptimize(c.query("*IDN?"));
}
BENCHMARK(BM_IdnRoundTrip)->Repetitions(5)->ReportAggregatesOnly(true);

// After the sweep: the 20001 points' X with intervals and marks, and their frequencies.
void BM_BinaryTrace20001(benchmark::State& state) {
  Client c(server().port());
  c.query("INST ANAL;:FREQ:STAR 1 MHZ;STOP 60 MHZ;:SWE:POIN 20001;:INIT;*OPC?");
  c.write("FORM REAL,64");
  size_t bytes = 0;
  for (auto _ : state) bytes += c.block("CALC:DATA? X") + c.block("CALC:DATA:FREQ?");
  state.SetBytesProcessed(static_cast<int64_t>(bytes));
}
BENCHMARK(BM_BinaryTrace20001)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// CPU per point: the server sweeping (its process's time) and the same pass in-process.
void BM_SweepCpuPerPointServer(benchmark::State& state) {
  Client c(server().port());
  c.query("INST ANAL;:FREQ:STAR 1 MHZ;STOP 60 MHZ;:SWE:POIN 20001;:INIT;*OPC?");
  double cpu = 0;
  for (auto _ : state) {
    const double before = server().cpuSeconds();
    c.query("INIT;*OPC?");
    cpu += server().cpuSeconds() - before;
  }
  state.counters["cpu_ns_per_point"] =
      cpu * 1e9 / (20001.0 * static_cast<double>(state.iterations()));
}
BENCHMARK(BM_SweepCpuPerPointServer)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_SweepCpuPerPointInProcess(benchmark::State& state) {
  using namespace kolm;
  hw::Instrument instrument;
  instrument.params.refClockMHz = 400;
  instrument.params.refClockMultiplier = 20;
  instrument.params.quartzMHz = 20;
  instrument.params.portAddress = 888;
  instrument.setPort(sim::makeSimulatorPort({"through", "rlc:r=75,l=1u,c=125p"}).port);
  const auto plan = analyzer::planSweep(1, 60, 20000, 400).plan;
  analyzer::Channels channels;
  const auto start = std::clock();
  for (auto _ : state) {
    analyzer::PassJob job(instrument, plan, channels, true);
    job.runToEnd();
    benchmark::DoNotOptimize(analyzer::exportTrace(plan.points, plan.start, plan.stop, channels));
  }
  state.counters["cpu_ns_per_point"] = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC *
                                       1e9 / (20001.0 * static_cast<double>(state.iterations()));
}
BENCHMARK(BM_SweepCpuPerPointInProcess)->Unit(benchmark::kMillisecond)->Iterations(20);

// 8 clients, mixed queries, each checking every answer is its own.
void BM_EightClientsMixed(benchmark::State& state) {
  const char* env = std::getenv("KOLM_SOAK_SECONDS");
  const double seconds = env ? std::atof(env) : 10;
  for (auto _ : state) {
    std::atomic<long> replies{0}, wrong{0};
    Client(server().port()).query("INIT;*OPC?");  // a trace for CALC:DATA:FREQ?
    const long rssBefore = server().residentKb();
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    std::vector<std::thread> clients;
    for (int n = 0; n < 8; ++n)
      clients.emplace_back([&, n] {
        Client c(server().port());
        c.query("*ESE " + std::to_string(n) + ";*OPC?");
        const std::string expected =
            std::to_string(n) + ";" + c.query("SWE:POIN?") + ";0,\"No error\"";
        for (long k = 0; std::chrono::steady_clock::now() < end; ++k) {
          if (c.query("*ESE?;:SWE:POIN?;:SYST:ERR?") != expected) ++wrong;
          if (k % 50 == n) c.query(n % 2 ? "CALC:DATA:FREQ?" : "*IDN?");
          ++replies;
        }
      });
    for (auto& t : clients) t.join();
    state.counters["replies"] = static_cast<double>(replies);
    state.counters["wrong_replies"] = static_cast<double>(wrong);
    state.counters["rss_kb_before"] = static_cast<double>(rssBefore);
    state.counters["rss_kb_after"] = static_cast<double>(server().residentKb());
  }
}
BENCHMARK(BM_EightClientsMixed)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
