#pragma once

#include <QWidget>

#include "common/ui/ui_context.h"

namespace kolm::sim::ui {

// The window, created on first show; it deletes itself when closed (its close
// handler saves its settings and switches the generator off).
QWidget* createSimulatorWindow(common::ui::UiContext& context);

}  // namespace kolm::sim::ui
