#include "analyzer/files.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <complex>
#include <limits>
#include <system_error>

#include "analyzer/validity.h"
#include "chart/scale.h"
#include "common/files.h"
#include "common/records.h"
#include "common/reflection.h"
#include "common/settings_file.h"
#include "common/text.h"
#include "common/tr.h"

namespace kolm::analyzer {

namespace {

bool usablePoints(int points) { return points >= kMinPoints && points <= kMaxPoints; }

std::string exportNumber(double value, int digits) {
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
  return common::shortestText(value, digits);
}

}  // namespace

AntSettings readAntIni(const std::filesystem::path& path, std::string* problem) {
  return common::readSettings<AntSettings>(path, common::kSettingsFileLimit, parseAntIni, problem);
}

AntSettings parseAntIni(std::string_view content, std::string* problem) {
  const AntSettings defaults;
  common::RecordReader reader(content);
  auto start = reader.next();
  auto stop = reader.next();
  auto points = reader.next();
  if (problem && start && !points)
    *problem = common::lineProblem(reader.line(), "the start, stop and points are not all there");
  if (problem && points && reader.moreText())
    *problem = common::lineProblem(reader.line() + 1, "text after the three records of ant.ini");
  if (!start || !stop || !points) return defaults;
  AntSettings s;
  s.start = common::numericValue(*start);
  s.stop = common::numericValue(*stop);
  auto n = common::toInt16(common::numericValue(*points));
  if (!n || !usablePoints(*n) || !spanUsable(s.start, s.stop)) return defaults;
  s.points = *n;
  return s;
}

bool saveAntIni(const AntIniBoxes& boxes, const std::filesystem::path& path,
                common::SettingsKeeper& keeper) {
  // The user's file that could not be read whole is kept aside first.
  std::string problem;
  readAntIni(path, &problem);
  if (!keeper.keep(path, problem).mayWrite) return false;
  return common::writeFileAtomic(path, antIniText(boxes));
}

common::SettingsChange changeAntIni(common::SettingsFolder& folder, const AntIniBoxes& before,
                                    const AntIniBoxes& now) {
  if (before == now) return common::SettingsChange::unchanged();
  return common::changeSettings(
      folder, kSettingsFile,
      [](std::string_view text, std::string* problem) {
        return antIniBoxes(parseAntIni(text, problem));
      },
      antIniText,
      [&](AntIniBoxes& file) {
        for (size_t k = 0; k < file.size(); ++k)
          if (now[k] != before[k]) file[k] = now[k];
      });
}

AntIniBoxes antIniBoxes(const AntSettings& s) {
  return {common::NumberText(common::shortestText(s.start), s.start),
          common::NumberText(common::shortestText(s.stop), s.stop),
          common::NumberText(std::to_string(s.points), s.points)};
}

std::string antIniText(const AntIniBoxes& boxes) {
  common::RecordWriter w;
  for (const common::NumberText& box : boxes) w.quoted(box.text);
  return w.text();
}

namespace {
// A reading is at most "-32768" and CR LF.
constexpr size_t kVnaLineBytes = 8;
}  // namespace

std::string formatVna(const ChartData& chart) {
  common::RecordWriter w;
  w.reserve((chart.returnLossCounts.size() + chart.phaseCounts.size()) * kVnaLineBytes + 64);
  w.number(chart.points);
  w.number(chart.start);
  w.number(chart.stop);
  const size_t n = static_cast<size_t>(std::max<int>(chart.points, 0)) + 1;
  for (size_t i = 0; i < n && i < chart.returnLossCounts.size(); ++i)
    w.number(chart.returnLossCounts[i]);
  for (size_t i = 0; i < n && i < chart.phaseCounts.size(); ++i) w.number(chart.phaseCounts[i]);
  return std::move(w).text();
}

std::string formatVna(int16_t points, double start, double stop, const Channels& channels) {
  common::RecordWriter w;
  const int n = points;
  w.reserve(2 * static_cast<size_t>(std::max(n + 1, 0)) * kVnaLineBytes + 64);
  w.number(points);
  w.number(start);
  w.number(stop);
  for (int i = 0; i <= n; ++i) w.number(channels.returnLossCounts[i]);
  for (int i = 0; i <= n; ++i) w.number(channels.phaseCounts[i]);
  return std::move(w).text();
}

VnaReadResult parseVna(std::string_view content) {
  VnaReadResult r;
  common::RecordReader reader(content);
  int field = 0;
  auto number = [&](const char* what, double& out) {
    ++field;
    auto text = reader.nextView();
    if (!text) {
      r.error = std::string("The file ends before the ") + what + " (value " +
                std::to_string(field) + ").";
      return false;
    }
    const auto value = common::fieldNumber(*text);
    if (!value) {
      r.error = std::string("Value ") + std::to_string(field) + " (" + what +
                ") is not a number: \"" + std::string(*text) + "\".";
      return false;
    }
    out = *value;
    return true;
  };
  auto reading = [&](const char* what, int16_t& out) {
    double v = 0;
    if (!number(what, v)) return false;
    auto n = common::toInt16(v);
    if (!n) {
      r.error = std::string("Value ") + std::to_string(field) + " (" + what +
                ") does not fit a 16-bit integer.";
      return false;
    }
    out = *n;
    return true;
  };
  ChartData& c = r.chart;
  if (!reading("number of points", c.points)) return r;
  if (!usablePoints(c.points)) {
    r.error = "The number of points, " + std::to_string(c.points) + ", is outside 1 to " +
              std::to_string(kMaxPoints) + ".";
    return r;
  }
  if (!number("start frequency", c.start) || !number("stop frequency", c.stop)) return r;
  if (!spanUsable(c.start, c.stop)) {
    r.error = "The start and stop frequencies (" + common::shortestText(c.start) + " and " +
              common::shortestText(c.stop) + " MHz) give no span to draw the chart on.";
    return r;
  }
  c.returnLossCounts.resize(c.points + 1);
  c.phaseCounts.resize(c.points + 1);
  for (auto& v : c.returnLossCounts)
    if (!reading("return-loss reading", v)) return r;
  for (auto& v : c.phaseCounts)
    if (!reading("phase reading", v)) return r;
  // A number of points lowered by hand would read return-loss values as
  // phases, at the wrong frequencies.
  if (reader.moreText())
    r.error = "The file holds more values after its last phase reading (value " +
              std::to_string(field) + "): its number of points, " + std::to_string(c.points) +
              ", does not match its readings. Nothing was opened.";
  return r;
}

VnaReadResult readVna(const std::filesystem::path& path) {
  auto file = common::readFile(path, common::kChartFileLimit);
  if (!file.content) {
    VnaReadResult r;
    r.error = file.error;
    return r;
  }
  return parseVna(*file.content);
}

// ---- .vec ----

namespace {

constexpr uint64_t kVecHeaderBytes = 24;  // 16 (n + 1) + 8 with n = 0

float floatAt(std::string_view bytes, size_t offset) {
  uint32_t v = 0;
  for (int k = 3; k >= 0; --k) v = (v << 8) | static_cast<unsigned char>(bytes[offset + k]);
  return std::bit_cast<float>(v);
}

}  // namespace

std::string VecReadResult::message() const {
  switch (fault) {
    case VecFault::None:
      return {};
    case VecFault::EqualSpan:
      return KOLM_TR("kolm", "ERRORE!") + "\n" + reason;
    case VecFault::Invalid:
      break;
  }
  return KOLM_TR("kolm", "ERRORE") + "\n" + reason;
}

int64_t vecPointCount(uint64_t length) {
  if (length < kVecHeaderBytes) return -1;
  return static_cast<int64_t>(
      common::roundHalfEven(static_cast<double>(length - kVecHeaderBytes) / 16.0));
}

VecReadResult parseVec(std::string_view bytes) {
  VecReadResult r;
  auto refuse = [&](VecFault fault, std::string reason) {
    r.fault = fault;
    r.reason = std::move(reason);
    r.chart = {};
    return r;
  };
  const uint64_t length = bytes.size();
  const int64_t n = vecPointCount(length);
  if (n < 0)
    return refuse(VecFault::Invalid, "The file holds " + std::to_string(length) +
                                         " bytes; a .vec file has at least 24.");
  const uint64_t needed = 16 * static_cast<uint64_t>(n) + kVecHeaderBytes;
  if (needed > length)
    return refuse(VecFault::Invalid,
                  "The file ends inside its last block: " + std::to_string(length) +
                      " bytes, where n = " + std::to_string(n) + " needs " +
                      std::to_string(needed) + ".");
  const size_t count = static_cast<size_t>(n) + 1;
  const size_t phases = 4 * count;
  const size_t span = 16 * count;  // after the third block
  const float start = floatAt(bytes, span);
  const float stop = floatAt(bytes, span + 4);
  // Equal, or so close that the span vanishes once read (as the decimals the
  // values stand for): "ERRORE!" either way.
  if (start == stop || (std::isfinite(start) && std::isfinite(stop) &&
                        !spanUsable(common::decimalOfSingle(start), common::decimalOfSingle(stop))))
    return refuse(VecFault::EqualSpan, "The start and stop frequencies are equal (" +
                                           common::shortestText(start, 7) + " MHz).");
  if (!std::isfinite(start) || !std::isfinite(stop))
    return refuse(VecFault::Invalid, "The start or stop frequency is not a finite number.");
  if (n == 0) return refuse(VecFault::Invalid, "The file holds no frequency step (n = 0).");
  if (n > kMaxPoints)
    return refuse(VecFault::Invalid, "The file holds " + std::to_string(n) +
                                         " frequency steps; the analyzer takes at most " +
                                         std::to_string(kMaxPoints) + ".");
  ChartData& c = r.chart;
  c.points = static_cast<int16_t>(n);
  // The span as the decimal numbers the file's single-precision values stand
  // for (3.1, not 3.0999999046): the boxes show them and a save keeps them.
  c.start = common::decimalOfSingle(start);
  c.stop = common::decimalOfSingle(stop);
  c.returnLossCounts.resize(count);
  c.phaseCounts.resize(count);
  for (size_t i = 0; i < count; ++i) {
    const float m = floatAt(bytes, 4 * i);
    // 512 - (M - 365), in single precision as the values are stored.
    const float a = 512.0f - (m - 365.0f);
    const auto ca = common::toInt16(a);
    if (!ca)
      return refuse(VecFault::Invalid, "Magnitude value " + std::to_string(i) + " (" +
                                           common::shortestText(m, 7) +
                                           ") does not give a 16-bit reading.");
    const float p = floatAt(bytes, phases + 4 * i);
    const auto cb = common::toInt16(p);
    if (!cb)
      return refuse(VecFault::Invalid, "Phase value " + std::to_string(i) + " (" +
                                           common::shortestText(p, 7) +
                                           ") does not fit a 16-bit reading.");
    c.returnLossCounts[i] = *ca;
    c.phaseCounts[i] = *cb;
  }
  // The first point repeats the second.
  c.returnLossCounts[0] = c.returnLossCounts[1];
  c.phaseCounts[0] = c.phaseCounts[1];
  return r;
}

VecReadResult readVec(const std::filesystem::path& path) {
  // The largest file the arrays can take (n = 20001), with the rounding of n.
  constexpr uint64_t kLargest = kVecHeaderBytes + 16 * static_cast<uint64_t>(kMaxPoints) + 8;
  auto file = common::readFile(path, kLargest);
  if (!file.content) {
    VecReadResult r;
    r.fault = VecFault::Invalid;
    r.reason = file.error;
    std::error_code ec;
    if (file.fault == common::ReadFault::TooLarge)
      r.reason = "The file holds " +
                 std::to_string(vecPointCount(std::filesystem::file_size(path, ec))) +
                 " frequency steps; the analyzer takes at most " + std::to_string(kMaxPoints) + ".";
    return r;
  }
  return parseVec(*file.content);
}

TraceValues exportTrace(int16_t points, double start, double stop, const Channels& channels,
                        const BridgeFigures& figures) {
  TraceValues t;
  computeTraceValues(channels, points, t, figures);
  for (size_t i = 0; i < t.frequencies.size(); ++i)
    t.frequencies[i] = chart::pointFrequency(start, stop, points, static_cast<int>(i));
  inferSigns(t);
  return t;
}

namespace {

// The half-width of quantity q at point i: empty for a value that is not a
// number, a bound or an SWR unbounded above, "inf" for another unbounded one.
std::string halfWidthText(const TraceValues& t, size_t i, int q) {
  const float pm = t.halfWidths[q][i];
  const chart::Mark mark = t.mark(i, q);
  if (!std::isfinite(t.values[q][i]) || (q == kSwr && !std::isfinite(pm)) ||
      mark == chart::Mark::AtLeast || mark == chart::Mark::AtMost)
    return {};  // a bound has none
  // Outward: the value is written to 7 significant digits (as it is kept).
  const float v = q == kReactance ? t.signedReactance(i) : t.values[q][i];
  return exportNumber(common::outwardHalfWidthSignificant(v, 7, pm, 4), 4);
}

}  // namespace

std::string flagWords(const TraceValues& t, size_t i) {
  std::string words(flagWord(t.flags[i]));
  auto add = [&](std::string_view word) {
    if (word.empty()) return;
    if (!words.empty()) words += ' ';
    words += word;
  };
  add(uncertainWord(t.uncertain[i]));
  // With a calibration in use: a point outside its span, or one whose terms'
  // interpolation makes much of its interval.
  if (i < t.correction.size() && t.correction[i] == Correction::Uncorrected) add("uncorrected");
  if (i < t.correction.size() && t.correction[i] == Correction::Interpolated) add("interpolated");
  if (t.signs[i] == ReactanceSign::Unknown && std::isfinite(t.values[kReactance][i]))
    add("sign_unknown");
  return words;
}

std::string formatCsv(int16_t points, double start, double stop, const Channels& channels) {
  return formatCsv(exportTrace(points, start, stop, channels));
}

std::string formatCsv(const TraceValues& t, const ExportSource& source) {
  std::string out;
  for (const std::string& line : sourceLines(source)) out += "# " + line + "\r\n";
  out +=
      "freq_mhz,rl_db,phase_deg,z_ohm,r_ohm,x_ohm,swr,rl_db_pm,phase_deg_pm,z_ohm_pm,r_ohm_pm,"
      "x_ohm_pm,swr_pm,flag\r\n";
  for (size_t i = 0; i < t.flags.size(); ++i) {
    out += exportNumber(t.frequencies[i], 15);
    for (int q = 0; q < kQuantities; ++q) {
      out += ',';
      out += exportNumber(q == kReactance ? t.signedReactance(i) : t.values[q][i], 7);
    }
    for (int q = 0; q < kQuantities; ++q) {
      out += ',';
      out += halfWidthText(t, i, q);
    }
    // The words hold commas after "uncertain:": the field is then quoted.
    const std::string words = flagWords(t, i);
    out += ',';
    out += words.find(',') == std::string::npos ? words : '"' + words + '"';
    out += "\r\n";
  }
  return out;
}

namespace {

// "3 to 4.5 rl_limit, 14.2 open": the flagged frequencies (MHz) in runs of the
// same words.
// Without `words`, the runs alone ("3 to 4.5, 14.2").
std::string flaggedRuns(const std::vector<std::pair<double, std::string>>& points,
                        bool words = true) {
  std::string out;
  for (size_t k = 0; k < points.size();) {
    size_t last = k;
    while (last + 1 < points.size() && points[last + 1].second == points[k].second) ++last;
    if (!points[k].second.empty()) {
      if (!out.empty()) out += ", ";
      out += common::shortestText(points[k].first, 10);
      if (last > k) out += " to " + common::shortestText(points[last].first, 10);
      if (words) out += ' ' + points[k].second;
    }
    k = last + 1;
  }
  return out;
}

}  // namespace

std::string formatTouchstone(int16_t points, double start, double stop, const Channels& channels) {
  return formatTouchstone(exportTrace(points, start, stop, channels), &channels, {});
}

namespace {

// Whether point i's reactance has a value whose sign could not be told.
bool signUnknown(const TraceValues& t, size_t i) {
  return t.signs[i] == ReactanceSign::Unknown && std::isfinite(t.values[kReactance][i]);
}

// Whether point i's reactance may be zero: its interval holds zero, or it
// stands at the return-loss limit, where the load is within the bridge's
// directivity of a match. Whatever its sign, 0 is then inside its interval.
bool mayBeZero(const TraceValues& t, size_t i) {
  return t.flags[i] == PointFlag::RlLimit ||
         (i < t.halfWidths[kReactance].size() &&
          t.values[kReactance][i] <= t.halfWidths[kReactance][i]);
}

}  // namespace

size_t touchstonePoints(const TraceValues& t, const ExportSource& source) {
  size_t written = 0;
  for (size_t i = 0; i < t.flags.size(); ++i)
    written += source.keepUnknownSigns || !signUnknown(t, i) || mayBeZero(t, i);
  return written;
}

std::string formatTouchstone(const TraceValues& t, const Channels* readings,
                             const ExportSource& source) {
  const size_t n = t.flags.size();
  const bool descending = n > 1 && t.frequencies[n - 1] < t.frequencies[0];
  std::vector<std::pair<double, std::string>> flags, leftOut, zeroed;
  std::string data;
  for (size_t k = 0; k < n; ++k) {
    const size_t i = descending ? n - 1 - k : k;
    const double f = t.frequencies[i];
    const bool unknown = !source.keepUnknownSigns && signUnknown(t, i);
    const bool zero = unknown && mayBeZero(t, i);
    leftOut.emplace_back(f, unknown && !zero ? "-" : "");
    zeroed.emplace_back(f, zero ? "-" : "");
    if (unknown && !zero) {
      flags.emplace_back(f, "");  // ends a run of flagged points
      continue;
    }
    std::complex<double> gamma(1, 0);
    double r = t.values[kResistance][i];
    double x = zero ? 0 : t.signedReactance(i);
    if (t.flags[i] == PointFlag::Invalid && readings) {
      // Its impedance is not shown, but it has a direction.
      const PointResult p =
          readings->averaged() && i < readings->meanReturnLoss.size()
              ? evaluateMeanPoint(readings->meanReturnLoss[i], readings->meanPhase[i])
              : evaluatePoint(readings->returnLossCounts[i], readings->phaseCounts[i]);
      if (p.finite) {
        r = p.values[kResistance];
        x = p.values[kReactance];
      }
    }
    if (std::isfinite(r) && std::isfinite(x)) {
      gamma = common::reflectionOf({r, x});
      // No load reflects more than it receives: a reading beyond that is kept
      // at a total reflection in its direction (and listed as invalid).
      if (std::abs(gamma) > 1) gamma /= std::abs(gamma);
    }
    flags.emplace_back(f, flagWords(t, i));
    data += exportNumber(f, 15);
    data += ' ';
    data += exportNumber(gamma.real(), 9);
    data += ' ';
    data += exportNumber(gamma.imag(), 9);
    data += "\r\n";
  }
  std::string out =
      "! Kolm antenna analyzer: one-port reflection, 50 ohm reference\r\n"
      "! The bridge reads no sign of reactance: each point's sign is inferred along the sweep;\r\n";
  out += source.keepUnknownSigns
             ? "! points whose sign could not be told are written inductive and flagged "
               "sign_unknown.\r\n"
             : "! points whose sign could not be told are left out and listed below, or written\r\n"
               "! with X = 0 where zero lies within the reactance's interval.\r\n";
  for (const std::string& line : sourceLines(source)) out += "! " + line + "\r\n";
  const std::string flagged = flaggedRuns(flags);
  if (!flagged.empty()) out += "! flagged (MHz): " + flagged + "\r\n";
  const std::string unknown = flaggedRuns(leftOut, false);
  if (!unknown.empty()) out += "! left out, sign unknown (MHz): " + unknown + "\r\n";
  const std::string atZero = flaggedRuns(zeroed, false);
  if (!atZero.empty()) out += "! written with X = 0, sign unknown (MHz): " + atZero + "\r\n";
  out += "# MHz S RI R 50\r\n";
  return out + data;
}

}  // namespace kolm::analyzer
