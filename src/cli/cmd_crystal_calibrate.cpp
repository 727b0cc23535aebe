// The crystal fixture's calibration without a display: its through path
// (Quartz.rif and R0) and the loss steps measured through it (Quartz.cfg).
#include <filesystem>
#include <ostream>

#include "cli/cli.h"
#include "common/files.h"
#include "common/settings_file.h"
#include "common/text.h"
#include "powermeter/fixture_steps.h"
#include "powermeter/reference.h"
#include "powermeter/settings.h"

namespace kolm::cli {

namespace {

// The fixture's record as kept, or a refusal naming what is wrong with it.
powermeter::FixtureRecord fixtureRecord(Context& ctx) {
  std::string error;
  const auto record =
      powermeter::readFixtureRecord(ctx.settings.file(powermeter::kFixtureRecordFile), &error);
  if (!record)
    throw UsageError{error + " (crystal-calibrate writes it again; remove it to start afresh)"};
  return *record;
}

// One table pass through whatever the fixture holds; empty when stopped.
std::optional<powermeter::ReferenceTable> tablePass(Context& ctx,
                                                    const powermeter::Calibration& calibration,
                                                    const char* command) {
  std::string error = powermeter::calibrationError(calibration);
  auto words =
      powermeter::tableWords(ctx.instrument.params.refClockMHz, powermeter::kRifEntries, &error);
  if (!words || !error.empty()) throw UsageError{error};
  ctx.openPort();  // only a pass measures
  powermeter::QuartzReferenceJob job(ctx.instrument, *words, calibration);
  const bool complete = runPass(ctx, job, command, powermeter::kRifEntries, [&job] {
    return static_cast<int>(job.progress() * powermeter::kRifEntries);
  });
  switchOff(ctx, 1);
  if (!complete) return std::nullopt;
  return job.table();
}

bool writeRecord(Context& ctx, const powermeter::FixtureRecord& record) {
  return writeResult(ctx, ctx.settings.file(powermeter::kFixtureRecordFile).string(),
                     powermeter::formatFixtureRecord(record));
}

// A loss step: the attenuator in the crystal's place, its table against the
// through path's.
int runLossStep(Context& ctx, double db, double pm, powermeter::FixtureRecord record) {
  const powermeter::PowIni ini = readPowIniWhole(ctx);
  const powermeter::ReferenceTable through = throughReference(ctx);
  checkOutput("Quartz.cfg", ctx.settings.file(powermeter::kFixtureRecordFile).string());
  const auto table = tablePass(ctx, ini.calibration, "crystal-calibrate");
  if (!table) {
    *ctx.err << "crystal-calibrate: stopped; Quartz.cfg not changed\n";
    return 0;
  }
  const std::string wrong =
      powermeter::keepStep(record, {db, pm, ini.calibration, *table}, through);
  if (!wrong.empty()) {
    *ctx.err << "kolm-cli: " << wrong << "\n";
    return kWriteError;
  }
  if (!writeRecord(ctx, record)) return kWriteError;
  *ctx.out << "file=" << powermeter::kFixtureRecordFile << " step_db=" << common::shortestText(db)
           << " step_pm_db=" << common::shortestText(pm) << " steps=" << record.steps.size()
           << "\n";
  return 0;
}

int runCrystalCalibrate(Context& ctx, Args& args) {
  const auto r0 = args.number("--r0");
  const auto stepDb = args.number("--step-db");
  const auto stepPm = args.number("--step-pm-db");
  const bool clear = args.flag("--clear-steps");
  args.finish();
  if (stepDb && (r0 || clear))
    throw UsageError{"--step-db measures a loss step alone, without --r0 or --clear-steps"};
  if (stepPm && !stepDb)
    throw UsageError{"--step-pm-db states the --step-db attenuator's tolerance"};
  powermeter::FixtureRecord record = fixtureRecord(ctx);
  if (stepDb)
    return runLossStep(ctx, *stepDb, stepPm.value_or(powermeter::kDefaultStepPmDb),
                       std::move(record));
  if (clear) {
    checkOutput("Quartz.cfg", ctx.settings.file(powermeter::kFixtureRecordFile).string());
    record.steps.clear();
    if (!writeRecord(ctx, record)) return kWriteError;
    *ctx.out << "file=" << powermeter::kFixtureRecordFile << " steps=0\n";
    return 0;
  }
  powermeter::PowIni ini = readPowIniWhole(ctx);
  if (r0) {
    ini.r0Ohm = static_cast<float>(*r0);
  }
  if (!(ini.r0Ohm > 0))
    throw UsageError{"pow.ini holds no R0: give the fixture's resistance with --r0 OHM"};
  const auto quartzFile = ctx.settings.file(powermeter::kQuartzRifFile);
  const auto settingsFile = ctx.settings.file(powermeter::kSettingsFile);
  checkOutput("Quartz.rif", quartzFile.string());
  // R0 goes into pow.ini after the pass: a pow.ini that cannot take it is said
  // before Quartz.rif is replaced.
  checkOutput("pow.ini", settingsFile.string());
  checkOutput("Quartz.cfg", ctx.settings.file(powermeter::kFixtureRecordFile).string());
  const auto table = tablePass(ctx, ini.calibration, "crystal-calibrate");
  if (!table) {
    *ctx.err << "crystal-calibrate: stopped; Quartz.rif and pow.ini not changed\n";
    return 0;
  }
  const std::string wrong = powermeter::throughTableProblem(
      *table, powermeter::levelLimits(ini.calibration), "The crystal fixture's through path");
  if (!wrong.empty()) {
    *ctx.err << "kolm-cli: " << wrong << " Quartz.rif and pow.ini were not changed.\n";
    return kWriteError;
  }
  std::string error;
  if (!powermeter::writeRif(*table, quartzFile, &error)) {
    *ctx.err << "kolm-cli: " << error << "\n";
    return kWriteError;
  }
  // The counts the table was read with, beside it, so that a later
  // calibration reads it right; the loss steps stay.
  record.through = ini.calibration;
  if (!writeRecord(ctx, record)) return kWriteError;
  // R0 where the window keeps it, the other settings as pow.ini holds them now.
  auto text = [](double v) { return common::shortestText(v, 7); };
  powermeter::PowIniChange change;
  if (r0) change.r0Ohm = ini.r0Ohm;
  if (const auto kept = powermeter::changePowIni(ctx.settings, change); !kept.written) {
    *ctx.err << "kolm-cli: " << kept.message() << " R0 is not kept\n";
    return kWriteError;
  }
  *ctx.out << "file=" << powermeter::kQuartzRifFile << " entries=" << powermeter::kRifEntries
           << " r0_ohm=" << text(ini.r0Ohm) << "\n";
  return 0;
}

}  // namespace

extern const Command kCrystalCalibrateCommand{
    "crystal-calibrate",
    "crystal-calibrate [--r0 OHM] | --step-db DB [--step-pm-db DB] | --clear-steps\n"
    "    The crystal fixture's through calibration, the crystal bypassed (on the\n"
    "    simulator: --dut through): 1601 levels from 0.1 to 160 MHz into Quartz.rif,\n"
    "    and R0 (the fixture's source plus load; default the one pow.ini keeps) into\n"
    "    pow.ini; the calibration counts it was read with go into Quartz.cfg. Prints\n"
    "    file=Quartz.rif entries=1601 r0_ohm=R0. A through path at the detector's\n"
    "    floor, overloading it, or flat (the detector not following the generator)\n"
    "    is refused: exit 1, nothing written.\n"
    "    --step-db DB measures a loss step instead: a known attenuator of DB (0.5 to\n"
    "    60 dB, stated within --step-pm-db, default 0.1 dB) in the crystal's place\n"
    "    (on the simulator: --dut atten:DB), its 1601 levels kept in Quartz.cfg\n"
    "    beside the other steps (one per loss). The crystal meter then reads losses\n"
    "    through the steps, and the detector's slope no longer counts in its\n"
    "    intervals, only the steps' tolerance. Prints file=Quartz.cfg\n"
    "    step_db=DB step_pm_db=PM steps=N; a reading no attenuator of DB can give\n"
    "    is refused (exit 1, nothing kept). --clear-steps forgets the steps (it\n"
    "    needs no port).",
    runCrystalCalibrate, Command::Port::WhenNeeded};

}  // namespace kolm::cli
