// How the analyzer window shows its six quantities: their short names and
// colours, and text that reads on a quantity's colour.
#pragma once

#include <QColor>
#include <QPalette>
#include <QWidget>
#include <array>

#include "analyzer/charts.h"
#include "chart/ui/sweep_chart.h"

namespace kolm::analyzer::ui {

// Short names on the quantity buttons.
inline constexpr std::array<const char*, kQuantities> kQuantityCaptions{"RL", "PH", "|Z|",
                                                                        "R",  "X",  "SWR"};

inline QColor traceColour(int quantity) { return chart::ui::paletteQColor(kColorTable[quantity]); }

// Black or white, whichever reads better on `colour`.
inline QColor ink(const QColor& colour) {
  const double luminance = 0.299 * colour.red() + 0.587 * colour.green() + 0.114 * colour.blue();
  return luminance > 128 ? Qt::black : Qt::white;
}

inline void setBackground(QWidget* w, const QColor& colour) {
  QPalette p = w->palette();
  p.setColor(QPalette::Base, colour);
  p.setColor(QPalette::Button, colour);
  p.setColor(QPalette::Text, ink(colour));
  w->setPalette(p);
}

}  // namespace kolm::analyzer::ui
