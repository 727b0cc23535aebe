// A strict reader of one-port Touchstone files, for checking the exports.
#pragma once

#include <complex>
#include <sstream>
#include <string>
#include <vector>

namespace kolm::test {

// A reader that applies the Touchstone rules for a one-port file strictly.
struct TouchstonePoint {
  double mhz;
  std::complex<double> s11;
};
inline std::vector<TouchstonePoint> readTouchstone(const std::string& text, std::string& error) {
  std::vector<TouchstonePoint> points;
  std::istringstream in(text);
  std::string line;
  bool option = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    auto bang = line.find('!');
    if (bang != std::string::npos) line.erase(bang);
    if (line.find_first_not_of(" \t") == std::string::npos) continue;
    if (!option) {
      std::istringstream o(line);
      std::string hash, unit, param, format, r, ref;
      o >> hash >> unit >> param >> format >> r >> ref;
      if (hash != "#" || unit != "MHz" || param != "S" || format != "RI" || r != "R" ||
          ref != "50") {
        error = "bad option line: " + line;
        return {};
      }
      option = true;
      continue;
    }
    if (line.find(',') != std::string::npos) {
      error = "comma in a data line: " + line;
      return {};
    }
    std::istringstream d(line);
    TouchstonePoint p;
    double re, im;
    std::string extra;
    if (!(d >> p.mhz >> re >> im) || (d >> extra)) {
      error = "a one-port data line holds three numbers: " + line;
      return {};
    }
    if (!points.empty() && !(p.mhz > points.back().mhz)) {
      error = "frequencies must increase: " + line;
      return {};
    }
    p.s11 = {re, im};
    points.push_back(p);
  }
  if (!option) error = "no option line";
  return points;
}

}  // namespace kolm::test
