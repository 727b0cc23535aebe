#include "chart/ui/analysis_panel.h"

#include <QAction>
#include <QGridLayout>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>

namespace kolm::chart::ui {

AnalysisPanel::AnalysisPanel(QWidget* parent) : QDockWidget(tr("Analysis"), parent) {
  setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
              QDockWidget::DockWidgetFloatable);
  auto* body = new QWidget;
  grid_ = new QGridLayout(body);
  grid_->setContentsMargins(6, 4, 6, 4);
  grid_->setVerticalSpacing(2);
  grid_->setColumnStretch(1, 1);
  setWidget(body);
}

void AnalysisPanel::setRows(const Rows& rows) {
  while (lines_.size() < rows.size()) {
    const int row = static_cast<int>(lines_.size());
    auto* caption = new QLabel;
    auto* value = new QLabel;
    value->setObjectName(QString("analysisValue%1").arg(row));
    value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid_->addWidget(caption, row, 0);
    grid_->addWidget(value, row, 1);
    grid_->setRowStretch(row, 0);
    lines_.emplace_back(caption, value);
  }
  grid_->setRowStretch(static_cast<int>(lines_.size()), 1);
  for (size_t i = 0; i < lines_.size(); ++i) {
    const bool used = i < rows.size();
    lines_[i].first->setVisible(used);
    lines_[i].second->setVisible(used);
    if (!used) continue;
    lines_[i].first->setText(QString::fromStdString(rows[i].first));
    lines_[i].second->setText(QString::fromStdString(rows[i].second));
  }
}

QString AnalysisPanel::value(int row) const {
  return row >= 0 && row < static_cast<int>(lines_.size()) ? lines_[row].second->text() : QString();
}

QString AnalysisPanel::caption(int row) const {
  return row >= 0 && row < static_cast<int>(lines_.size()) ? lines_[row].first->text() : QString();
}

AnalysisPanel* addAnalysisPanel(QMainWindow* window, const char* name) {
  auto* panel = new AnalysisPanel(window);
  panel->setObjectName(name);
  window->addDockWidget(Qt::RightDockWidgetArea, panel);
  QAction* toggle = panel->toggleViewAction();
  toggle->setObjectName(QString(name) + "Toggle");
  toggle->setText(AnalysisPanel::tr("Analysis"));
  window->menuBar()->addAction(toggle);
  return panel;
}

}  // namespace kolm::chart::ui
