// Hardware parameters: where the instrument is attached and how fast the DDS is
// clocked; kept in dds.cfg in the settings folder.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "common/settings_file.h"

namespace kolm::hw {

inline constexpr int kLpt1 = 888;  // 0x378
inline constexpr int kLpt2 = 632;  // 0x278
inline constexpr int kLpt3 = 956;  // 0x3BC
inline constexpr double kMaxRefClkMHz = 501.0;
// A clock oscillator's usual tolerance over temperature and age, ppm.
inline constexpr double kDefaultClockTolerancePpm = 50;
// The most a clock may be stated or measured off by, ppm.
inline constexpr double kMaxClockPpm = 10000;

struct HardwareParams {
  int16_t refClockMultiplier = 0;
  double quartzMHz = 0;
  double refClockMHz = 0;
  int32_t portAddress = 0;
  // How the port is reached: "sim", "ppdev", "ppdev:/dev/parportN", "direct",
  // "direct:0xADDR" or "inpout32". Kept as a fifth record of dds.cfg, which the
  // four-record reader of older files never looks at; a file of four records
  // (an existing installation's) means the real port at the address
  // (portAtAddress). Without dds.cfg the simulator stands in until Parameters.
  std::string portBackend = "sim";
  // How far the DDS clock may lie from refClockMHz (after clockOffsetPpm), in
  // ppm: stated (a clock oscillator's usual figure over temperature and age
  // unless the user states the board's own), or the uncertainty of a
  // measured offset. Kept as a sixth record of dds.cfg.
  double clockTolerancePpm = kDefaultClockTolerancePpm;
  // How far the clock runs fast (negative: slow), in ppm, as measured against
  // a counter or a known crystal; 0 until measured. A seventh record.
  double clockOffsetPpm = 0;
};

bool isParallelPortAddress(int32_t address);

// DDS system clock for a multiplier and quartz: multiplied from 4 up,
// bypassed (the quartz itself) for 0 to 3.
double systemClockMHz(int multiplier, double quartzMHz);

// The hardware configuration's name in the settings folder.
inline constexpr const char* kHardwareConfigFile = "dds.cfg";

// Reads dds.cfg whole or not at all: `params` change only when all four records
// read (fields end at commas and line ends; a byte-order mark and CR CR LF read
// as the writer meant them): the multiplier a whole number in 16 bits, the
// quartz and the clock numbers, the port address a number that rounds into 16
// bits; a fifth record, when there, names the port back end, and without one
// the real port at the address is meant (portAtAddress); a sixth and a
// seventh, when there, the clock's tolerance (0 to 10000 ppm) and its measured
// offset (within 10000 ppm), the stated defaults without. Otherwise `params`
// keep what they held and `problem` (when given) says why, with the line; a
// missing file sets none. True when read.
bool readHardwareConfig(HardwareParams& params, const std::filesystem::path& file,
                        std::string* problem = nullptr);
bool parseHardwareConfig(HardwareParams& params, std::string_view content,
                         std::string* problem = nullptr);

// What is wrong with the clock a dds.cfg gives, or nothing: above what the DDS
// takes (501 MHz) or no finite number, or (with the multiplier at 4 or more)
// not the multiplier times the quartz. Such a clock would tune every frequency
// wrong; the Parameters window shows it, the command line refuses it.
std::optional<std::string> clockProblem(const HardwareParams& params);

// Writes the four records (and the port back end, the clock's tolerance and
// its offset as a fifth to seventh, which readers of four records never look
// at), atomically; a file there that cannot be read whole is kept aside by
// `keeper` first.
bool writeHardwareConfig(const HardwareParams& params, const std::filesystem::path& file,
                         common::SettingsKeeper& keeper, std::string* error = nullptr);
std::string hardwareConfigText(const HardwareParams& params);

// Why a clock tolerance or offset (ppm) cannot be taken; empty when it can.
std::string clockPpmProblem(double tolerancePpm, double offsetPpm = 0);

// Why a set of parameters may not be stored, or nothing when it may.
// "Ref Frequency over the maximum!" for a clock above 501 MHz.
std::optional<std::string> validateParameters(const HardwareParams& params);

}  // namespace kolm::hw
