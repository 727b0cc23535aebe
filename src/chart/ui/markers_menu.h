// The Markers menu both swept instruments put on their menu bar: a marker at a
// typed frequency, the extreme searches, the delta pair, and removal.
#pragma once

#include <QString>

class QAction;
class QMenu;
class QMenuBar;

namespace kolm::common {
class Prompter;
}

namespace kolm::chart::ui {

class SweepChart;

// Adds "Markers" (objectName "markersMenu") to `bar`, before the item `before`
// (at the end without one). `searched` names what the extreme searches look
// at ("level", "the selected quantity").
QMenu* addMarkersMenu(QMenuBar* bar, QAction* before, SweepChart* chart, common::Prompter& prompter,
                      const QString& searched);

}  // namespace kolm::chart::ui
