#pragma once

#include <QColor>
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "chart/band.h"
#include "chart/stored_trace.h"
#include "chart/zoom.h"
#include "common/sweep_control.h"
#include "common/ui/average_box.h"
#include "common/ui/job_runner.h"
#include "hw/ui/ui_context.h"
#include "powermeter/calibration.h"
#include "powermeter/crystal_fit.h"
#include "powermeter/level.h"
#include "powermeter/measurement.h"
#include "powermeter/reference.h"
#include "powermeter/settings.h"
#include "powermeter/sweep.h"

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QToolButton;
class QGroupBox;

namespace kolm::chart::ui {
class AnalysisPanel;
class PassLog;
class SessionCommands;
class SweepChart;
class TraceList;
struct Trace;
}  // namespace kolm::chart::ui
namespace kolm::common::ui {
class RecentFiles;
}

namespace kolm::powermeter::ui {

class CrystalBatchWindow;
class LadderWindow;

// The chart's labels, and the stored reference level of a loaded chart.
inline const QColor kForeground(192, 192, 192);

// The window, created on first show; it deletes itself when closed (its close
// handler stops a running pass, saves pow.ini and switches the generator off).
QWidget* createPowerMeterWindow(hw::ui::UiContext& context);

class PowerMeterWindow : public QMainWindow, private common::SweptInstrument {
  Q_OBJECT
 public:
  explicit PowerMeterWindow(hw::ui::UiContext& context);
  ~PowerMeterWindow() override;

  // Full redraw: scale, grid, memory trace (while Compare is ticked) and trace.
  Q_INVOKABLE void redraw();

  // Runs one pass as a click on singleSweepButton_ does (a calibration or a crystal
  // measurement starts its sweep here). `whenDone` is called once, when the
  // sweeping ends: true when the last pass ran to its end, false when the sweep
  // was refused or stopped. Returns false, doing nothing, while a job runs.
  bool startSingleSweep(std::function<void(bool completed)> whenDone = {});

