#pragma once

#include <QWidget>

#include "hw/ui/ui_context.h"

namespace kolm::vfo::ui {

// The window, created on first show; it deletes itself when closed (its close
// handler saves its settings and switches the generator off).
QWidget* createVfoWindow(hw::ui::UiContext& context);

}  // namespace kolm::vfo::ui
