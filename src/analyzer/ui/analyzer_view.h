// The antenna analyzer window: the bridge sweep, its six charts, the cursor
// readout, zoom and the sweep controls. createAnalyzerWindow() makes one; tests
// and benchmarks use the class directly.
#pragma once

#include <QMainWindow>
#include <array>
#include <memory>

#include "analyzer/analysis.h"
#include "analyzer/cable.h"
#include "analyzer/charts.h"
#include "analyzer/files.h"
#include "analyzer/measurement.h"
#include "analyzer/sweep.h"
#include "chart/chart.h"
#include "chart/stored_trace.h"
#include "chart/ui/analysis_panel.h"
#include "chart/ui/sweep_chart.h"
#include "common/sweep_control.h"
#include "common/ui/average_box.h"
#include "common/ui/job_runner.h"
#include "hw/ui/ui_context.h"

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QToolButton;
class QButtonGroup;
namespace kolm::common::ui {
class RecentFiles;
}

namespace kolm::chart::ui {
class PassLog;
class SessionCommands;
class TraceList;
}  // namespace kolm::chart::ui

namespace kolm::analyzer::ui {

class SmithWindow;
class MatchingWindow;
class QuantityReadout;

class AnalyzerWindow : public QMainWindow, private common::SweptInstrument {
  Q_OBJECT
 public:
  explicit AnalyzerWindow(hw::ui::UiContext& context, QWidget* parent = nullptr);
  ~AnalyzerWindow() override;

  // Window operations, named as the instrument's users know them.
  void redraw();
  void showDemonstration();
  void selectQuantity(int index);
  // A sweep from the boxes: one pass, or passes back to back until stopped;
  // at once, or after the pass under way. False when the boxes were refused
  // (with a message).
  bool startSweep(bool continuous);
  void stopSweep();
  void printScreen();
  // The Smith chart window of this window's traces (opened, or brought up).
  void showSmithChart();
  SmithWindow* smithWindow() const { return smith_; }
  // The matching network window for the active marker (opened, or brought up).
  void showMatching();
  MatchingWindow* matchingWindow() const { return matching_; }
  // The cable whose far end the readings show (none: as measured).
  void chooseCable();
  void setCable(std::optional<Cable> cable);
  const std::optional<Cable>& cable() const { return cable_; }
  void measureStub();
  // Check the bridge: the dialog over the span the boxes give; the figures it
  // finds are used from then on.
  void checkBridge();
  // Calibrate the bridge: the dialog over the span the boxes give; the
  // calibration it keeps corrects the readings from then on.
  void calibrateBridge();
  // The plan the Start, Stop and Points boxes give; none (the status line or a
  // message says why) when they give none. Not `fresh`: each box's last
  // accepted number, as the next pass of a running sweep goes on with.
  std::optional<SweepPlan> planFromBoxes(bool fresh = true);
  // The plan for a bridge check or calibration: none, said why, while a sweep
  // runs or where the span touches 0 MHz.
  std::optional<SweepPlan> planForBridge(const QString& busy, const QString& zeroSpan);
  const BridgeFigures& bridgeFigures() const { return figures_; }
  // Whether the traces carry their intervals, uncertain marks and signs (on;
  // off only to measure what they cost).
  void setIntervalsComputed(bool on) { intervalsComputed_ = on; }
  // The values of the last redraw (the far end's when a cable is taken out).
  const TraceValues* liveValues() const { return liveValues_.get(); }

  // File and Compare menus, and the Compare box. The file commands ask for a
  // name (Cancel does nothing, except that a cancelled save empties the file name); a
  // file that cannot be read changes nothing and says why.
  void openVnaFile();  // Open Chart .vna
  void openVecFile();  // Open Chart .vec
  void openVna(const std::string& name);
  void openVec(const std::string& name);
  void openRecent(const QString& path);
  void saveChartAs();       // Save Chart as
  void screenToMemory();    // This screen in Memory
  void fileToMemory();      // File in Memory
  void onCompareClicked();  // the user ticked or cleared Compare

