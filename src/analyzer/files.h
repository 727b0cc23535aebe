// The analyzer's files: the settings file ant.ini, the .vna chart file, and the
// exports of a sweep as CSV and as a Touchstone one-port file.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "analyzer/export_source.h"
#include "analyzer/measurement.h"
#include "common/settings_change.h"
#include "common/settings_file.h"
#include "common/typed_number.h"

namespace kolm::analyzer {

inline constexpr const char* kSettingsFile = "ant.ini";

// The sweep settings as ant.ini keeps them.
struct AntSettings {
  double start = kDefaultStartMHz;
  double stop = kDefaultStopMHz;
  int16_t points = kDefaultPoints;
};

// readAntIni: three quoted texts (start, stop, points) read with the numeric-value
// rule, points rounded halves to even. A file that is missing, short, or holds
// settings no sweep could use (points outside 1..20001, equal start and stop)
// gives the defaults 3, 30 and 500. A file that is there but cannot be read
// whole (one or two records, text after the third, a file that cannot be read
// at all) sets `problem` (the line and why).
AntSettings readAntIni(const std::filesystem::path& path, std::string* problem = nullptr);
AntSettings parseAntIni(std::string_view content, std::string* problem = nullptr);

// The boxes as ant.ini keeps them: start, stop, points, each its text as it
// stands with the number it reads as.
using AntIniBoxes = std::array<common::NumberText, 3>;
// saveAntIni: the three box texts, each quoted on its own CR LF line, written
// atomically, an ant.ini there that cannot be read whole kept aside by
// `keeper` first. False when the file cannot be written (no message: the
// window closes anyway).
bool saveAntIni(const AntIniBoxes& boxes, const std::filesystem::path& path,
                common::SettingsKeeper& keeper);
std::string antIniText(const AntIniBoxes& boxes);
// The boxes that show `settings`: each number in its shortest text.
AntIniBoxes antIniBoxes(const AntSettings& settings);

// ant.ini changed as every settings file is (common::changeSettings): the
// boxes that differ between `before` (as the window last read or wrote them)
// and `now` go into the file as it is then; the others keep what it holds.
common::SettingsChange changeAntIni(common::SettingsFolder& folder, const AntIniBoxes& before,
                                    const AntIniBoxes& now);

// The chart file dialogs' filters.
inline constexpr const char* kVnaFilter = "file vna(*.vna)|*.vna";
inline constexpr const char* kVecFilter = "file vec(*.vec)|*.vec";

// .vna chart file: 2N + 5 CR LF lines: N, start, stop, returnLossCounts[0..N],
// phaseCounts[0..N].
std::string formatVna(int16_t points, double start, double stop, const Channels& channels);
std::string formatVna(const ChartData& chart);

struct VnaReadResult {
  ChartData chart;
  std::string error;  // empty when the whole file was read
  bool ok() const { return error.empty(); }
};

// Reads a .vna text: fields end at a comma or a line end; numbers with "." and
// with or without a zero before the point. Refuses a file whose N lies outside
// 1..20001 (it would not fit the arrays), equal start and stop (no span to draw
// on), a missing value, a value that is not a finite number or a reading that
// does not fit 16 bits, and values after the last reading (a number of points
// that does not match the readings).
VnaReadResult parseVna(std::string_view content);
// The file at `path`, read whole; a file that cannot be opened gives an error.
VnaReadResult readVna(const std::filesystem::path& path);

// .vec binary file, little-endian, read only. With L its length in bytes and
// n = (L - 24) / 16 rounded halves to even: n + 1 magnitudes M (32-bit float),
// n + 1 phases P (32-bit float), n + 1 values of a third block (64-bit float,
// not used), then start and stop in MHz (32-bit float each).
// returnLossCounts[i] := 512 - (M[i] - 365), phaseCounts[i] := P[i], both rounded halves to
// even; then index 0 repeats index 1.
enum class VecFault {
  None,
  EqualSpan,  // start equals stop: "ERRORE!"
  Invalid,    // anything else: "ERRORE"
};

struct VecReadResult {
  ChartData chart;
  VecFault fault = VecFault::None;
  std::string reason;  // why the file was refused
  bool ok() const { return fault == VecFault::None; }
  // What the user is shown: "ERRORE!" or "ERRORE", the reason on a second line.
  std::string message() const;
};

// n for a file of `length` bytes (negative below 24 bytes).
int64_t vecPointCount(uint64_t length);

// Refuses, in this order: fewer than 24 bytes, a file that ends before its
// last block, equal start and stop (EqualSpan), a start or stop that is not a
// finite number, no frequency step (n = 0), more than 20001 steps, a magnitude
// or phase that is not a finite number or does not give a 16-bit reading.
// Bytes after the stop frequency are ignored.
VecReadResult parseVec(std::string_view bytes);
// The file at `path`; one too large for the arrays is refused unread.
VecReadResult readVec(const std::filesystem::path& path);

// Exports of one sweep (indices 0 to N, frequencies i x (stop - start) / N + start
// in double precision).
// The values of a sweep as the exports write them: at the frequencies
// i x (stop - start) / N + start in double precision, with the signs inferred
// along them.
TraceValues exportTrace(int16_t points, double start, double stop, const Channels& channels,
                        const BridgeFigures& figures = publishedBridge());
// CSV: comment lines led by "# " saying what the values stand for
// (sourceLines), a header row, then freq_mhz,rl_db,phase_deg,z_ohm,r_ohm,x_ohm,swr,
// rl_db_pm,phase_deg_pm,z_ohm_pm,r_ohm_pm,x_ohm_pm,swr_pm,flag per point.
// x_ohm carries the sign inferred along the sweep (analyzer/reactance_sign.h).
// The _pm columns hold each value's interval as a half-width in its unit
// (analyzer/uncertainty.h): empty for a value that is not a number and for an
// SWR unbounded above, inf for another unbounded one. The flag holds words
// separated by one blank: rl_limit, phase_limit, open or invalid
// (analyzer/validity.h), then "uncertain:" with the quantities whose interval
// is too wide (rl, phase, z, r, x, swr; "uncertain:r,z,swr"), then
// sign_unknown for a reactance whose sign could not be told (written
// positive); it is empty for a plain point, and in double quotes when it holds
// a comma. An open point writes inf for |Z|, R, X and
// SWR, an invalid one nan for the four.
std::string formatCsv(int16_t points, double start, double stop, const Channels& channels);
std::string formatCsv(const TraceValues& trace, const ExportSource& source = {});
// The flag words of point i of `trace` as the CSV writes them, separated by one
// blank: the point's flag, the quantities its intervals make uncertain, then
// sign_unknown when its reactance has a value but no known sign.
std::string flagWords(const TraceValues& trace, size_t i);
// Touchstone one-port: comment lines (what the file is, how the sign of the
// reactance was found, what the values stand for: sourceLines), a
// "! flagged (MHz): ..." line listing the flagged frequencies in runs of the
// same words ("3 to 4.5 rl_limit, 14.2 open") when there are any, a
// "! left out, sign unknown (MHz): ..." line listing the points whose
// reactance's sign could not be told, which are not written, and a
// "! written with X = 0, sign unknown (MHz): ..." line for those among them
// whose reactance may be zero (its interval holds zero, or the point is at the
// return-loss limit), written with X = 0, which lies inside their interval
// whatever the sign (with source.keepUnknownSigns both are written inductive
// and listed as flagged sign_unknown), the option line "# MHz S RI R 50", then "freq re im" per
// point in increasing frequency, the reflection coefficient rebuilt from the
// computed R and the signed X as (Z - 50) / (Z + 50). An open point gives 1 0;
// an invalid one (a reflection above 1) is written at a reflection of 1 in its
// direction when its `readings` are given, else at 1 0.
std::string formatTouchstone(int16_t points, double start, double stop, const Channels& channels);
std::string formatTouchstone(const TraceValues& trace, const Channels* readings,
                             const ExportSource& source = {});
// How many points formatTouchstone writes.
size_t touchstonePoints(const TraceValues& trace, const ExportSource& source);

}  // namespace kolm::analyzer
