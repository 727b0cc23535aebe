// The antenna analyzer window: the bridge sweep, its six charts, the cursor
// readout, zoom and the sweep controls. createAnalyzerWindow() makes one; tests
// and benchmarks use the class directly.
#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <array>
#include <memory>

#include "analyzer/charts.h"
#include "analyzer/measurement.h"
#include "analyzer/sweep.h"
#include "chart/chart.h"
#include "chart/ui/analysis_panel.h"
#include "chart/ui/sweep_chart.h"
#include "common/ui/job_runner.h"
#include "common/ui/ui_context.h"

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

namespace kolm::analyzer::ui {

class AnalyzerWindow : public QMainWindow {
  Q_OBJECT
 public:
  explicit AnalyzerWindow(common::ui::UiContext& context, QWidget* parent = nullptr);
  ~AnalyzerWindow() override;

  // Window operations, named as the instrument's users know them.
  void Visualizza();
  void graph_sizing();
  void MisuraSimulata();
  void Graf_Click(int index);
  // Starts a sweep from the boxes: one pass, or passes back to back while
  // Option2 stays selected. False when the boxes were refused (with a message).
  bool Sweep(bool continuous);
  void stopSweep();
  void PrintScreen_Click();

  // File and Compare menus, and the Compare box. The file commands ask for a
  // name (Cancel does nothing, except that a cancelled save empties Text6); a
  // file that cannot be read changes nothing and says why.
  void Mfilevna_Click();  // Open Chart .vna
  void Mfilevec_Click();  // Open Chart .vec
  void openVna(const std::string& name);
  void openVec(const std::string& name);
  void openRecent(const QString& path);
  void Save_Click();      // Save Chart as
  void ScrMem_Click();    // This screen in Memory
  void FilinMem_Click();  // File in Memory
  void Check1_Click();    // the user ticked or cleared Compare

  // Chart mouse events in user units (the chart's signals land here).
  void Pc1_MouseDown(double x, double y, Qt::MouseButton button);
  void Pc1_MouseMove(double x, double y);
  void Pc1_MouseUp(double x, double y, Qt::MouseButton button);
  void Pc1_DblClick();

  Measurement& measurement() { return m_; }
  const TraceSelection& selection() const { return selection_; }
  chart::ui::SweepChart* chart() const { return chart_; }
  chart::ui::AnalysisPanel* analysisPanel() const { return analysis_; }
  common::ui::JobRunner& runner() { return runner_; }
  bool sweeping() const { return runner_.running(); }
  QCheckBox* compareBox() const { return check1_; }
  // The canvas the controls are laid out on (the window's inner area).
  QWidget* canvas() const { return canvas_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildMenus();
  void buildControls();
  void DimensionaScala(int quantity);
  void griglia();
  void loadIcon();
  chart::ui::Trace DisegnaTraccia(int quantity) const;
  chart::ui::Trace DisegnaTracciaComp(int quantity) const;
  std::vector<chart::ui::Trace> Compara();
  void showFileName(const std::string& name);
  void showOpenedChart(const ChartData& chart);
  void paintText9();
  // The readouts at the cursor (x, y): Text4, the six Calc boxes, Text9, Line1.
  void showReadout(double x, double y);
  // A view chosen on the chart (zoom, zoom history).
  void applyView(const chart::View& v);
  // New data: the zoom history starts again at the whole measurement.
  void newHome();
  void setStatus(const std::string& text);
  void onOption1();
  void onOption2();
  void startPass(bool resetDds);
  void onPassFinished(bool completed);
  void endSweep();
  void uncheckOptions();

  common::ui::UiContext& context_;
  Measurement m_;
  TraceSelection selection_;
  chart::RubberBand band_;
  // The arrays of the last redraw, which the chart's traces share: the next
  // redraw writes them again in place once the chart has let go of them.
  std::shared_ptr<TraceValues> liveValues_;
  std::shared_ptr<TraceValues> memoryValues_;

  // Sweep state.
  common::ui::JobRunner runner_;
  std::unique_ptr<ReadWriteJob> job_;
  Channels scratch_;
  SweepPlan plan_;
  bool continuous_ = false;
  bool firstPass_ = true;
  bool pendingSingle_ = false;
  bool pendingContinuous_ = false;

  QWidget* canvas_ = nullptr;
  chart::ui::SweepChart* chart_ = nullptr;
  QFrame* line1_ = nullptr;
  QLabel* label1_ = nullptr;
  QLabel* label4_ = nullptr;
  QLabel* label5_ = nullptr;
  QLineEdit* text_[10] = {};  // Text1..Text9 at their numbers
  QLabel* picture1_ = nullptr;
  QLabel* text4Unit_ = nullptr;
  QCheckBox* check1_ = nullptr;
  QGroupBox* frame1_ = nullptr;
  QGroupBox* frame2_ = nullptr;
  QToolButton* combine_ = nullptr;
  std::array<QToolButton*, kQuantities> graf_{};
  std::array<QLineEdit*, kQuantities> calc_{};
  QToolButton* option1_ = nullptr;
  QToolButton* option2_ = nullptr;
  QButtonGroup* options_ = nullptr;
  QToolButton* stop_ = nullptr;
  QProgressBar* progress_ = nullptr;
  common::ui::RecentFiles* recent_ = nullptr;
  QLabel* status_ = nullptr;  // the status line
  QString memoryName_;        // where the memory trace came from, for the legend
  QElapsedTimer passClock_;
  chart::ui::AnalysisPanel* analysis_ = nullptr;
};

}  // namespace kolm::analyzer::ui
