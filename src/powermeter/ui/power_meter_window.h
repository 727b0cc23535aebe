#pragma once

#include <QMainWindow>
#include <QPointer>
#include <memory>
#include <vector>

#include "chart/zoom.h"
#include "common/ui/job_runner.h"
#include "common/ui/ui_context.h"
#include "powermeter/level.h"
#include "powermeter/sweep.h"

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QToolButton;
class QGroupBox;

namespace kolm::chart::ui {
class SweepChart;
}

namespace kolm::powermeter::ui {

// The window, created on first show; it deletes itself when closed (its close
// handler stops a running pass, saves pow.ini and switches the generator off).
QWidget* createPowerMeterWindow(common::ui::UiContext& context);

class PowerMeterWindow : public QMainWindow {
  Q_OBJECT
 public:
  explicit PowerMeterWindow(common::ui::UiContext& context);
  ~PowerMeterWindow() override;

  // Full redraw: scale, grid, memory trace (while Compare is ticked) and trace.
  Q_INVOKABLE void Visualizza();

  bool sweeping() const { return runner_.running(); }
  // The displayed span and level range.
  chart::View view() const { return {ViewStart, ViewStop, LevelTop, LevelBottom}; }
  const std::vector<float>& trace() const { return Traccia; }
  int16_t points() const { return Points; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildMenus();
  void buildControls(QWidget* area);
  void ReadVar();
  void SaveVar();
  void DisponiControlli();
  void EseguiSweep();
  void option1Clicked();
  void option2Clicked();
  void passFinished(bool completed);
  void stopSweep();
  void endSweeping();
  void showTrace();
  void Text3_Change();
  void Text7_Change();
  void mouseDown(double x, double y, Qt::MouseButton button);
  void mouseMove(double x, double y);
  void mouseUp(double x, double y, Qt::MouseButton button);
  void dblClick();
  void ScrMem_Click();

  common::ui::UiContext& context_;

  // The sweep and its view.
  int16_t Points = 1000;
  float ViewStart = 3, ViewStop = 30;
  float TraceStart = 3, TraceStop = 3;
  float LevelTop = 20, LevelBottom = -80;
  std::vector<float> Traccia = std::vector<float>(kTraceSize, 0.f);
  Calibration calibration_;
  float R0 = 0;
  bool GraficoDaFile = false;
  // Memory trace.
  int16_t MemPoints = 0;
  float MemStart = 0, MemStop = 0;
  std::vector<float> MemTraccia = std::vector<float>(kTraceSize, 0.f);

  // Leading levels of Traccia that belong to the trace's span and points: none
  // before the first pass; during a pass the points measured so far, or all of
  // them when the previous pass covered the same points (its levels stand
  // beyond the sweep until they are measured again).
  int validLevels_ = 0;
  double delayMs_ = 0;  // numeric value of Text7, kept current by its change handler

  std::unique_ptr<SweepJob> job_;
  common::ui::JobRunner runner_;
  bool pendingSingle_ = false;
  bool closed_ = false;
  chart::RubberBand band_;

  QWidget* area_ = nullptr;
  chart::ui::SweepChart* Pc1 = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Label4 = nullptr;
  QLabel* Label5 = nullptr;
  QLineEdit* Text1 = nullptr;
  QLineEdit* Text2 = nullptr;
  QLineEdit* Text3 = nullptr;
  QLineEdit* Text4 = nullptr;
  QLineEdit* Text5 = nullptr;
  QLineEdit* Text6 = nullptr;
  QLineEdit* Text7 = nullptr;
  QLineEdit* Text8 = nullptr;
  QLineEdit* Text9 = nullptr;
  QToolButton* Option1 = nullptr;
  QToolButton* Option2 = nullptr;
  QGroupBox* Frame2 = nullptr;
  QCheckBox* Check1 = nullptr;
  QWidget* sweepPanel_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QAction* stopAction_ = nullptr;
};

}  // namespace kolm::powermeter::ui
