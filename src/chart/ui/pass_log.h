// Logging a running sweep from a window: each pass (or only the active
// marker's reading) appended with its UTC time to a CSV or NDJSON file by the
// same writer `kolm-cli log` uses, and a strip chart of a marker's reading
// over time (the active one's, or the one chosen above the strip). The window
// hands every finished pass to takePass.
#pragma once

#include <QObject>
#include <QWidget>
#include <chrono>
#include <cmath>
#include <optional>
#include <string>

#include "chart/strip.h"
#include "chart/trace_log.h"
#include "common/append_log.h"
#include "common/prompter.h"

class QAction;
class QComboBox;
class QMenu;

namespace kolm::chart::ui {

class SweepChart;

// The strip chart: a small window with the chart engine's chart, and the
// marker whose reading it draws ("Active marker", "Marker 1" to "Marker 4";
// another choice starts the strip again).
class StripChart : public QWidget {
  Q_OBJECT
 public:
  explicit StripChart(QWidget* parent);
  void add(double seconds, const TracePoint& reading, const StoredTrace& of, double atMHz);
  void clear();
  // The marker chosen: its number, or none for the active marker.
  std::optional<int> chosenMarker() const;
  const Strip& strip() const { return strip_; }
  SweepChart* chart() const { return chart_; }

 private:
  Strip strip_;
  SweepChart* chart_;
  QComboBox* marker_;
  std::string quantity_, unit_;
  double atMHz_ = NAN;
};

class PassLog : public QObject {
  Q_OBJECT
 public:
  // The items "Log passes to a file...", "Log the active marker only" and
  // "Strip chart..." at the end of `menu`; the active marker is `chart`'s.
  PassLog(QMenu* menu, common::Prompter& prompter, QWidget* window, const SweepChart* chart);

  // A finished pass.
  void takePass(const StoredTrace& pass);
  // Starts logging into `path` (.csv or .ndjson); false, said, when it cannot.
  bool start(const std::string& path);
  void stop();
  bool logging() const { return log_.has_value(); }
  // The file logged into (while logging), and "Log the active marker only".
  const std::string& path() const { return path_; }
  bool markerOnly() const;
  void setMarkerOnly(bool on);
  long passes() const { return passes_; }
  StripChart* stripChart() const { return strip_; }

 private:
  common::Prompter& prompter_;
  const SweepChart* chart_;
  QAction* logAction_;
  QAction* markerOnly_;
  StripChart* strip_;
  std::optional<common::AppendLog> log_;
  std::string path_;
  LogFormat format_ = LogFormat::Csv;
  long passes_ = 0;
  std::chrono::steady_clock::time_point began_{};
};

}  // namespace kolm::chart::ui
