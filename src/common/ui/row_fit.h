// A row of frames under a chart that goes over to a column where the window
// gives it less width than they need side by side (a window manager that holds
// the window below its minimum, a docked panel taking the width): each frame
// keeps the width its captions and boxes need, none laid over another.
#pragma once

class QBoxLayout;
class QWidget;

namespace kolm::common::ui {

// Lays `row` (inside `area`) left to right while `area` is wide enough for its
// items' least widths side by side, else top to bottom; followed on every
// resize of `area`.
void stackWhenNarrow(QBoxLayout* row, QWidget* area);

}  // namespace kolm::common::ui
