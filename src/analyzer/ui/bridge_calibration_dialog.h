// "Calibrate the bridge": the standards measured one by one across the
// analyzer's span, in any order, each with the value stated for it; once all
// are in, the error terms are fitted and kept in bridge-cal.cfg (the one they
// replace kept as the previous), and the analyzer corrects its readings with
// them. The procedure, its files and its faults are analyzer/calibration.h's,
// as kolm-cli bridge-calibrate uses them: this dialog only drives them. Each
// standard is averaged over the passes the analyzer's Average asks for, as
// bridge-calibrate --average does. On the simulated instrument each button
// connects the standard first.
#pragma once

#include <QDialog>
#include <QMargins>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "analyzer/calibration.h"
#include "analyzer/sweep.h"
#include "common/pass_average.h"
#include "common/ui/job_runner.h"

class QGridLayout;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace kolm::analyzer::ui {

class BridgeCalibrationDialog : public QDialog {
  Q_OBJECT
 public:
  // `passes`: how many passes each standard's readings average (1 to 100).
  // `stated`: the bridge's figures the fit starts from (bridge.cfg's or the
  // published ones). `calibrationChanged` is called whenever the calibration
  // in use changes (a new one stored, the previous one back, forgotten).
  BridgeCalibrationDialog(QWidget* parent, hw::Instrument& instrument, const SweepPlan& plan,
                          int passes, common::SettingsFolder& settings, const BridgeFigures& stated,
                          std::function<void()> calibrationChanged);
  ~BridgeCalibrationDialog() override;
  // The pass under way, for tests that must not wait on the event loop.
  common::ui::JobRunner& runner() { return runner_; }

 protected:
  void reject() override;

 private:
  QLabel* buildIntro(bool simulated);
  // Each standard's caption, value box, button and state.
  QGridLayout* buildStandards(bool simulated);
  // Wide enough, where the screen allows, for each standard's words on one line.
  int standardsWidth(const QGridLayout* grid, const QMargins& margins) const;
  // The pass's progress and its Stop.
  QHBoxLayout* buildProgressRow();
  // Previous calibration, Forget and Close.
  QHBoxLayout* buildBottomRow();
  void measure(size_t standard);
  void startPass();
  void endPass();
  void onPassFinished(bool completed);
  // The measured standard joins the run kept in the settings folder; with
  // all in, the calibration is solved and kept. Returns what to tell.
  QString keepMeasured(size_t standard, const MeasuredStandard& measured);
  void usePrevious();
  void forget();
  void showState();
  void setResult(const QString& text);
  // The simulator's own load connected again, when a standard replaced it.
  void reconnectLoad();

  hw::Instrument& instrument_;
  SweepPlan plan_;
  int passes_ = 1;
  int passesDone_ = 0;  // of the standard being measured
  common::PassAverage average_;
  common::SettingsFolder& folder_;
  BridgeFigures stated_;
  std::function<void()> calibrationChanged_;
  CalibrationRun run_;
  std::optional<size_t> measuring_;
  std::optional<StandardValue> measuringValue_;
  std::optional<std::string> simulatorLoad_;  // what the simulator had before a standard
  Channels channels_;
  std::unique_ptr<PassJob> job_;
  common::ui::JobRunner runner_;
  std::vector<QLineEdit*> values_;
  std::vector<QPushButton*> buttons_;
  std::vector<QLabel*> states_;
  QProgressBar* progress_ = nullptr;
  QPushButton* stop_ = nullptr;
  QPushButton* previous_ = nullptr;
  QPushButton* forget_ = nullptr;
  QLabel* inUse_ = nullptr;
  QLabel* result_ = nullptr;
};

}  // namespace kolm::analyzer::ui
