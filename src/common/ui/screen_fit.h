// Keeps every window whole on the screen it opens on: one filter on the
// application sees each window as it is shown and, where its frame would reach
// past the screen's free area, makes it smaller (never below its minimum size)
// and moves it in. A window that already fits keeps its size and its place.
#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>

class QWidget;

namespace kolm::common::ui {

// The frame the window manager draws round a window, as far as it is known:
// the window's own frame once it has been shown, before that a usual title bar
// and border.
QMargins frameMargins(const QWidget* window);

// Where a window of `size` (its frame `frame` round it) placed at `place` goes
// so that the frame lies inside `area`: the size held to the room the area
// leaves (not below `minimum`), the place moved in as little as it takes.
// Returns the client rectangle.
QRect fittedGeometry(QRect place, QMargins frame, QSize minimum, QRect area);

// Brings `window` whole onto its screen's free area, as the filter does.
void fitOnScreen(QWidget* window);

// Installs the filter on the application: every window shown from then on is
// fitted to its screen.
void keepWindowsOnScreen();

}  // namespace kolm::common::ui
