#include "chart/ui/analysis_panel.h"

#include <QAction>
#include <QGridLayout>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>
#include <QStyle>
#include <algorithm>

#include "common/ui/screen_fit.h"

namespace kolm::chart::ui {

AnalysisPanel::AnalysisPanel(QWidget* parent) : QDockWidget(tr("Analysis"), parent) {
  setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
              QDockWidget::DockWidgetFloatable);
  auto* body = new QWidget;
  grid_ = new QGridLayout(body);
  grid_->setContentsMargins(6, 4, 6, 4);
  grid_->setVerticalSpacing(2);
  setWidget(body);
}

namespace {

// A value with an interval breaks only before its "±"; one without, where
// its words do.
QString breakable(QString text) {
  const qsizetype pm = text.indexOf(QChar(0x00b1));
  if (pm < 0) return text;
  QString value = text.left(pm).trimmed(), interval = text.mid(pm);
  value.replace(' ', QChar(0x00a0));
  interval.replace(' ', QChar(0x00a0));
  return value + ' ' + interval;
}

}  // namespace

void AnalysisPanel::setRows(const Rows& rows) {
  while (lines_.size() < rows.size()) {
    const int row = static_cast<int>(lines_.size());
    auto* caption = new QLabel;
    auto* value = new QLabel;
    value->setObjectName(QString("analysisValue%1").arg(row));
    value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // A value wider than the panel goes on under itself (an interval under
    // its value) rather than being cut.
    value->setWordWrap(true);
    lines_.emplace_back(caption, value);
  }
  for (size_t i = 0; i < lines_.size(); ++i) {
    const bool used = i < rows.size();
    lines_[i].first->setVisible(used);
    lines_[i].second->setVisible(used);
    if (!used) continue;
    lines_[i].first->setText(QString::fromStdString(rows[i].first));
    lines_[i].second->setText(breakable(QString::fromStdString(rows[i].second)));
  }
  used_ = static_cast<int>(rows.size());
  arrange();
  keepLinesWhole();
}

void AnalysisPanel::keepLinesWhole() {
  auto* window = qobject_cast<QMainWindow*>(parentWidget());
  QWidget* body = widget();
  if (!window || companions_.empty() || window->dockWidgetArea(this) != Qt::RightDockWidgetArea) {
    body->setMinimumHeight(0);
    return;
  }
  // A companion under the panel never squeezes its lines: each value wrapped
  // as it must be at the panel's width, and its interval with it.
  body->layout()->activate();
  const int width = body->width() > 0 ? body->width() : panelWidth_;
  body->setMinimumHeight(body->hasHeightForWidth() ? body->heightForWidth(width)
                                                   : body->sizeHint().height());
}

void AnalysisPanel::setColumns(int columns) {
  columns_ = std::max(1, columns);
  arrange();
}

// Line i goes down the first column, then the next: a caption, its value and a
// gap between pairs.
void AnalysisPanel::arrange() {
  for (auto& [caption, value] : lines_) {
    grid_->removeWidget(caption);
    grid_->removeWidget(value);
  }
  for (int c = 0; c < grid_->columnCount(); ++c) grid_->setColumnStretch(c, 0);
  for (int r = 0; r < grid_->rowCount(); ++r) grid_->setRowStretch(r, 0);
  const int perColumn = std::max(1, (used_ + columns_ - 1) / columns_);
  for (int i = 0; i < static_cast<int>(lines_.size()); ++i) {
    const int row = i % perColumn, column = 3 * (i / perColumn);
    grid_->addWidget(lines_[static_cast<size_t>(i)].first, row, column);
    grid_->addWidget(lines_[static_cast<size_t>(i)].second, row, column + 1);
    grid_->setColumnStretch(column + 1, 1);
    if (column > 0) grid_->setColumnMinimumWidth(column - 1, columns_ > 1 ? 18 : 0);
  }
  grid_->setRowStretch(perColumn, 1);
}

QString AnalysisPanel::value(int row) const {
  // As given: the spaces kept from breaking are spaces again.
  return row >= 0 && row < static_cast<int>(lines_.size())
             ? lines_[row].second->text().replace(QChar(0x00a0), ' ')
             : QString();
}

QString AnalysisPanel::caption(int row) const {
  return row >= 0 && row < static_cast<int>(lines_.size()) ? lines_[row].first->text() : QString();
}

std::vector<QDockWidget*> AnalysisPanel::docks() {
  std::vector<QDockWidget*> all{this};
  all.insert(all.end(), companions_.begin(), companions_.end());
  return all;
}

void AnalysisPanel::addCompanion(QMainWindow* window, QDockWidget* dock) {
  dock->setFeatures(QDockWidget::DockWidgetClosable);
  window->addDockWidget(window->dockWidgetArea(this), dock);
  companions_.push_back(dock);
  QObject::connect(dock, &QDockWidget::visibilityChanged, window, [this] {
    keepLinesWhole();
    refit();
  });
  refit();
}