  Measurement& measurement() { return m_; }
  const TraceSelection& selection() const { return selection_; }
  chart::ui::SweepChart* chart() const { return chart_; }
  chart::ui::AnalysisPanel* analysisPanel() const { return analysis_; }
  common::ui::JobRunner& runner() { return runner_; }
  const common::SweepControl& sweepControl() const { return sweep_; }
  bool sweeping() const { return runner_.running(); }
  QCheckBox* compareBox() const { return compareCheck_; }
  // File > Save session..., Open session... (analyzer_session.cpp).
  chart::ui::SessionCommands* sessions() const { return sessions_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildMenus();
  // The controls (analyzer_controls.cpp), laid out once by layOut.
  void buildControls();
  void buildChart();
  void buildBoxes();
  void buildQuantityButtons();
  void buildSweepButtons();
  void layOut();
  void layOutChartsFrame();
  void layOutGeneratorFrame();
  // Parts of the window's making (analyzer_window.cpp).
  void setUpMarkers();
  void addExports();
  // ant.ini into the measurement and the boxes.
  void readSettings();
  // The boxes show the span and points of the measurement on the chart.
  void showSweepBoxes();
  void setQuantityScale(int quantity);
  void drawGrid();
  void loadIcon();
  chart::ui::Trace liveTrace(int quantity) const;
  chart::ui::Trace memoryTrace(int quantity) const;
  std::vector<chart::ui::Trace> memoryTraces();
  void showFileName(const std::string& name);
  void showOpenedChart(const ChartData& chart);
  // Stored traces (analyzer_traces.cpp): the list window, the selected
  // quantity to store, .vna charts dropped on the chart, and how they are drawn.
  void setUpStoredTraces();
  std::optional<chart::StoredTrace> traceToStore(std::string* why) const;
  std::optional<chart::StoredTrace> traceFromFile(const std::string& path, std::string* why) const;
  std::vector<chart::ui::Trace> storedChartTraces() const;
  // A new pass: the quantities shown to the min/max hold, the selected one to
  // the log and the strip chart.
  void takeShownPass();
  // The live quantities the limit mask limits (none for a demonstration).
  std::vector<chart::StoredTrace> liveStoredTraces() const;
  std::vector<std::pair<std::string, std::string>> storedVerdictRows() const;
  void setUpSessions();
  void paintCursorValue();
  // The readouts at the cursor (x, y): its frequency, the six quantity readouts, the
  // selected quantity and the cursor line.
  void showReadout(double x, double y);
  // Each shown quantity readout laid over its button, as wide as its text
  // needs, into the room up to the next one shown (the hidden ones between
  // give theirs), never narrower than its button.
  void fitReadouts();
  // A view chosen on the chart (zoom, zoom history).
  void applyView(const chart::View& v);
  // New data: the zoom history starts again at the whole measurement.
  void newHome();
  // Writes to ant.ini the boxes changed since it was last read or written.
  // `tell`: what could not be kept is said (not on the way out).
  void saveSettings(bool tell = true);
  AntIniBoxes shownSettings() const;
  void setStatus(const std::string& text);
  // The calibration kept for this instrument into the figures (none when
  // there is none, or it was measured on another: the status line says why).
  void loadCalibration();
  // The Smith chart and matching windows, when open, follow each redraw and
  // the markers.
  void updateAntennaWindows();
  void raiseAntennaWindow(QWidget* window);
  // The sweep's instrument part (analyzer_sweeping.cpp).
  std::optional<common::PassPlan> planPass(bool fresh) override;
  common::SteppedJob& beginPass(bool firstOfSweep, bool newPlan) override;
  void passCompleted(common::PassAverage& average) override;
  // What a chart printed alone says over it: the sweep, the bridge's figures,
  // the cable taken out.
  QString printHeading() const;
  void passStopped() override;
  void sweepEnded(bool completed) override;
  void leavePort() override;
  void showState() override;

  hw::ui::UiContext& context_;
  Measurement m_;
  TraceSelection selection_;
  // The arrays of the last redraw, which the chart's traces share: the next
  // redraw writes them again in place once the chart has let go of them.
  std::shared_ptr<TraceValues> liveValues_;
  std::shared_ptr<TraceValues> memoryValues_;
  chart::ui::TraceList* storedTraces_ = nullptr;
  chart::ui::SessionCommands* sessions_ = nullptr;
  chart::ui::PassLog* passLog_ = nullptr;  // logging and the strip chart

  // Sweep state: the pass under way and its plan; the passes, their average
  // (on the counts) and the ways out are the controller's.
  common::ui::JobRunner runner_;
  common::SweepControl sweep_{*this, runner_};
  std::unique_ptr<PassJob> job_;
  SweepPlan plan_;
  bool newPlan_ = true;     // the pass under way restarted the average
  bool passShown_ = false;  // the next redraw shows a new pass
  std::unique_ptr<common::ui::AverageBox> average_;

  QWidget* canvas_ = nullptr;
  chart::ui::SweepChart* chart_ = nullptr;
  QFrame* cursorLine_ = nullptr;
  QLabel* fileNameLabel_ = nullptr;
  QLabel* pointsLabel_ = nullptr;
  QLabel* titleLabel_ = nullptr;
  QLineEdit* startEdit_ = nullptr;            // sweep start, MHz
  QLineEdit* stopEdit_ = nullptr;             // sweep stop, MHz
  QLineEdit* pointsEdit_ = nullptr;           // points of a sweep
  QLineEdit* cursorFrequencyEdit_ = nullptr;  // the cursor's frequency, MHz
  QLineEdit* spanCaption_ = nullptr;          // the caption over start and stop
  QLineEdit* fileNameEdit_ = nullptr;         // the chart's file name
  QLineEdit* cursorValueEdit_ = nullptr;      // the selected quantity at the cursor
  QLabel* quantityIcon_ = nullptr;
  QLabel* cursorFrequencyUnit_ = nullptr;
  QCheckBox* compareCheck_ = nullptr;
  QGroupBox* chartsGroup_ = nullptr;
  QGroupBox* generatorGroup_ = nullptr;
  QToolButton* combine_ = nullptr;
  std::array<QToolButton*, kQuantities> quantityButtons_{};
  std::array<QuantityReadout*, kQuantities> quantityReadouts_{};
  QToolButton* singleSweepButton_ = nullptr;
  QToolButton* continuousSweepButton_ = nullptr;
  QButtonGroup* sweepButtons_ = nullptr;
  QToolButton* stop_ = nullptr;
  QProgressBar* progress_ = nullptr;
  common::ui::RecentFiles* recent_ = nullptr;
  QLabel* status_ = nullptr;  // the status line
  QString memoryName_;        // where the memory trace came from, for the legend
  chart::ui::AnalysisPanel* analysis_ = nullptr;
  SmithWindow* smith_ = nullptr;
  MatchingWindow* matching_ = nullptr;
  std::optional<Cable> cable_;
  // What the last redraw's analysis found (none for the demonstration).
  std::optional<SwrAnalysis> lastAnalysis_;
  // The bridge's figures for the intervals: bridge.cfg's, else the published ones.
  BridgeFigures figures_;
  AntIniBoxes stored_;            // ant.ini as last read or written
  bool figuresMeasured_ = false;  // figures_ from a check of this bridge, not the published ones
  bool simulatedData_ = false;    // the traces shown come from the simulator
  bool intervalsComputed_ = true;
  // With a cable: the readings' own values, kept so that a redraw reuses them.
  std::shared_ptr<TraceValues> nearValues_;
};

}  // namespace kolm::analyzer::ui
