// log: a sweep repeated on a schedule, each pass (or its reading at one
// frequency) appended with its time to a CSV or NDJSON log. Every line taken
// is on the disk before the next pass; a stop signal or a full disk ends the
// log with every line written before it whole.
#include <chrono>
#include <cmath>
#include <filesystem>
#include <ostream>
#include <thread>

#include "analyzer/files.h"
#include "analyzer/quantity_trace.h"
#include "analyzer/sweep.h"
#include "chart/trace_log.h"
#include "cli/cli.h"
#include "cli/level_pass.h"
#include "common/append_log.h"
#include "common/text.h"
#include "powermeter/level_trace.h"
#include "powermeter/sweep.h"

namespace kolm::cli {

namespace {

constexpr double kMostPasses = 1e9;

struct LogOptions {
  bool power = true;
  double start = 0, stop = 0, points = 0, delayMs = 0, every = 1;
  long passes = 0;
  int quantity = 0;
  int average = 1;
  std::optional<double> at;
  std::string out;
  chart::LogFormat format = chart::LogFormat::Csv;
};

LogOptions logOptions(Args& args) {
  LogOptions o;
  const auto start = args.number("--start"), stop = args.number("--stop");
  if (!start || !stop) throw UsageError{"log needs --start MHZ and --stop MHZ"};
  o.start = *start, o.stop = *stop;
  o.points = args.required("log", "--points", true);
  o.delayMs = args.number("--delay").value_or(0);
  o.every = args.number("--every").value_or(1);
  const auto hours = args.number("--for");
  const auto passes = args.wholeNumber("--passes");
  o.at = args.number("--at");
  const auto quantity = args.option("--quantity");
  const auto out = args.option("--out");
  o.average = args.averagePasses();
  const auto words = args.takePositional();
  args.finish();
  if (words.size() != 1 || (words[0] != "power" && words[0] != "analyze"))
    throw UsageError{"log needs the instrument: log power ... or log analyze ..."};
  o.power = words[0] == "power";
  if (!(o.every >= 0) || o.every > 86400)
    throw UsageError{"--every: 0 (one pass after the other) to 86400 seconds"};
  if (hours.has_value() == passes.has_value())
    throw UsageError{"log needs how long: --for HOURS or --passes N"};
  if (hours && !(*hours > 0)) throw UsageError{"--for: hours above 0"};
  if (hours && o.every == 0) throw UsageError{"--for needs --every above 0"};
  const double count = passes ? *passes : std::ceil(*hours * 3600 / o.every);
  if (!(count >= 1) || count > kMostPasses)
    throw UsageError{"log: 1 to 1000000000 passes, not " + common::shortestText(count)};
  o.passes = static_cast<long>(count);
  if (o.power && quantity && *quantity != "level")
    throw UsageError{"--quantity: the power meter logs its level"};
  if (!o.power) {
    const auto q = analyzer::quantityByName(quantity.value_or("swr"));
    if (!q) throw UsageError{"--quantity: rl, phase, z, r, x or swr, not '" + *quantity + "'"};
    o.quantity = *q;
    if (o.delayMs != 0) throw UsageError{"--delay: only log power waits per point"};
  }
  if (!out) throw UsageError{"log needs --out FILE.csv or FILE.ndjson"};
  o.out = *out;
  const std::string ext = common::asciiLower(std::filesystem::path(o.out).extension().string());
  if (ext != ".csv" && ext != ".ndjson")
    throw UsageError{"--out: the log's name must end in .csv or .ndjson"};
  o.format = ext == ".csv" ? chart::LogFormat::Csv : chart::LogFormat::Ndjson;
  return o;
}

// One pass of the instrument as a stored trace; empty when a signal stopped it.
class LogPass {
 public:
  LogPass(Context& ctx, const LogOptions& o) : ctx_(ctx), o_(o) {
    if (o.power) {
      calibration_ = readPowIniWhole(ctx).calibration;
      if (o.points < 1 || o.points > powermeter::kMaxPoints)
        throw UsageError{"--points: a whole number from 1 to 20000"};
      const auto p = powermeter::prepareSweep({o.start, o.stop, o.points, 20, -80},
                                              ctx.instrument.params.refClockMHz, calibration_);
      if (!p.plan) throw UsageError{p.error};
      return;
    }
    if (o.start == 0 || o.stop == 0)
      throw UsageError{"--start, --stop: at 0 MHz the bridge cannot measure; sweep from above 0"};
    auto planned =
        analyzer::planSweep(o.start, o.stop, o.points, ctx.instrument.params.refClockMHz);
    if (!planned.ok()) throw UsageError{planned.error};
    plan_ = planned.plan;
  }

