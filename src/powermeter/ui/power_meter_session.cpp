// The power meter's sessions: its sweep boxes, averaging, chart levels and
// delay, beside what the session commands keep for every chart;
// a calibration of its own named by pow.ini and the checksum of its two counts.
#include <QLineEdit>
#include <QMenu>

#include <cmath>

#include "chart/ui/session_commands.h"
#include "common/text.h"
#include "common/ui/number_field.h"
#include "powermeter/settings.h"
#include "powermeter/sweep.h"
#include "powermeter/ui/power_meter_window.h"

namespace kolm::powermeter::ui {

void PowerMeterWindow::setUpSessions() {
  chart::ui::SessionCommands::Window hooks;
  hooks.capture = [this] {
    chart::Session s;
    chart::ui::sweepFromBoxes(s, startEdit_, stopEdit_, pointsEdit_, average_->passes());
    const double top = common::ui::lastNumberIn(topLevelEdit_),
                 bottom = common::ui::lastNumberIn(bottomLevelEdit_);
    if (std::isfinite(top) && std::isfinite(bottom)) s.levels = std::pair(top, bottom);
    s.delayMs = delayMs_;
    return s;
  };
  hooks.problem = [](const chart::Session& s) {
    if (s.delayMs)
      if (auto why = delayLimitMessage(*s.delayMs)) return *why;
    return std::string();
  };
  hooks.apply = [this](const chart::Session& s) {
    stopSweep();
    chart::ui::sweepToBoxes(s, startEdit_, stopEdit_, pointsEdit_, average_->edit());
    if (s.levels) {
      m_.topDbm = static_cast<float>(s.levels->first);
      m_.bottomDbm = static_cast<float>(s.levels->second);
      topLevelEdit_->setText(QString::fromStdString(common::shortestText(s.levels->first)));
      bottomLevelEdit_->setText(QString::fromStdString(common::shortestText(s.levels->second)));
    }
    if (s.delayMs) delayEdit_->setText(QString::fromStdString(common::shortestText(*s.delayMs)));
    saveSettings();
    redraw();
  };
  hooks.calibration = [this]() -> std::optional<std::pair<std::string, std::string>> {
    if (calibration_.isDefault()) return std::nullopt;
    return std::pair<std::string, std::string>(kSettingsFile, calibrationRecords(calibration_));
  };
  hooks.log = passLog_;
  sessions_ = new chart::ui::SessionCommands(
      findChild<QMenu*>("fileMenu"), findChild<QAction*>("exitAction"), context_.prompter,
      context_.settings, "PowerMeter", "power", chart_, storedTraces_, std::move(hooks));
}

}  // namespace kolm::powermeter::ui
