// A session: one file that keeps a whole setup of an instrument (its sweep,
// the calibration in use by name and checksum, the cable taken out, markers,
// the stored traces and the limit mask) and a note, so that it can be opened
// again as it was. Reading it back gives the very same values: saving an
// opened session gives the same file.
//
// The file is text, one statement a line:
//   kolm-session 3
//   instrument analyzer                    power or analyzer
//   note Dipole for 40 m, after the rain   the rest of the line (\n, \\ escaped)
//   sweep 3 30 500 1                       start_mhz stop_mhz points average
//   calibration 0123456789abcdef bridge-cal.cfg   FNV-1a 64 of its bytes, file name
//   cable RG58:10                          as the cable is typed
//   levels 10 -70                          top_dbm bottom_dbm of the chart (power meter)
//   delay 2.5                              ms after each step (power meter)
//   hold                                   the min/max hold is on
//   log 1 /home/me/levels.csv              marker_only (0 or 1), then the file
//                                          logged into (the rest of the line,
//                                          empty when none is)
//   marker 7.05                            up to four, in number order
//   limit swr upper 3.5 3.8 2 2            quantity kind from to limit_from limit_to
//   trace 201 ff0000 1 swr - Name of the trace   points colour shown quantity unit name
//   3 1.2 1.1 1.3 valid                    per point: mhz value low high mark
//   3 1.2 1.1 1.3 valid 0.2 -0.1 0.02 valid   and, where the trace holds the
//                                          load's reflection (every point or
//                                          none): re im radius mark
//   end                                    the last line: a file without it is cut
// Numbers are written in their shortest form that reads back exactly (inf,
// -inf and nan where there is no number); an empty unit is "-". A file of a
// later version is refused; one of an earlier version opens (version 1 had no
// levels, delay, hold or log lines, version 2 no reflections).
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "chart/limit_mask.h"
#include "chart/stored_trace.h"

namespace kolm::chart {

inline constexpr int kSessionVersion = 3;

struct CalibrationRef {
  std::string file;   // its name in the settings folder
  uint64_t checksum;  // fnv1a64 of its bytes
  bool operator==(const CalibrationRef&) const = default;
};

// The pass log a session keeps: whether it logs the active marker's reading
// only, and the file it logs into (empty when it does not log).
struct SessionLog {
  bool markerOnly = false;
  std::string path;
  bool operator==(const SessionLog&) const = default;
};

struct Session {
  std::string instrument = "analyzer";  // "power" or "analyzer"
  std::string note;
  double startMHz = 3, stopMHz = 30;
  int points = 500;
  int average = 1;
  std::optional<CalibrationRef> calibration;
  std::string cable;
  std::optional<std::pair<double, double>> levels;  // the chart's top and bottom, dBm
  std::optional<double> delayMs;
  bool hold = false;
  std::optional<SessionLog> log;
  std::vector<double> markers;
  LimitMask mask;
  std::vector<StoredTrace> traces;
  bool operator==(const Session&) const = default;
};

uint64_t fnv1a64(std::string_view bytes);

struct SessionRead {
  std::optional<Session> session;
  std::string error;  // "NAME:LINE: why"; nothing read
};
// `instrument`, when given, is the one the session must be of: a session of
// the other is refused at its instrument line.
SessionRead parseSession(std::string_view text, const std::string& name,
                         std::string_view instrument = {});
// The largest session file read: 20 traces of 20 001 points take some 30 MB.
inline constexpr uint64_t kSessionFileLimit = 256u << 20;
// A session file read whole and parsed; its messages name the file by its name.
SessionRead readSession(const std::filesystem::path& path, std::string_view instrument);
std::string formatSession(const Session& session);

// Whether the calibration a session names still matches the one at hand
// (`current` its bytes, empty when there is none): empty when it does, else
// what differs, in words.
std::string calibrationMismatch(const Session& session, const std::optional<std::string>& current);

}  // namespace kolm::chart