  std::optional<chart::StoredTrace> measure() {
    if (o_.power) {
      const auto pass = runLevelPass(ctx_, "log", o_.start, o_.stop, o_.points, o_.delayMs,
                                     calibration_, o_.average);
      if (!pass) return std::nullopt;
      const size_t n = static_cast<size_t>(pass->plan.points) + 1;
      return powermeter::levelTrace("pass", std::span(pass->trace.data(), n),
                                    pass->plan.viewStartMHz, pass->plan.viewStopMHz,
                                    powermeter::levelLimits(calibration_));
    }
    analyzer::Channels channels;
    if (!analyzerPass(ctx_, plan_, "log", channels, o_.average)) return std::nullopt;
    if (!figures_) figures_ = bridgeFigures(ctx_);
    const analyzer::TraceValues values =
        analyzer::exportTrace(plan_.points, plan_.start, plan_.stop, channels, *figures_);
    return analyzer::quantityTrace("pass", values, o_.quantity);
  }

 private:
  Context& ctx_;
  const LogOptions& o_;
  powermeter::Calibration calibration_{};
  analyzer::SweepPlan plan_{};
  std::optional<analyzer::BridgeFigures> figures_;
};

int runLog(Context& ctx, Args& args) {
  const LogOptions o = logOptions(args);
  LogPass pass(ctx, o);
  std::string why;
  auto log = common::AppendLog::open(o.out, &why);
  if (!log) throw UsageError{"--out: " + why};
  if (log->cutBytes() > 0)
    *ctx.err << "kolm-cli: log: the last line of '" << o.out << "' was cut short ("
             << log->cutBytes() << " bytes); it was removed and the log goes on after it\n";
  ctx.openPort();
  std::string rows;
  long written = 0;
  auto said = [&](const char* how) {
    *ctx.out << "passes=" << written << " file=" << o.out << (how ? how : "") << "\n";
  };
  for (long k = 1; k <= o.passes; ++k) {
    const auto began = std::chrono::steady_clock::now();
    const auto when = std::chrono::system_clock::now();
    const auto trace = pass.measure();
    if (!trace) {
      said(" stopped=yes");
      return 0;  // the stop signal gives the exit status
    }
    rows.clear();
    if (k == 1 && log->fresh()) rows = chart::logHeader(*trace, o.format);
    chart::appendLogRows(rows, *trace, k, when, o.format, o.at);
    if (!log->append(rows, &why)) {
      *ctx.err << "kolm-cli: log: " << why << "; the log holds every pass before pass " << k
               << " whole\n";
      said(" full=yes");
      return kWriteError;
    }
    ++written;
    if (k == o.passes) break;
    // Until the next pass is due, looking for a stop signal every 20 ms.
    const auto due = began + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                 std::chrono::duration<double>(o.every));
    while (std::chrono::steady_clock::now() < due) {
      if (stopSignal()) {
        ctx.stopped = true;
        said(" stopped=yes");
        return 0;
      }
      std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
          due - std::chrono::steady_clock::now(), std::chrono::milliseconds(20)));
    }
  }
  said(nullptr);
  return 0;
}

}  // namespace

extern const Command kLogCommand{
    "log",
    "log power|analyze --start MHZ --stop MHZ --points N [--delay MS] [--average N]\n"
    "        [--every SECONDS] (--for HOURS | --passes N) [--at MHZ]\n"
    "        [--quantity rl|phase|z|r|x|swr] --out FILE.csv|FILE.ndjson\n"
    "    Logs the power meter's levels or one analyzer quantity (--quantity,\n"
    "    default swr) over time: a pass every SECONDS (default 1; 0: one after\n"
    "    the other) for HOURS, or N passes, each appended with its UTC time to\n"
    "    FILE: every point, or with --at the reading at MHZ (interpolated, its\n"
    "    interval widened by what a straight line may miss). CSV: a line\n"
    "    # quantity=NAME unit=UNIT, the header time_utc,pass,freq_mhz,value,pm,mark\n"
    "    and a row per point (pm the value's interval as a half-width, rounded\n"
    "    outward, empty for a bound, approximate, open or invalid value, which\n"
    "    mark names: at_least, at_most, approximate, open, invalid, uncertain);\n"
    "    NDJSON: one object per pass with the same keys (arrays for a whole pass).\n"
    "    A log that exists is continued (a last line cut short by a killed program\n"
    "    is removed first, said on standard error). Each pass is on the disk\n"
    "    before the next begins; a pass the disk cannot take whole is taken back\n"
    "    (exit 1, the log whole up to it). A stop signal ends the log with every\n"
    "    pass before it kept. Prints passes=N file=FILE at the end (stopped=yes,\n"
    "    full=yes).",
    runLog, Command::Port::WhenNeeded};

}  // namespace kolm::cli
