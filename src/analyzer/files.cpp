#include "analyzer/files.h"

#include <cmath>
#include <complex>
#include <limits>

#include "common/files.h"
#include "common/records.h"
#include "common/text.h"

namespace kolm::analyzer {

namespace {

bool usablePoints(int points) { return points >= kMinPoints && points <= kMaxPoints; }

std::string exportNumber(double value, int digits) {
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
  return common::shortestText(value, digits);
}

double exportFrequency(int i, int points, double start, double stop) {
  return i * ((stop - start) / points) + start;
}

}  // namespace

AntSettings ReadVar(const std::filesystem::path& path) {
  const AntSettings defaults;
  auto content = common::readTextFile(path);
  if (!content) return defaults;
  common::RecordReader reader(*content);
  auto start = reader.next();
  auto stop = reader.next();
  auto points = reader.next();
  if (!start || !stop || !points) return defaults;
  AntSettings s;
  s.start = common::numericValue(*start);
  s.stop = common::numericValue(*stop);
  auto n = common::toInt16(common::numericValue(*points));
  if (!n || !usablePoints(*n) || s.start == s.stop) return defaults;
  s.points = *n;
  return s;
}

bool SaveVar(std::string_view text1, std::string_view text2, std::string_view text3,
             const std::filesystem::path& path) {
  common::RecordWriter w;
  w.quoted(text1);
  w.quoted(text2);
  w.quoted(text3);
  return common::writeFileAtomic(path, w.text());
}

std::string formatVna(int16_t points, double start, double stop, const Channels& channels) {
  common::RecordWriter w;
  w.number(points);
  w.number(start);
  w.number(stop);
  const int n = points;
  for (int i = 0; i <= n; ++i) w.number(channels.CanaleA[i]);
  for (int i = 0; i <= n; ++i) w.number(channels.CanaleB[i]);
  return w.text();
}

VnaReadResult parseVna(std::string_view content) {
  VnaReadResult r;
  common::RecordReader reader(content);
  int field = 0;
  auto number = [&](const char* what, double& out) {
    ++field;
    auto text = reader.next();
    if (!text) {
      r.error = std::string("The file ends before the ") + what + " (value " +
                std::to_string(field) + ").";
      return false;
    }
    if (!common::isNumeric(*text)) {
      r.error = std::string("Value ") + std::to_string(field) + " (" + what +
                ") is not a number: \"" + *text + "\".";
      return false;
    }
    out = common::numericValue(*text);
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
  VnaChart& c = r.chart;
  if (!reading("number of points", c.points)) return r;
  if (!usablePoints(c.points)) {
    r.error = "The number of points, " + std::to_string(c.points) + ", is outside 1 to " +
              std::to_string(kMaxPoints) + ".";
    return r;
  }
  if (!number("start frequency", c.start) || !number("stop frequency", c.stop)) return r;
  c.canaleA.resize(c.points + 1);
  c.canaleB.resize(c.points + 1);
  for (auto& v : c.canaleA)
    if (!reading("return-loss reading", v)) return r;
  for (auto& v : c.canaleB)
    if (!reading("phase reading", v)) return r;
  return r;
}

void rebuildFrequencies(std::vector<float>& frequenze, int points, double start, double stop) {
  for (int i = 0; i <= points && i < static_cast<int>(frequenze.size()); ++i)
    frequenze[i] = static_cast<float>(i * (stop - start) / points + start);
}

std::string formatCsv(int16_t points, double start, double stop, const Channels& channels) {
  std::string out = "freq_mhz,rl_db,phase_deg,z_ohm,r_ohm,x_ohm,swr\r\n";
  const int n = points;
  for (int i = 0; i <= n; ++i) {
    const PointResult p = evaluatePoint(channels.CanaleA[i], channels.CanaleB[i]);
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double z = p.finite ? p.values[kImpedance] : inf;
    const double r = p.finite ? p.values[kResistance] : inf;
    const double x = p.finite ? p.values[kReactance] : nan;
    out += exportNumber(exportFrequency(i, n, start, stop), 15);
    for (double v :
         {static_cast<double>(p.values[kReturnLoss]), static_cast<double>(p.values[kPhase]), z, r,
          x, static_cast<double>(p.values[kSwr])}) {
      out += ',';
      out += exportNumber(v, 7);
    }
    out += "\r\n";
  }
  return out;
}

std::string formatTouchstone(int16_t points, double start, double stop, const Channels& channels) {
  std::string out =
      "! Kolm antenna analyzer: one-port reflection, 50 ohm reference\r\n"
      "# MHz S RI R 50\r\n";
  const int n = points;
  const bool descending = stop < start;
  for (int k = 0; k <= n; ++k) {
    const int i = descending ? n - k : k;
    const PointResult p = evaluatePoint(channels.CanaleA[i], channels.CanaleB[i]);
    std::complex<double> gamma(1, 0);
    if (p.finite) {
      const std::complex<double> z(p.values[kResistance], p.values[kReactance]);
      gamma = (z - 50.0) / (z + 50.0);
    }
    out += exportNumber(exportFrequency(i, n, start, stop), 15);
    out += ' ';
    out += exportNumber(gamma.real(), 9);
    out += ' ';
    out += exportNumber(gamma.imag(), 9);
    out += "\r\n";
  }
  return out;
}

}  // namespace kolm::analyzer
