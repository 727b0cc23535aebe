#include "analyzer/ui/analyzer_window.h"

namespace kolm::analyzer::ui {

// Not built yet: the launcher tells the user so.
QWidget* createAnalyzerWindow(common::ui::UiContext&) { return nullptr; }

}  // namespace kolm::analyzer::ui
