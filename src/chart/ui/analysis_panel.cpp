#include "chart/ui/analysis_panel.h"

#include <QAction>
#include <QGridLayout>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>
#include <QStyle>

#include "common/ui/ui_context.h"

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
  // The window's controls keep the width they need: a docked panel adds its own
  // to the window's minimum and to the size it opens at. Where the screen has no
  // room for both, the panel starts hidden and, shown, floats beside the window.
  const int base = window->minimumWidth();
  // A fixed width, room for the longest caption and a frequency to the hertz.
  const QFontMetrics metrics = panel->fontMetrics();
  panel->setFixedWidth(metrics.horizontalAdvance("Insertion loss") +
                       metrics.horizontalAdvance("0000.000 000 MHz") + 40);
  const int width =
      panel->width() + window->style()->pixelMetric(QStyle::PM_DockWidgetSeparatorExtent) + 4;
  auto room = [window, base, width] {
    const QScreen* screen = window->screen();
    return !screen || screen->availableGeometry().width() >= base + width + 16;
  };
  auto fit = [window, panel, base, width, room] {
    const bool docked = !panel->isHidden() && !panel->isFloating();
    if (docked && !room()) {
      panel->setFloating(true);  // fits again through topLevelChanged
      return;
    }
    window->setMinimumWidth(base + (docked ? width : 0));
  };
  if (room())
    common::ui::openAtSize(window, window->size() + QSize(width, 0));
  else
    panel->hide();
  QObject::connect(panel, &QDockWidget::visibilityChanged, window, fit);
  QObject::connect(panel, &QDockWidget::topLevelChanged, window, fit);
  fit();
  QAction* toggle = panel->toggleViewAction();
  toggle->setObjectName(QString(name) + "Toggle");
  toggle->setText(AnalysisPanel::tr("Analysis"));
  window->menuBar()->addAction(toggle);
  return panel;
}

}  // namespace kolm::chart::ui
