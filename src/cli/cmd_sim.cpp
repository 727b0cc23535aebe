// The first checks of a built (or simulated) instrument: one read-out of the level
// detector or of the bridge at a frequency.
#include <ostream>

#include "analyzer/validity.h"
#include "cli/cli.h"
#include "common/text.h"
#include "hw/dds.h"
#include "hw/readout.h"
#include "powermeter/level.h"

namespace kolm::cli {

namespace {

constexpr double kDefaultMHz = 10;
double frequencyOf(Args& args) {
  auto mhz = args.number("--freq");
  args.finish();
  return mhz.value_or(kDefaultMHz);
}

int runReadDetector(Context& ctx, Args& args) {
  double mhz = frequencyOf(args);
  tuneDds(ctx, mhz);
  ctx.instrument.settle(hw::kSettleUnits);
  int count = ctx.instrument.readDetector();
  switchOff(ctx, 1);
  // With the detector's default calibration (826 counts at 0 dBm, 235 at -60 dBm).
  const powermeter::Calibration calibration;
  const float dbm = powermeter::readingToDbm(count, calibration);
  const auto flag = powermeter::levelLimits(calibration).flag(dbm);
  *ctx.out << "count=" << count << " dbm=" << common::formatPattern(dbm, "0.00");
  if (flag != powermeter::LevelFlag::Valid) *ctx.out << " flag=" << powermeter::flagWord(flag);
  *ctx.out << "\n";
  return 0;
}

int runReadBridge(Context& ctx, Args& args) {
  double mhz = frequencyOf(args);
  // The output at 0 Hz is still: the bridge's read-out would look like a
  // matched load whatever is connected.
  if (mhz == 0)
    throw UsageError{
        "--freq: at 0 MHz the generator gives no signal, so the bridge cannot "
        "measure the load"};
  tuneDds(ctx, mhz);
  ctx.instrument.settle(hw::kSettleUnits);
  auto reading = ctx.instrument.readBridge();
  switchOff(ctx, 1);
  *ctx.out << "a=" << reading.a << " b=" << reading.b;
  const auto flag = analyzer::pointFlag(reading.a, reading.b);
  if (flag != analyzer::PointFlag::Valid) *ctx.out << " flag=" << analyzer::flagWord(flag);
  *ctx.out << "\n";
  return 0;
}

}  // namespace

extern const Command kReadDetectorCommand{
    "read-detector",
    "read-detector [--freq MHZ]\n"
    "    Reset the DDS, load the multiplier and the word for MHZ (default 10), wait\n"
    "    10 ms, read the level detector once, switch the output off; prints\n"
    "    count=N dbm=X (X with the default calibration: 826 is 0 dBm, 235 is -60 dBm),\n"
    "    followed by flag=floor or flag=overload when the detector cannot resolve it.",
    runReadDetector};

extern const Command kReadBridgeCommand{
    "read-bridge",
    "read-bridge [--freq MHZ]\n"
    "    The same with one read-out of the bridge; prints a=N b=M (channel A return\n"
    "    loss, channel B phase, 0 to 1023 each), followed by flag=WORD for a reading\n"
    "    at one of the bridge's limits (see analyze).",
    runReadBridge};

}  // namespace kolm::cli
