// The "Bands" menu of the swept instruments: the amateur bands of the IARU
// region chosen in it (kept in the program's own settings), each setting the
// start and stop boxes to the band with a margin; bands the clock cannot reach
// are shown but disabled.
#pragma once

#include <functional>

class QAction;
class QLineEdit;
class QMenu;
class QMenuBar;

namespace kolm::common::ui {

// Adds the menu to `bar` before `before`; `maxMHz` gives the highest frequency a sweep may
// reach now (0 when the clock is unknown: every band enabled). `chosen` runs
// after a band has set the boxes.
QMenu* addBandMenu(QMenuBar* bar, QAction* before, QLineEdit* start, QLineEdit* stop,
                   std::function<double()> maxMHz, std::function<void()> chosen = {});

}  // namespace kolm::common::ui
