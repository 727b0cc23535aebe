#include "common/ui/row_fit.h"

#include <QBoxLayout>
#include <QEvent>
#include <QPointer>
#include <QWidget>

namespace kolm::common::ui {

namespace {

// The least width of the row's items side by side, with its margins and
// spacing, whichever way it is laid out now.
int widthSideBySide(QBoxLayout* row) {
  const QMargins m = row->contentsMargins();
  int width = m.left() + m.right(), items = 0;
  for (int i = 0; i < row->count(); ++i) {
    QLayoutItem* item = row->itemAt(i);
    if (item->isEmpty()) continue;
    width += item->minimumSize().width();
    ++items;
  }
  return width + std::max(0, items - 1) * std::max(0, row->spacing());
}

class RowFit : public QObject {
 public:
  RowFit(QBoxLayout* row, QWidget* area) : QObject(area), row_(row), area_(area) {
    area->installEventFilter(this);
    fit();
  }

  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Resize || event->type() == QEvent::LayoutRequest) fit();
    return false;
  }

 private:
  void fit() {
    if (!row_) return;
    const auto direction =
        area_->width() >= widthSideBySide(row_) ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom;
    if (row_->direction() != direction) row_->setDirection(direction);
  }

  QPointer<QBoxLayout> row_;
  QWidget* area_;
};

}  // namespace

void stackWhenNarrow(QBoxLayout* row, QWidget* area) { new RowFit(row, area); }

}  // namespace kolm::common::ui