  // A sweep pass or a reference table is running.
  bool sweeping() const { return runner_.running(); }
  // The displayed span and level range.
  chart::View view() const { return {m_.viewStartMHz, m_.viewStopMHz, m_.topDbm, m_.bottomDbm}; }
  const std::vector<float>& trace() const { return m_.levels; }
  int16_t points() const { return m_.points; }
  float traceStart() const { return m_.traceStartMHz; }
  float traceStop() const { return m_.traceStopMHz; }
  const Calibration& calibration() const { return calibration_; }
  float r0() const { return r0Ohm_; }
  // The DDS clock the sweeps run at.
  double clockMHz() const;
  const ReferenceTable& levelReference() const { return levelReference_; }
  const ReferenceTable& quartzReference() const { return quartzReference_; }
  float storedReference() const { return m_.storedReference; }
  bool chartFromFile() const { return m_.fromFile; }
  // What a crystal is fitted with here, as kolm-cli fits it: the sweep, the
  // fixture's through path and record (Quartz.cfg as readFixture last read
  // it), R0, the calibration and the clock as dds.cfg states it.
  CrystalFitInput crystalInput(const CrystalSweep& sweep) const;
  // Quartz.cfg read again (another program may have changed it); false, with
  // the reason said, when it cannot be read.
  bool readFixture();
  // Why a crystal's result may not be trusted, and how its intervals narrow
  // here (the menu items that calibrate the detector or measure a loss step).
  std::vector<std::string> crystalWarnings(const CrystalParameters& p,
                                           const CrystalSweep& sweep) const;
  // The load capacitance the crystal meter gives the load resonance at (kolm.ini),
  // none when none is set.
  std::optional<double> crystalLoadPf() const;
  // Takes the load typed (pF; empty: none), or says why not and keeps the one
  // set (false).
  bool setCrystalLoad(const std::string& text);
  // Opens (or brings up) the crystal batch window.
  CrystalBatchWindow* crystalBatch();
  // Opens (or brings up) the ladder filter window.
  LadderWindow* ladderFilter();
  // The start and stop boxes set, the view with them, as if typed.
  void setSweepSpan(double startMHz, double stopMHz);
  // The points the next sweep takes (the points box).
  int pointsToSweep() const;
  // `levels` (dBm, evenly spaced from `start` to `stop` MHz) in memory under
  // `name`, Compare ticked: a prediction to compare the next sweep with,
  // shaded within `band` (its lowest and highest levels) when given.
  void showInMemory(const std::vector<float>& levels, float start, float stop, const QString& name,
                    chart::BandEdges band = {});

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  // The jobs the window runs, one at a time.
  enum class Job { None, Sweep, LevelReference, QuartzReference, LossStep };
  void buildMenus();
  // The controls (power_meter_controls.cpp), laid out once by layOut.
  void buildControls(QWidget* area);
  void buildStatusLine(QWidget* area);
  void buildGenerator(QWidget* area);
  void buildCompareMenu();
  void buildCalibrateMenu();
  void buildCrystalMenu();
  void buildPrintAndSweepItems();
  void addExports();
  void layOut(QWidget* area);
  void readSettings();
  // Writes to pow.ini what this window changed since it last read or wrote it
  // (a box left with a new value, a sweep started): nothing else.
  // `tell`: what could not be kept is said (not on the way out).
  void saveSettings(bool tell = true);
  PowIniTexts shownSettings() const;
  // The sweep's instrument part (power_meter_sweeping.cpp).
  std::optional<common::PassPlan> planPass(bool fresh) override;
  common::SteppedJob& beginPass(bool firstOfSweep, bool newPlan) override;
  void passCompleted(common::PassAverage& average) override;
  void passStopped() override;
  void sweepEnded(bool completed) override;
  void leavePort() override;
  void showState() override;
  void onSingleSweep();
  void onContinuousSweep();
  // The levels of the pass under way shown as the average will hold them.
  void showAveragedPass();
  // "avg 4/16" for the trace of a sweep averaging passes, else empty.
  std::string passesText() const;
  void stopSweep();
  void printScreen();
  // What a chart printed alone says over it: the sweep and the calibration.
  QString printHeading() const;
  void jobFinished(bool completed);
  void updateActions();
  void showReferences();
  void showTrace();
  // The analysis panel: the whole trace analysed, or nothing found while a pass
  // has not covered it yet.
  void showAnalysis();
  void onPointsChanged();
  void onDelayChanged();
  // The span and levels typed in the boxes (Enter in a level box).
  void typedView();
  // A view chosen on the chart (zoom, zoom history): fields and redraw; the
  // boxes keep the sweep.
  void applyView(const chart::View& v);
  // "Sweep this view": the view into the boxes, then a sweep of it.
  void sweepThisView();
  // New data on the chart: the zoom history starts again at this view.
  void newHome();
  // The readouts at the cursor (x, y): the pointer and the traces under it.
  void showReadout(double x, double y);
  void screenToMemory();
  // Levels shown relative to level.rif (the chart files keep them absolute).
  bool normalised() const;
  void setNormalised(bool on);
  void relativeTrace(chart::ui::Trace& t, const LevelLimits& limits) const;
  // Calibration and reference level.
  void calibrateAtZeroDbm();
  void calibrateAtMinus60Dbm();
  void calibrateAt(CalPoint point);
  // The prompts' step that connects `dut` on the simulator; none on a real port.
  common::PromptHelp connectOnSimulator(const std::string& dut);
  void restorePreviousCalibration();
  void chooseCalibrationFrequency();
  // "External signal (generator off)": the calibrations take the user's own
  // signal, the generator left off.
  bool calibratesWithExternalSignal() const;
  // The generator's frequency for the two calibrations (kolm.ini; 10 MHz).
  double calibrationMHz() const;
  // The calibration becomes `after`; the one it replaces is kept for Previous
  // calibration.
  // Stores the calibration `change` makes from the one pow.ini holds, and uses it.
  void changeCalibration(const CalibrationChange& change);
  void restoreDefaultCalibration();
  void measureLevelReference();
  void levelReferenceFinished(bool completed);
  // Crystal meter.
  void measureCrystal();
  void chooseCrystalLoad();
  // The `sweepsDone`-th sweep of a crystal ended: fitted, or (asked once) the
  // crystal found and swept again narrowly.
  void crystalSweepFinished(int sweepsDone);
  void showCrystal(const CrystalParameters& p, const CrystalSweep& sweep,
                   const std::string& extra = {});
  // Loss steps through the fixture (Quartz.cfg).
  void measureLossStep();
  void lossStepFinished(bool completed);
  void forgetLossSteps();
  bool writeFixture();
  void measureQuartzReference();
  void quartzReferenceFinished(bool completed);
  // A pass over the through path's 1601 entries (the fixture's reference or a
  // loss step through it) as the job `kind`, once its words are checked.
  void startThroughPass(Job kind);
  // Such a pass that ended: its job when it ran to its end; otherwise nothing,
  // `stopped` said (and nothing once the window is closed).
  std::unique_ptr<QuartzReferenceJob> endThroughPass(bool completed, const std::string& stopped);
  // Chart files.
  void openChartFile();
  void openChart(const std::string& name);
  void saveChartAs();
  void fileToMemory();
  // Stored traces (power_meter_traces.cpp): the list window, the trace to
  // store, files dropped on the chart.
  void setUpStoredTraces();
  void setUpSessions();  // power_meter_session.cpp
  std::optional<chart::StoredTrace> traceToStore(std::string* why) const;
  std::optional<chart::StoredTrace> traceFromFile(const std::string& path, std::string* why) const;
  // The whole trace as the limit mask judges it (none while it is not whole).
  std::vector<chart::StoredTrace> liveStoredTraces() const;
  // Checks before a reference table pass; empty when it may run.
  std::optional<TableWords> tablePass(int lastIndex);
  QAction* action(const char* name) const;

