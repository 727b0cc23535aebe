// Keeps every window whole on the screen it opens on: one filter on the
// application sees each window as it is shown and, where its frame would reach
// past the screen's free area, makes it smaller (never below its minimum size)
// and moves it in. A window that already fits keeps its size and its place; one
// whose minimum size is larger than the screen (a small screen at a large
// scale) shows its content in a scroll area.
// Where the program asks for it, each named window's place is kept when it
// closes and given back when it opens again, but only where the window still
// lies whole on a screen (not after the screen, or its scale, changed).
#pragma once

#include <QList>
#include <QMargins>
#include <QRect>
#include <QSize>
#include <QString>
#include <optional>

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

// True once `window`'s content went into a scroll area to fit its screen: its
// minimum size is then the screen's, and is left so.
bool scrolledToFit(const QWidget* window);

// Brings `window` whole onto its screen's free area, as the filter does.
void fitOnScreen(QWidget* window);

// Installs the filter on the application: every window shown from then on is
// fitted to its screen.
void keepWindowsOnScreen();

// A kept place (the client rectangle) as a window opening now may take it: when
// its frame lies whole in one of `areas` and it is not below `minimum`.
std::optional<QRect> placeStillFitting(QRect kept, QMargins frame, QSize minimum,
                                       const QList<QRect>& areas);

// From now on, the places of the program's windows (those with an object name,
// not dialogs) are kept in the INI file `file` as they close and given back as
// they open, where placeStillFitting allows.
void keepWindowPlaces(const QString& file);

// Sizes a window to `preferred`, but never larger than the screen it opens on
// (at any display scale) nor smaller than its minimum size.
void openAtSize(QWidget* window, QSize preferred);

}  // namespace kolm::common::ui
