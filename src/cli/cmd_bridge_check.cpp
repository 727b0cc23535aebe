// bridge-check: the bridge's directivity and tracking measured with a 50 ohm
// load, an open and a short, one standard per call; once all three are in, the
// figures are kept in bridge.cfg and the analyzer's intervals use them.
#include <optional>
#include <ostream>

#include "analyzer/bridge_check.h"
#include "analyzer/calibration.h"
#include "analyzer/sweep.h"
#include "cli/cli.h"
#include "common/text.h"

namespace kolm::cli {

analyzer::BridgeFiguresInUse bridgeFiguresInUse(Context& ctx, bool calibration) {
  analyzer::BridgeFiguresInUse inUse = analyzer::bridgeFiguresIn(ctx.settings);
  if (!inUse.problem.empty()) *ctx.err << "kolm-cli: " << inUse.problem << "\n";
  if (calibration) {
    const analyzer::CalibrationInUse cal =
        analyzer::calibrationIn(ctx.settings, analyzer::instrumentSetup(ctx.instrument));
    if (!cal.problem.empty()) *ctx.err << "kolm-cli: " << cal.problem << "\n";
    inUse.figures.calibration = cal.calibration;
  }
  return inUse;
}

analyzer::BridgeFigures bridgeFigures(Context& ctx, bool calibration) {
  return bridgeFiguresInUse(ctx, calibration).figures;
}

namespace {

constexpr double kCheckStartMHz = 1, kCheckStopMHz = 60;
constexpr double kCheckSteps = 100;

int runBridgeCheck(Context& ctx, Args& args) {
  const auto with = args.option("--with");
  const auto start = args.number("--start");
  const auto stop = args.number("--stop");
  const auto points = args.wholeNumber("--points");
  const int average = args.averagePasses();
  args.finish();
  if (!with) throw UsageError{"bridge-check needs --with load, --with open or --with short"};
  const auto standard = analyzer::standardNamed(*with);
  if (!standard) throw UsageError{"--with: load, open or short"};
  checkOutput("bridge-check.cfg", analyzer::kBridgeCheckFile);
  checkOutput("bridge.cfg", analyzer::kBridgeFiguresFile);
  auto planned =
      analyzer::planSweep(start.value_or(kCheckStartMHz), stop.value_or(kCheckStopMHz),
                          points.value_or(kCheckSteps), ctx.instrument.params.refClockMHz);
  if (!planned.ok()) throw UsageError{planned.error};
  const analyzer::SweepPlan& plan = planned.plan;
  if (plan.start == 0 || plan.stop == 0)
    throw UsageError{"--start, --stop: at 0 MHz the generator gives no signal; check from above 0"};

  analyzer::Channels channels;
  if (!analyzerPass(ctx, plan, "bridge-check", channels, average)) return 0;
  // What earlier calls measured, read under the settings folder's lock: a
  // check run alongside adds its standard before or after this one.
  const common::SettingsFolder::Hold hold(ctx.settings);
  bool runUnreadable = false;
  analyzer::BridgeCheckRun run = analyzer::checkRunIn(ctx.settings, &runUnreadable);
  if (run.take(*standard, plan.start, plan.stop, plan.points,
               analyzer::standardReadings(channels, plan.points)))
    *ctx.out << "note=the standards measured over another sweep were dropped\n";
  *ctx.out << "measured=" << analyzer::standardName(*standard);
  std::string missing;
  for (int k = 0; k < analyzer::kStandards; ++k)
    if (!run.readings[static_cast<size_t>(k)])
      missing += std::string(missing.empty() ? "" : ",") +
                 analyzer::standardName(static_cast<analyzer::Standard>(k));
  if (!missing.empty()) *ctx.out << " still_to_measure=" << missing;
  *ctx.out << "\n";
  std::optional<analyzer::BridgeCheckResult> result;
  if (run.complete()) {
    result = analyzer::evaluateBridgeCheck(run);
    *ctx.out << analyzer::bridgeCheckReport(*result);
  }
  const analyzer::CheckKept kept =
      analyzer::keepCheck(ctx.settings, run, result ? &*result : nullptr, runUnreadable);
  if (!kept.message.empty()) *ctx.err << "kolm-cli: " << kept.message << "\n";
  if (!kept.ok) return kWriteError;
  if (!result) return 0;
  if (!kept.figuresStored) {
    // Kept, so that the standard at fault can be measured again alone.
    *ctx.out << "figures=not_stored\n";
    return kWriteError;
  }
  *ctx.out << "figures=stored file=" << analyzer::kBridgeFiguresFile << "\n";
  return 0;
}

int runBridgeForget(Context& ctx, Args& args) {
  args.finish();
  std::string why;
  if (!analyzer::forgetBridgeFigures(ctx.settings, &why)) {
    *ctx.err << "kolm-cli: " << why << "\n";
    return kWriteError;
  }
  *ctx.out << "figures=published\n";
  return 0;
}

}  // namespace

extern const Command kBridgeCheckCommand{
    "bridge-check",
    "bridge-check --with load|open|short [--start MHZ --stop MHZ --points N]\n"
    "        [--average N]\n"
    "    Measures one standard on the bridge over the sweep (default 1 to 60 MHz in\n"
    "    100 steps): a 50 ohm load, an open or a short, connected before the call\n"
    "    (on the simulator: --load r=50, --load open, --load short). What earlier\n"
    "    calls measured over the same sweep is kept in bridge-check.cfg; a call over\n"
    "    another sweep starts the check again. Prints measured=STANDARD and\n"
    "    still_to_measure=. Once all three are in: directivity_db_min= (the load's\n"
    "    return loss, the least across the sweep; directivity_db_min_kind=bound when\n"
    "    it read at the bottom of the bridge's range, so the bridge is at least that\n"
    "    good), directivity_db_median=, tracking_db_max= (how far the open and the\n"
    "    short put a total reflection from 0 dB, at most), the stated_ figures the\n"
    "    analyzer's intervals use from then on (each at the far end of what its\n"
    "    readings allow) and a warning= line for a figure worse than such a bridge\n"
    "    gives. The figures are kept in bridge.cfg and figures=stored is printed;\n"
    "    standards that do not read as what they were said to be (an open reading\n"
    "    like a short, the three disagreeing) give figures=not_stored and exit 1.",
    runBridgeCheck};

extern const Command kBridgeForgetCommand{
    "bridge-forget",
    "bridge-forget\n"
    "    Removes bridge.cfg (and a check under way): the analyzer's intervals use the\n"
    "    published figures of such a bridge again.",
    runBridgeForget, Command::Port::Never};

}  // namespace kolm::cli