  hw::ui::UiContext& context_;

  // The trace, its view and the memory trace.
  Measurement m_;
  Calibration calibration_;
  float r0Ohm_ = 0;
  // pow.ini as this window last read or wrote it.
  PowIniTexts stored_;
  // Level reference and the crystal fixture's through path.
  ReferenceTable levelReference_{};
  ReferenceTable quartzReference_{};
  int levelReferenceEntries_ = 0;     // entries of levelReference_ read or measured
  FixtureRecord fixture_;             // Quartz.cfg as last read
  FixtureStep lossStep_;              // the loss step being measured
  bool showQuartzReference_ = false;  // the through-path reference is on the chart
  QString memoryName_;                // where the memory trace came from, for the legend
  chart::BandEdges memoryBand_;       // a computed memory trace's band, or none
  chart::ui::TraceList* storedTraces_ = nullptr;
  chart::ui::SessionCommands* sessions_ = nullptr;
  chart::ui::PassLog* passLog_ = nullptr;  // logging and the strip chart
  double delayMs_ = 0;  // numeric value of delayEdit_, kept current by its change handler

  // One job at a time: a sweep pass or one of the reference tables.
  Job activeJob_ = Job::None;
  std::unique_ptr<SweepJob> job_;
  std::unique_ptr<LevelReferenceJob> levelJob_;
  std::unique_ptr<QuartzReferenceJob> quartzJob_;
  common::ui::JobRunner runner_;
  // The passes, their averaging ring and the ways out; the plan of the pass
  // under way and, while passes are averaged, its own levels.
  common::SweepControl sweep_{*this, runner_};
  SweepPlan plan_{};
  std::vector<float> passLevels_ = std::vector<float>(kTraceSize, 0.f);
  int shownPassLevels_ = 0;
  std::unique_ptr<common::ui::AverageBox> average_;
  bool closed_ = false;
  bool simulatedData_ = false;  // the trace shown comes from the simulator

  chart::ui::SweepChart* chart_ = nullptr;
  QLabel* delayLabel_ = nullptr;
  QLabel* pointsLabel_ = nullptr;
  QLabel* titleLabel_ = nullptr;
  QLineEdit* startEdit_ = nullptr;
  QLineEdit* stopEdit_ = nullptr;
  QLineEdit* pointsEdit_ = nullptr;
  QLineEdit* cursorReadout_ = nullptr;
  QLineEdit* levelReadout_ = nullptr;  // the trace's level at the cursor, in words
  QLineEdit* spanCaption_ = nullptr;
  QLineEdit* fileNameEdit_ = nullptr;
  QLineEdit* delayEdit_ = nullptr;
  QLineEdit* topLevelEdit_ = nullptr;
  QLineEdit* bottomLevelEdit_ = nullptr;
  QToolButton* singleSweepButton_ = nullptr;
  QToolButton* continuousSweepButton_ = nullptr;
  QGroupBox* generatorGroup_ = nullptr;
  QCheckBox* compareCheck_ = nullptr;
  QWidget* sweepPanel_ = nullptr;
  QLabel* status_ = nullptr;  // the status line
  QProgressBar* progress_ = nullptr;
  QAction* stopAction_ = nullptr;
  common::ui::RecentFiles* recent_ = nullptr;
  QPointer<CrystalBatchWindow> batch_;
  QPointer<LadderWindow> ladder_;
  chart::ui::AnalysisPanel* analysis_ = nullptr;
};

}  // namespace kolm::powermeter::ui
