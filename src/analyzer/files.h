// The analyzer's files: the settings file ant.ini, the .vna chart file, and the
// exports of a sweep as CSV and as a Touchstone one-port file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "analyzer/measurement.h"

namespace kolm::analyzer {

inline constexpr const char* kSettingsFile = "ant.ini";

// The sweep settings as ant.ini keeps them.
struct AntSettings {
  double start = kDefaultStartMHz;
  double stop = kDefaultStopMHz;
  int16_t points = kDefaultPoints;
};

// ReadVar: three quoted texts (start, stop, points) read with the numeric-value
// rule, points rounded halves to even. A file that is missing, short, or holds
// settings no sweep could use (points outside 1..20001, equal start and stop)
// gives the defaults 3, 30 and 500.
AntSettings ReadVar(const std::filesystem::path& path = kSettingsFile);

// SaveVar: the three box texts as they stand, each quoted on its own CR LF line,
// written atomically. False when the file cannot be written (no message: the
// window closes anyway).
bool SaveVar(std::string_view text1, std::string_view text2, std::string_view text3,
             const std::filesystem::path& path = kSettingsFile);

// A chart as the .vna file holds it: N, start and stop in MHz, and both channels
// for indices 0 to N (index N + 1 and the frequencies are not stored).
struct VnaChart {
  int16_t points = 0;
  double start = 0;
  double stop = 0;
  std::vector<int16_t> canaleA;  // N + 1 entries
  std::vector<int16_t> canaleB;  // N + 1 entries
};

// 2N + 5 CR LF lines: N, start, stop, CanaleA[0..N], CanaleB[0..N].
std::string formatVna(int16_t points, double start, double stop, const Channels& channels);

struct VnaReadResult {
  VnaChart chart;
  std::string error;  // empty when the whole file was read
  bool ok() const { return error.empty(); }
};

// Reads a .vna text: fields end at a comma or a line end; numbers with "." and
// with or without a zero before the point. Refuses a file whose N lies outside
// 1..20001 (it would not fit the arrays), a missing value, a value that is not a
// number or a reading that does not fit 16 bits.
VnaReadResult parseVna(std::string_view content);

// Frequenze[i] := i x (stop - start) / N + start for i = 0 to N, single precision.
void rebuildFrequencies(std::vector<float>& frequenze, int points, double start, double stop);

// Exports of one sweep (indices 0 to N, frequencies i x (stop - start) / N + start
// in double precision).
// CSV: a header row, then freq_mhz,rl_db,phase_deg,z_ohm,r_ohm,x_ohm,swr per point;
// a point with no finite impedance gives inf for z_ohm and r_ohm and nan for x_ohm.
std::string formatCsv(int16_t points, double start, double stop, const Channels& channels);
// Touchstone one-port: option line "# MHz S RI R 50", then "freq re im" per point
// in increasing frequency, the reflection coefficient rebuilt from the computed R
// and X as (Z - 50) / (Z + 50); an open circuit (no finite impedance) gives 1 0.
std::string formatTouchstone(int16_t points, double start, double stop, const Channels& channels);

}  // namespace kolm::analyzer
