#pragma once

#include <QWidget>

#include "hw/ui/ui_context.h"

namespace kolm::sim::ui {

// The Simulator window (objectName "simulatorWindow"): what the simulated instrument
// has between generator and detector and on the bridge, from ready choices or
// typed; which board it models (typical or ideal, BoardChoice); and its quartz,
// which follows Parameters unless set apart (QuartzApart, QuartzText). Apply
// connects it to the running simulator and keeps it in sim.cfg; a malformed
// text is shown as an error and changes nothing. The window deletes
// itself when closed, asking first when a change has not been applied.
QWidget* createSimulatorWindow(hw::ui::UiContext& context);

// Connects `dut` between generator and detector of the simulator in use (the
// rest as it is), keeps it in sim.cfg as Apply does, and says in words what
// was done (or why nothing was). An open Simulator window shows it.
std::string connectOnSimulator(hw::ui::UiContext& context, const std::string& dut);
// The caption of the prompts' button that does so.
QString connectOnSimulatorCaption();

}  // namespace kolm::sim::ui
