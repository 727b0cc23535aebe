// "Check the bridge": a 50 ohm load, an open and a short measured across the
// analyzer's span, one button each, in any order; once all three are in, the
// figures found are kept (bridge.cfg) and the readings' intervals use them.
#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <optional>

#include "analyzer/bridge_check.h"
#include "analyzer/sweep.h"
#include "common/ui/job_runner.h"

class QGridLayout;
class QHBoxLayout;
class QLabel;
class QProgressBar;
class QPushButton;

namespace kolm::analyzer::ui {

class BridgeCheckDialog : public QDialog {
 public:
  // `figuresChanged` is called with the figures in use whenever they change
  // (found by the check, or the published ones brought back).
  BridgeCheckDialog(QWidget* parent, hw::Instrument& instrument, const SweepPlan& plan,
                    common::SettingsFolder& settings,
                    std::function<void(const BridgeFigures&)> figuresChanged);
  ~BridgeCheckDialog() override;
  // The pass under way, for tests that must not wait on the event loop.
  common::ui::JobRunner& runner() { return runner_; }

 protected:
  void reject() override;

 private:
  // A button and a state for each standard.
  QGridLayout* buildStandards();
  // The pass's progress and its Stop.
  QHBoxLayout* buildProgressRow();
  void measure(Standard standard);
  void endPass();
  void onPassFinished(bool completed);
  void forget();
  void showState();
  void setResult(const QString& text);

  hw::Instrument& instrument_;
  SweepPlan plan_;
  common::SettingsFolder& folder_;
  std::function<void(const BridgeFigures&)> figuresChanged_;
  BridgeCheckRun run_;
  bool runUnreadable_ = false;
  bool stored_ = false;  // the run's figures are kept; the next measure starts afresh
  std::optional<Standard> measuring_;
  Channels channels_;
  std::unique_ptr<PassJob> job_;
  common::ui::JobRunner runner_;
  QPushButton* buttons_[kStandards]{};
  QLabel* states_[kStandards]{};
  QProgressBar* progress_ = nullptr;
  QPushButton* stop_ = nullptr;
  QPushButton* forget_ = nullptr;
  QLabel* result_ = nullptr;
};

}  // namespace kolm::analyzer::ui
