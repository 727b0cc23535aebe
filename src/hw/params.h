// Hardware parameters: where the instrument is attached and how fast the DDS is
// clocked; kept in dds.cfg in the working directory.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kolm::hw {

inline constexpr int kLpt1 = 888;  // 0x378
inline constexpr int kLpt2 = 632;  // 0x278
inline constexpr int kLpt3 = 956;  // 0x3BC
inline constexpr double kMaxRefClkMHz = 501.0;

struct HardwareParams {
  int16_t refClockMultiplier = 0;
  double quartzMHz = 0;
  double refClockMHz = 0;
  int32_t portAddress = 0;
  // How the port is reached: "sim", "ppdev", "ppdev:/dev/parportN", "direct",
  // "direct:0xADDR" or "inpout32". Kept as a fifth record of dds.cfg, which the
  // four-record reader of older files never looks at.
  std::string portBackend = "sim";
};

bool isParallelPortAddress(int32_t address);

// DDS system clock for a multiplier and quartz: multiplied from 4 up,
// bypassed (the quartz itself) for 0 to 3.
double systemClockMHz(int multiplier, double quartzMHz);

// Reads the records of `file` into `params` in order; at the first failure (no
// file, too few fields, a non-numeric first field, a value out of 16-bit range)
// it stops and keeps what it had read. True when all four were read.
bool readHardwareConfig(HardwareParams& params, const std::filesystem::path& file = "dds.cfg");
bool parseHardwareConfig(HardwareParams& params, std::string_view content);

// Writes the four records (and the port back end as a fifth), atomically.
bool writeHardwareConfig(const HardwareParams& params,
                         const std::filesystem::path& file = "dds.cfg",
                         std::string* error = nullptr);
std::string hardwareConfigText(const HardwareParams& params);

// Why a set of parameters may not be stored, or nothing when it may.
// "Ref Frequency over the maximum!" for a clock above 501 MHz.
std::optional<std::string> validateParameters(const HardwareParams& params);

}  // namespace kolm::hw
