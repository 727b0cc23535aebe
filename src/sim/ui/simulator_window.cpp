#include "sim/ui/simulator_window.h"

namespace kolm::sim::ui {

// Not built yet: the launcher tells the user so.
QWidget* createSimulatorWindow(common::ui::UiContext&) { return nullptr; }

}  // namespace kolm::sim::ui
