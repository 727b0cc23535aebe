// The Bands menu both swept instruments put on their menu bar: the amateur
// bands of the three IARU regions, each setting the start and stop boxes to
// the band with a margin either side.
#pragma once

#include <functional>

class QAction;
class QLineEdit;
class QMenu;
class QMenuBar;

namespace kolm::common::ui {

// Adds "Bands" (objectName "bandsMenu") to `bar` before `before` (at the end
// without one): a submenu per region ("regionNMenu"), an item per band
// ("regionRBandNAME", e.g. "region1Band20m"). A band whose span reaches half of
// `clockMHz()` or beyond is disabled. A click writes the span into `start`
// and `stop` (as the boxes show numbers) and then calls `chosen`.
QMenu* addBandsMenu(QMenuBar* bar, QAction* before, QLineEdit* start, QLineEdit* stop,
                    std::function<double()> clockMHz, std::function<void()> chosen = {});

}  // namespace kolm::common::ui
