#pragma once

#include <QWidget>

#include "hw/ui/ui_context.h"

namespace kolm::analyzer::ui {

// The window, created on first show; it deletes itself when closed (its close
// handler saves its settings and switches the generator off).
QWidget* createAnalyzerWindow(hw::ui::UiContext& context);

}  // namespace kolm::analyzer::ui