void AnalysisPanel::place(QMainWindow* window, Qt::DockWidgetArea area) {
  const bool right = area == Qt::RightDockWidgetArea;
  setColumns(right ? 1 : bottomColumns_);
  for (QDockWidget* dock : companions_) {
    // A companion follows the panel: under it at the right, beside it below.
    if (window->dockWidgetArea(dock) != area || dock->isFloating())
      window->splitDockWidget(this, dock, right ? Qt::Vertical : Qt::Horizontal);
  }
  for (QDockWidget* dock : docks()) {
    if (right) {
      dock->setFixedWidth(panelWidth_);
    } else {
      dock->setMinimumWidth(0);
      dock->setMaximumWidth(QWIDGETSIZE_MAX);
    }
  }
}

AnalysisPanel* addAnalysisPanel(QMainWindow* window, const char* name) {
  auto* panel = new AnalysisPanel(window);
  panel->setObjectName(name);
  panel->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
  panel->setAllowedAreas(Qt::RightDockWidgetArea | Qt::BottomDockWidgetArea);
  // The window's controls keep the room they need: a docked panel adds its own
  // to the window's minimum and to the size it opens at.
  const QSize base = window->minimumSize();
  // At the right a fixed width, room for the longest caption and a frequency to
  // the hertz; at the bottom the window's width, the lines in three columns.
  const QFontMetrics metrics = panel->fontMetrics();
  const int panelWidth = metrics.horizontalAdvance("Insertion loss") +
                         metrics.horizontalAdvance("0000.000 000 MHz") + 40;
  const int separator = window->style()->pixelMetric(QStyle::PM_DockWidgetSeparatorExtent) + 4;
  const int width = panelWidth + separator;
  const int bottomColumns = std::max(2, base.width() / (panelWidth + 18));
  constexpr int kMostLines = 12;  // the analyzer's
  const int bottomLines = (kMostLines + bottomColumns - 1) / bottomColumns;
  const int height = (bottomLines + 1) * (metrics.height() + 2) + 16 + separator;
  auto screen = [window] {
    const QScreen* s = window->screen();
    return s ? s->availableGeometry().size() : QSize(1 << 20, 1 << 20);
  };
  auto roomAtRight = [=] { return screen().width() >= base.width() + width + 16; };
  panel->panelWidth_ = panelWidth;
  panel->bottomColumns_ = bottomColumns;
  auto place = [=](Qt::DockWidgetArea area) { panel->place(window, area); };
  auto fit = [=] {
    // A window being destroyed hides its panel from its QWidget part, when it
    // is a main window no more: nothing is fitted then.
    if (!qobject_cast<QMainWindow*>(static_cast<QObject*>(window))) return;
    const auto docks = panel->docks();
    const bool shown =
        std::any_of(docks.begin(), docks.end(), [](QDockWidget* d) { return !d->isHidden(); });
    Qt::DockWidgetArea area = window->dockWidgetArea(panel);
    if (area == Qt::RightDockWidgetArea && !roomAtRight()) {
      area = Qt::BottomDockWidgetArea;
      window->addDockWidget(area, panel);  // fits again through dockLocationChanged
      return;
    }
    place(area);
    // A window scrolled to fit a small screen keeps the screen's size.
    if (common::ui::scrolledToFit(window)) return;
    const bool right = area == Qt::RightDockWidgetArea;
    // Without the height on the screen, the chart gives up the panel's.
    const bool roomBelow = screen().height() >= base.height() + height + 40;
    // A companion shown under the panel adds the least height it needs: the
    // panel keeps the room it has alone.
    int under = 0;
    for (QDockWidget* dock : panel->companions_)
      if (right && !dock->isHidden()) under += dock->minimumSizeHint().height() + separator;
    window->setMinimumSize(base.width() + (shown && right ? width : 0),
                           base.height() + (shown && !right && roomBelow ? height : 0) + under);
  };
  const bool right = roomAtRight();
  window->addDockWidget(right ? Qt::RightDockWidgetArea : Qt::BottomDockWidgetArea, panel);
  place(right ? Qt::RightDockWidgetArea : Qt::BottomDockWidgetArea);
  if (right)
    common::ui::openAtSize(window, window->size() + QSize(width, 0));
  else if (screen().height() >= base.height() + height + 40)
    common::ui::openAtSize(window, window->size() + QSize(0, height));
  else
    panel->hide();  // no room either way: shown on request, the chart gives way
  QObject::connect(panel, &QDockWidget::visibilityChanged, window, fit);
  QObject::connect(panel, &QDockWidget::dockLocationChanged, window, fit);
  panel->fit_ = fit;
  fit();
  QAction* toggle = panel->toggleViewAction();
  toggle->setObjectName(QString(name) + "Toggle");
  toggle->setText(AnalysisPanel::tr("Analysis"));
  window->menuBar()->addAction(toggle);
  return panel;
}

}  // namespace kolm::chart::ui
