// The analyzer's sessions: its sweep boxes, averaging and cable, beside the
// markers, stored traces and mask the session commands keep for every chart;
// the bridge calibration in use named by its file and checksum.
#include <QLineEdit>
#include <QMenu>

#include "analyzer/calibration.h"
#include "analyzer/ui/analyzer_view.h"
#include "chart/ui/session_commands.h"

namespace kolm::analyzer::ui {

void AnalyzerWindow::setUpSessions() {
  chart::ui::SessionCommands::Window hooks;
  hooks.capture = [this] {
    chart::Session s;
    chart::ui::sweepFromBoxes(s, startEdit_, stopEdit_, pointsEdit_, average_->passes());
    if (cable_) s.cable = cableSpec(*cable_);
    return s;
  };
  hooks.problem = [](const chart::Session& s) {
    std::string why;
    if (!s.cable.empty() && !parseCable(s.cable, &why)) return why;
    return std::string();
  };
  hooks.apply = [this](const chart::Session& s) {
    stopSweep();
    chart::ui::sweepToBoxes(s, startEdit_, stopEdit_, pointsEdit_, average_->edit());
    saveSettings();
    std::string why;
    setCable(s.cable.empty() ? std::nullopt : parseCable(s.cable, &why));
  };
  hooks.calibration = [this]() -> std::optional<std::pair<std::string, std::string>> {
    if (!figures_.calibration) return std::nullopt;
    return std::pair<std::string, std::string>(kCalibrationFile,
                                               formatCalibration(*figures_.calibration));
  };
  hooks.log = passLog_;
  sessions_ = new chart::ui::SessionCommands(
      findChild<QMenu*>("fileMenu"), findChild<QAction*>("exitAction"), context_.prompter,
      context_.settings, "AntennaAnalyzer", "analyzer", chart_, storedTraces_, std::move(hooks));
}

}  // namespace kolm::analyzer::ui
