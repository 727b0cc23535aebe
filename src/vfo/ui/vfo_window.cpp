#include "vfo/ui/vfo_window.h"

namespace kolm::vfo::ui {

// Not built yet: the launcher tells the user so.
QWidget* createVfoWindow(common::ui::UiContext&) { return nullptr; }

}  // namespace kolm::vfo::ui
