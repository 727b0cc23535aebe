// calibrate: the power meter's two-point calibration without a display, one
// step per call, checked as the window checks it, kept in pow.ini; and the
// previous calibration brought back.
#include <ostream>

#include "cli/cli.h"
#include "common/text.h"
#include "powermeter/calibration.h"
#include "powermeter/settings.h"

namespace kolm::cli {

namespace {

const powermeter::CalibrationCommands kCommands{"kolm-cli calibrate --level 0",
                                                "kolm-cli calibrate --level -60",
                                                "kolm-cli calibrate --default"};

void printCalibration(Context& ctx, const powermeter::Calibration& c) {
  *ctx.out << "cal0=" << c.Cal0 << " cal60=" << c.Cal60
           << " calibration=" << (c.isDefault() ? "default" : "stored") << "\n";
}

// pow.ini's calibration as `change` makes it from the one pow.ini holds when
// it is stored, the calibration it replaces kept for --previous.
int store(Context& ctx, const powermeter::CalibrationChange& change) {
  powermeter::Calibration now;
  const common::SettingsChange stored = powermeter::storeCalibration(ctx.settings, change, &now);
  if (!stored.written) {
    if (!stored.message().empty()) *ctx.err << "kolm-cli: " << stored.message() << "\n";
    return kWriteError;
  }
  printCalibration(ctx, now);
  return 0;
}

int runCalibrate(Context& ctx, Args& args) {
  const auto level = args.number("--level");
  const auto freq = args.number("--freq");
  const bool previous = args.flag("--previous");
  const bool defaults = args.flag("--default");
  args.finish();
  if ((level ? 1 : 0) + previous + defaults != 1)
    throw UsageError{"calibrate needs one of --level 0, --level -60, --previous, --default"};
  if (freq && !level) throw UsageError{"--freq: the frequency of a --level step"};
  if (level && *level != 0 && *level != -60) throw UsageError{"--level: 0 or -60 (dBm)"};
  const auto previousFile = ctx.settings.file(powermeter::kPreviousCalibrationFile);
  checkOutput("pow.ini", ctx.settings.file(powermeter::kSettingsFile).string());
  checkOutput(powermeter::kPreviousCalibrationFile, previousFile.string());
  readPowIniWhole(ctx);  // a damaged pow.ini is refused before anything is measured

  if (previous) {
    std::string error;
    const auto restored = powermeter::bringBackPreviousCalibration(ctx.settings, &error);
    if (!restored) {
      *ctx.err << "kolm-cli: " << error << "\n";
      return kWriteError;
    }
    printCalibration(ctx, *restored);  // the one it replaced is the previous one now
    return 0;
  }
  if (defaults)
    return store(ctx, [](const powermeter::Calibration&) { return powermeter::Calibration{}; });

  const auto point = *level == 0 ? powermeter::CalPoint::ZeroDbm : powermeter::CalPoint::Minus60Dbm;
  const double mhz = freq.value_or(powermeter::kCalibrationMHz);
  const std::string wrong =
      powermeter::calibrationFrequencyProblem(mhz, ctx.instrument.params.refClockMHz);
  if (!wrong.empty()) throw UsageError{"--freq: " + wrong};
  ctx.openPort();  // only a step at a level measures
  tuneDds(ctx, mhz);
  ctx.instrument.settle(hw::kSettleUnits);
  const int count = powermeter::readCalibrationCount(ctx.instrument);
  switchOff(ctx, 1);
  *ctx.out << "count=" << count << " level_dbm=" << (*level == 0 ? "0" : "-60")
           << " freq_mhz=" << common::shortestText(mhz, 9) << "\n";
  // Checked against the other point's count as pow.ini holds it when stored.
  std::string problem;
  const int status = store(ctx, [&](const powermeter::Calibration& now) {
    std::optional<powermeter::Calibration> after;
    problem = powermeter::calibrationCountProblem(point, count, now, mhz, kCommands);
    if (!problem.empty()) return after;
    after = now;
    (point == powermeter::CalPoint::ZeroDbm ? after->Cal0 : after->Cal60) =
        static_cast<int16_t>(count);
    return after;
  });
  if (!problem.empty()) *ctx.err << "kolm-cli: " << problem << "\n";
  return status;
}

}  // namespace

extern const Command kCalibrateCommand{
    "calibrate",
    "calibrate --level 0|-60 [--freq MHZ] | --previous | --default\n"
    "    One step of the power meter's calibration, kept in pow.ini: the generator\n"
    "    set to MHZ (default 10), the detector read five times 2 ms apart, the\n"
    "    generator switched off; apply 0 dBm (output straight to the detector\n"
    "    input; on the simulator --dut through) or -60 dBm (through 60 dB, --dut\n"
    "    atten:60) before the call. Prints count=N level_dbm=L freq_mhz=F, then\n"
    "    cal0=N cal60=M calibration=stored|default. A count at the converter's\n"
    "    floor or top, or one whose slope with the other point's count lies outside\n"
    "    what the detector can give (7.9 to 11.8 counts per dB), is refused: the\n"
    "    reason on standard error, exit 1, pow.ini unchanged. The calibration a step\n"
    "    replaces is kept in pow-previous.ini; --previous brings it back (and keeps\n"
    "    the one it replaces there), --default sets the default counts 826 and 235.\n"
    "    Only --level opens the port.",
    runCalibrate, Command::Port::WhenNeeded};

}  // namespace kolm::cli
