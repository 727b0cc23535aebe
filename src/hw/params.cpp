#include "hw/params.h"

#include "common/files.h"
#include "common/records.h"
#include "common/text.h"

namespace kolm::hw {

using common::numericValue;

bool isParallelPortAddress(int32_t address) {
  return address == kLpt1 || address == kLpt2 || address == kLpt3;
}

double systemClockMHz(int multiplier, double quartzMHz) {
  return multiplier > 3 ? multiplier * quartzMHz : quartzMHz;
}

bool readHardwareConfig(HardwareParams& params, const std::filesystem::path& file) {
  auto content = common::readTextFile(file, common::kSettingsFileLimit);
  return content && parseHardwareConfig(params, *content);
}

bool parseHardwareConfig(HardwareParams& params, std::string_view content) {
  common::RecordReader reader(content);

  auto f1 = reader.next();
  const auto first = f1 ? common::fieldNumber(*f1) : std::nullopt;
  if (!first) return false;
  auto multiplier = common::toInt16(*first);
  if (!multiplier) return false;
  params.refClockMultiplier = *multiplier;

  auto f2 = reader.next();
  if (!f2) return false;
  params.quartzMHz = numericValue(*f2);

  auto f3 = reader.next();
  if (!f3) return false;
  params.refClockMHz = numericValue(*f3);

  auto f4 = reader.next();
  if (!f4) return false;
  auto base = common::toInt16(numericValue(*f4));
  if (!base) return false;
  params.portAddress = *base;

  if (auto f5 = reader.next(); f5 && !f5->empty()) params.portBackend = *f5;
  return true;
}

bool writeHardwareConfig(const HardwareParams& params, const std::filesystem::path& file,
                         std::string* error) {
  return common::writeFileAtomic(file, hardwareConfigText(params), error);
}

std::string hardwareConfigText(const HardwareParams& params) {
  common::RecordWriter w;
  w.quoted(common::shortestText(params.refClockMultiplier));
  w.quoted(common::shortestText(params.quartzMHz));
  w.quoted(common::shortestText(params.refClockMHz));
  w.quoted(common::shortestText(params.portAddress));
  w.quoted(params.portBackend);
  return w.text();
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
