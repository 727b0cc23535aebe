// The analyzer's Smith chart (or polar chart) window: the live and memory
// traces of the last redraw on the disk, the analyzer chart's markers with
// their readings, the cursor's impedance and SWR on its status line, and the
// chart's export as a picture and its print.
#pragma once

#include <QWidget>

#include "analyzer/measurement.h"
#include "chart/markers.h"
#include "hw/ui/ui_context.h"

class QComboBox;
class QLabel;

namespace kolm::chart::ui {
class DiskChart;
}

namespace kolm::analyzer::ui {

class SmithWindow : public QWidget {
  Q_OBJECT
 public:
  SmithWindow(hw::ui::UiContext& context, QWidget* parent);
  // The traces (points 0 to `points` of each; no memory when `memory` is
  // null) and the markers to show.
  void showTraces(const TraceValues& live, int points, const TraceValues* memory, int memoryPoints,
                  const chart::MarkerSet& markers);
  chart::ui::DiskChart* chart() const { return chart_; }
  // What the traces are (the analyzer's sweep and figures), said over the chart
  // in pictures and prints, and whether they come from the simulator.
  void setHeading(const QString& heading, bool simulated);
  void exportPicture();
  void print();

 private:
  hw::ui::UiContext& context_;
  chart::ui::DiskChart* chart_ = nullptr;
  QComboBox* kind_ = nullptr;
  QLabel* status_ = nullptr;
  QString heading_;
  bool simulated_ = false;
};

}  // namespace kolm::analyzer::ui
