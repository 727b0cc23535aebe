#include "hw/params.h"

#include <algorithm>
#include <cmath>

#include "common/files.h"
#include "common/records.h"
#include "common/settings_file.h"
#include "common/text.h"
#include "hw/port_factory.h"

namespace kolm::hw {

using common::numericValue;

bool isParallelPortAddress(int32_t address) {
  return address == kLpt1 || address == kLpt2 || address == kLpt3;
}

double systemClockMHz(int multiplier, double quartzMHz) {
  return multiplier > 3 ? multiplier * quartzMHz : quartzMHz;
}

bool readHardwareConfig(HardwareParams& params, const std::filesystem::path& file,
                        std::string* problem) {
  const common::SettingsRead read = common::readSettingsFile(file, common::kSettingsFileLimit);
  // Whole or not at all: a file cut short, even after four good records, is not used.
  if (!read.content || !read.problem.empty()) {
    if (problem) *problem = read.problem;
    return false;
  }
  return parseHardwareConfig(params, *read.content, problem);
}

bool parseHardwareConfig(HardwareParams& params, std::string_view content, std::string* problem) {
  common::RecordReader reader(content);
  HardwareParams read = params;
  auto fail = [&](std::string why) {
    if (problem) *problem = common::lineProblem(std::max(reader.line(), 1), why);
    return false;
  };
  auto quoted = [](std::string_view field) { return "'" + common::shortened(field) + "'"; };
  // A number at the start of the field (the numeric-value rule gives 0 for none).
  auto number = [](std::string_view field) -> std::optional<double> {
    if (auto exact = common::fieldNumber(field)) return exact;
    const double v = numericValue(field);
    return v != 0 ? std::optional<double>(v) : std::nullopt;
  };
  const char* const names[] = {"the multiplier", "the quartz frequency", "the clock",
                               "the port address"};
  std::optional<std::string_view> fields[4];
  for (int k = 0; k < 4; ++k) {
    fields[k] = reader.nextView();
    if (!fields[k]) return fail(std::string(names[k]) + " is missing");
    const auto value = k == 0 ? common::fieldNumber(*fields[k]) : number(*fields[k]);
    if (!value) return fail(quoted(*fields[k]) + " is not a number (" + names[k] + ")");
    const auto whole = common::toInt16(*value);
    if (k == 0) {
      if (!whole || *whole != *value)
        return fail(quoted(*fields[k]) + " is not a whole multiplier");
      read.refClockMultiplier = *whole;
    } else if (k == 1) {
      read.quartzMHz = *value;
    } else if (k == 2) {
      read.refClockMHz = *value;
    } else {
      if (!whole) return fail(quoted(*fields[k]) + " is not a port address");
      read.portAddress = *whole;
    }
  }
  // Four records are the file as every installation before the port choice
  // wrote it: the instrument on the port at that address, never the simulator.
  if (auto f5 = reader.next(); f5 && !f5->empty())
    read.portBackend = *f5;
  else
    read.portBackend = portAtAddress(read.portAddress);
  // The clock's tolerance and offset, when kept.
  read.clockTolerancePpm = kDefaultClockTolerancePpm;
  read.clockOffsetPpm = 0;
  const char* const ppmNames[] = {"the clock's tolerance", "the clock's offset"};
  for (int k = 0; k < 2; ++k) {
    const auto field = reader.nextView();
    if (!field || field->empty()) break;
    const auto value = common::fieldNumber(*field);
    if (!value) return fail(quoted(*field) + " is not a number (" + ppmNames[k] + ")");
    (k == 0 ? read.clockTolerancePpm : read.clockOffsetPpm) = *value;
  }
  if (const std::string why = clockPpmProblem(read.clockTolerancePpm, read.clockOffsetPpm);
      !why.empty())
    return fail(why);
  params = read;
  return true;
}

std::optional<std::string> clockProblem(const HardwareParams& p) {
  // A clock of 0 stands for no parameters at all (as a missing file): its own
  // message asks for them.
  if (p.refClockMHz == 0) return std::nullopt;
  const std::string clock = common::shortestText(p.refClockMHz);
  if (!std::isfinite(p.refClockMHz) || p.refClockMHz > kMaxRefClkMHz)
    return "The DDS clock of " + clock + " MHz in dds.cfg is above the " +
           common::shortestText(kMaxRefClkMHz) + " MHz the DDS takes.";
  const double product = p.refClockMultiplier * p.quartzMHz;
  if (p.refClockMultiplier > 3 &&
      !(std::abs(p.refClockMHz - product) <= 1e-9 * std::max(1.0, std::abs(product))))
    return "The DDS clock of " + clock +
           " MHz in dds.cfg is not the multiplier times the quartz (" +
           std::to_string(p.refClockMultiplier) + " x " + common::shortestText(p.quartzMHz) +
           " MHz = " + common::shortestText(product) + " MHz).";
  return std::nullopt;
}

bool writeHardwareConfig(const HardwareParams& params, const std::filesystem::path& file,
                         common::SettingsKeeper& keeper, std::string* error) {
  // The user's file that could not be read whole is kept aside first.
  std::string problem;
  HardwareParams ignored;
  readHardwareConfig(ignored, file, &problem);
  if (const auto kept = keeper.keep(file, problem); !kept.mayWrite) {
    if (error) *error = kept.message;
    return false;
  }
  return common::writeFileAtomic(file, hardwareConfigText(params), error);
}

std::string hardwareConfigText(const HardwareParams& params) {
  common::RecordWriter w;
  w.quoted(common::shortestText(params.refClockMultiplier));
  w.quoted(common::shortestText(params.quartzMHz));
  w.quoted(common::shortestText(params.refClockMHz));
  w.quoted(common::shortestText(params.portAddress));
  w.quoted(params.portBackend);
  w.quoted(common::shortestText(params.clockTolerancePpm));
  w.quoted(common::shortestText(params.clockOffsetPpm));
  return w.text();
}

std::string clockPpmProblem(double tolerancePpm, double offsetPpm) {
  if (!(tolerancePpm >= 0 && tolerancePpm <= kMaxClockPpm))
    return "The clock's tolerance is 0 to " + common::shortestText(kMaxClockPpm) + " ppm.";
  if (!(std::abs(offsetPpm) <= kMaxClockPpm))
    return "The clock's offset is within " + common::shortestText(kMaxClockPpm) + " ppm.";
  return {};
}

std::optional<std::string> validateParameters(const HardwareParams& params) {
  if (params.refClockMHz > kMaxRefClkMHz) return std::string("Ref Frequency over the maximum!");
  if (params.quartzMHz <= 0 || params.refClockMHz <= 0)
    return std::string(
        "The quartz frequency must be a number above 0 MHz: with a clock of 0 no "
        "frequency can reach the DDS.");
  return std::nullopt;
}

}  // namespace kolm::hw
