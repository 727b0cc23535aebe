// The promise table's parts: the loads swept, the boards read and the figures
// measured over them (promise_table.cpp prints the table).
#pragma once

#include <complex>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "analyzer/cable.h"
#include "analyzer/measurement.h"

namespace kolm::promise {

using Complex = std::complex<double>;

constexpr double kStartMHz = 1, kStopMHz = 60;
constexpr int kCalibrationSteps = 200;

// What is on the bridge. Parallel networks are written to a Touchstone file the
// simulator reads (its loads are series ones); `cable` is taken out of the
// readings when set, the truth then being `far`'s reflection.
enum class Kind { Resistor, Reactive, Line };
struct LoadCase {
  LoadCase(std::string n, std::string l, Kind k = Kind::Resistor, double r = 0)
      : name(std::move(n)), load(std::move(l)), kind(k), ohm(r) {}
  std::string name;  // as the table names it
  std::string load;  // the simulator's --load text
  Kind kind = Kind::Resistor;
  double ohm = 0;  // a resistor's value
  std::optional<analyzer::Cable> cable;
  std::string far;  // the load at the cable's far end (--load form)
};

// One load swept: its values as the analyzer gives them and the truth.
struct Sweep {
  const LoadCase* load = nullptr;
  analyzer::TraceValues trace;
  std::vector<Complex> truth;            // the reflection the values stand for, per point
  std::function<Complex(double)> model;  // that reflection at any frequency, MHz
};

// Every load on one board, read one way: a column of the table.
struct Reading {
  std::string board, mode;
  std::vector<Sweep> sweeps;
  double secondsPerPoint = 0;  // computing the values from the readings
};

// A line of the table: its name, its goal and its value in each column.
struct Figure {
  std::string name;
  std::string goal;
  std::function<std::string(const Reading&)> value;
};

// The loads of a set (resistors, reactive, lines or all); parallel networks are
// written to files in `folder`.
std::vector<LoadCase> loads(const std::filesystem::path& folder, const std::string& which);

// The ways each board is read, every load swept in `points` steps: the columns.
std::vector<Reading> readings(const std::vector<LoadCase>& cases, int points);

// The lines of the table.
std::vector<Figure> figures();

}  // namespace kolm::promise
