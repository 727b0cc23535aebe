#pragma once

#include <QWidget>

#include "common/ui/ui_context.h"

namespace kolm::vfo::ui {

// The window, created on first show; it deletes itself when closed (its close
// handler saves its settings and switches the generator off).
QWidget* createVfoWindow(common::ui::UiContext& context);

}  // namespace kolm::vfo::ui
