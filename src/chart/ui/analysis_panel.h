// What the analysis of a swept trace found, beside the chart: one line per
// quantity, a caption and the value with its unit (or "none"). A dock of the
// instrument window, shown or hidden from the menu bar: at the chart's right,
// one line under the other, or under the window's controls, the lines side by
// side in columns, where the screen is too narrow for both.
#pragma once

#include <QDockWidget>
#include <functional>
#include <string>
#include <utility>
#include <vector>

class QLabel;
class QMainWindow;
class QGridLayout;

namespace kolm::chart::ui {

class AnalysisPanel;
AnalysisPanel* addAnalysisPanel(QMainWindow* window, const char* name);

class AnalysisPanel : public QDockWidget {
  Q_OBJECT
 public:
  explicit AnalysisPanel(QWidget* parent = nullptr);
  using Rows = std::vector<std::pair<std::string, std::string>>;
  void setRows(const Rows& rows);
  // The value shown on line `row` (for tests and accessibility).
  QString value(int row) const;
  QString caption(int row) const;
  // How many caption-value pairs stand side by side (1 in the right dock).
  void setColumns(int columns);
  int columns() const { return columns_; }
  // Another dock that keeps the panel company (the stored traces): under it
  // at the chart's right, as wide; beside it below the chart. Either shown
  // takes the room from the window as the panel does.
  void addCompanion(QMainWindow* window, QDockWidget* dock);
  const std::vector<QDockWidget*>& companions() const { return companions_; }
  // The panel and its companions.
  std::vector<QDockWidget*> docks();
  // The window's minimum and the docks' widths fitted again to which of them
  // are shown and where.
  void refit() {
    if (fit_) fit_();
  }

 private:
  friend AnalysisPanel* addAnalysisPanel(QMainWindow* window, const char* name);
  void arrange();
  // Under the panel at the right, a companion takes the height its lines leave.
  void keepLinesWhole();
  // At the right, one column and the docks `panelWidth_` wide; below the
  // chart, `bottomColumns_` and the window's width.
  void place(QMainWindow* window, Qt::DockWidgetArea area);

  QGridLayout* grid_ = nullptr;
  int columns_ = 1;
  int used_ = 0;  // lines shown
  std::vector<std::pair<QLabel*, QLabel*>> lines_;
  std::vector<QDockWidget*> companions_;
  std::function<void()> fit_;  // the window's minimum for where the docks are
  int panelWidth_ = 0, bottomColumns_ = 2;
};

// An analysis panel docked at the right of `window` (objectName `name`), and a
// checkable "Analysis" item in its menu bar that shows or hides it. Call it once
// the window has its minimum and opening sizes: the docked panel widens both.
// Where the screen has no room for the window and the panel side by side, the
// panel docks at the bottom in columns and adds to the window's height instead;
// it never floats over the window's controls.
AnalysisPanel* addAnalysisPanel(QMainWindow* window, const char* name);

}  // namespace kolm::chart::ui
