// The power meter's sessions: its sweep boxes and averaging, beside the
// markers, stored traces and mask the session commands keep for every chart;
// a calibration of its own named by pow.ini and the checksum of its two counts.
#include <QLineEdit>
#include <QMenu>

#include "chart/ui/session_commands.h"
#include "powermeter/settings.h"
#include "powermeter/ui/power_meter_window.h"

namespace kolm::powermeter::ui {

void PowerMeterWindow::setUpSessions() {
  chart::ui::SessionCommands::Window hooks;
  hooks.capture = [this] {
    chart::Session s;
    chart::ui::sweepFromBoxes(s, startEdit_, stopEdit_, pointsEdit_, average_->passes());
    return s;
  };
  hooks.problem = [](const chart::Session&) { return std::string(); };
  hooks.apply = [this](const chart::Session& s) {
    stopSweep();
    chart::ui::sweepToBoxes(s, startEdit_, stopEdit_, pointsEdit_, average_->edit());
    saveSettings();
  };
  hooks.calibration = [this]() -> std::optional<std::pair<std::string, std::string>> {
    if (calibration_.isDefault()) return std::nullopt;
    return std::pair<std::string, std::string>(kSettingsFile, calibrationRecords(calibration_));
  };
  sessions_ = new chart::ui::SessionCommands(
      findChild<QMenu*>("fileMenu"), findChild<QAction*>("exitAction"), context_.prompter,
      context_.settings, "PowerMeter", "power", chart_, storedTraces_, std::move(hooks));
}

}  // namespace kolm::powermeter::ui
