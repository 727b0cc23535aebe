// A window's chart as the print dialog's "Chart only" prints it.
#pragma once

#include <QPainter>
#include <QSize>
#include <functional>

namespace kolm::common::ui {

// Its size on the screen with its title line, and how it paints itself whole
// (title line and chart) into a size in the same units.
struct PrintChart {
  QSize size;
  std::function<void(QPainter&, const QSize&)> paint;
};

}  // namespace kolm::common::ui
