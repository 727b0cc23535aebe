#include "chart/ui/session_commands.h"

#include <QAction>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <algorithm>
#include <cmath>

#include "chart/ui/pass_log.h"
#include "chart/ui/sweep_chart.h"
#include "chart/ui/trace_list.h"
#include "common/files.h"
#include "common/text.h"
#include "common/ui/number_field.h"
#include "common/ui/qt_text.h"
#include "common/ui/recent_files.h"

namespace kolm::chart::ui {

namespace {
constexpr const char* kFilter = "session kolms(*.kolms)|*.kolms";
using common::ui::text;
}  // namespace

SessionCommands::SessionCommands(QMenu* file, QAction* exit, common::Prompter& prompter,
                                 const common::SettingsFolder& settings, const QString& group,
                                 std::string instrument, SweepChart* chart, TraceList* traces,
                                 Window window)
    : QObject(file),
      prompter_(prompter),
      settings_(settings),
      group_(group),
      instrument_(std::move(instrument)),
      chart_(chart),
      traces_(traces),
      window_(std::move(window)) {
  QAction* before = exit;
  const QList<QAction*> items = file->actions();
  if (const qsizetype at = items.indexOf(exit); at > 0 && items[at - 1]->isSeparator())
    before = items[at - 1];
  file->insertSeparator(before);
  auto add = [&](const char* name, const QString& caption) {
    auto* a = new QAction(caption, file);
    a->setObjectName(name);
    file->insertAction(before, a);
    return a;
  };
  connect(add("saveSessionAction", tr("Save session...")), &QAction::triggered, this,
          &SessionCommands::save);
  connect(add("openSessionAction", tr("Open session...")), &QAction::triggered, this,
          &SessionCommands::openChosen);
  reopen_ = add("reopenSessionAction", tr("Reopen last session at start"));
  reopen_->setCheckable(true);
  reopen_->setChecked(
      common::ui::uiSettings(settings_).value(key("reopenSession"), false).toBool());
  connect(reopen_, &QAction::toggled, this, [this](bool on) {
    common::ui::uiSettings(settings_).setValue(key("reopenSession"), on);
  });
}

void SessionCommands::save() {
  const auto note =
      prompter_.input(text(tr("Save session")),
                      text(tr("A note kept with the session (it may stay empty):")), note_);
  if (!note) return;
  std::string path = prompter_.saveFileName(text(tr("Save session")), kFilter);
  if (path.empty()) return;
  if (QFileInfo(QString::fromStdString(path)).suffix().isEmpty()) path += ".kolms";
  note_ = *note;
  saveTo(path);
}

bool SessionCommands::saveTo(const std::string& path) {
  Session s = window_.capture();
  s.instrument = instrument_;
  for (const MarkerSet::Marker& m : chart_->markers().markers()) s.markers.push_back(m.x);
  if (traces_->mask()) s.mask = *traces_->mask();
  s.traces = traces_->traces();
  s.hold = traces_->holding();
  if (PassLog* log = window_.log; log && (log->logging() || log->markerOnly()))
    s.log = SessionLog{log->markerOnly(), log->logging() ? log->path() : std::string()};
  s.note = note_;
  s.calibration.reset();
  if (const auto cal = window_.calibration())
    s.calibration = CalibrationRef{cal->first, fnv1a64(cal->second)};
  std::string error;
  if (!common::writeFileAtomic(path, formatSession(s), &error)) {
    prompter_.message(text(tr("The session was not saved: %1").arg(QString::fromStdString(error))),
                      common::Icon::Critical);
    return false;
  }
  remember(path);
  return true;
}

void SessionCommands::openChosen() {
  const std::string path = prompter_.openFileName(text(tr("Open session")), kFilter);
  if (!path.empty()) open(path);
}

bool SessionCommands::open(const std::string& path) {
  const SessionRead read = readSession(path, instrument_);
  std::string why = read.error;
  if (read.session) {
    if (std::string problem = window_.problem(*read.session); !problem.empty())
      why = text(QFileInfo(QString::fromStdString(path)).fileName()) + ": " + problem;
  }
  if (!why.empty()) {
    prompter_.message(text(tr("The session was not opened: %1. Nothing of it was used.")
                               .arg(QString::fromStdString(why))),
                      common::Icon::Warning);
    return false;
  }
  const Session& s = *read.session;
  note_ = s.note;
  window_.apply(s);
  chart_->clearMarkers();
  for (double x : s.markers) chart_->addMarker(x);
  traces_->replace(s.traces, s.mask.segments.empty() ? std::nullopt : std::optional(s.mask));
  traces_->holdAction()->setChecked(s.hold);
  applyLog(s.log);
  remember(path);
  std::optional<std::string> bytes;
  if (const auto cal = window_.calibration()) bytes = cal->second;
  if (const std::string differs = calibrationMismatch(s, bytes); !differs.empty())
    prompter_.message(text(tr("The session was opened, but %1: its readings are "
                              "computed with the calibration in use now.")
                               .arg(QString::fromStdString(differs))),
                      common::Icon::Warning);
  return true;
}

void SessionCommands::applyLog(const std::optional<SessionLog>& wanted) {
  PassLog* log = window_.log;
  if (!log) return;
  log->setMarkerOnly(wanted && wanted->markerOnly);
  const std::string path = wanted ? wanted->path : std::string();
  if (log->logging() && log->path() == path) return;
  // What was logged stays in its file; a log that cannot be taken up is said.
  log->stop();
  if (!path.empty()) log->start(path);
}

void SessionCommands::reopenAtStart() {
  if (!reopen_->isChecked()) return;
  const QString last = common::ui::uiSettings(settings_).value(key("lastSession")).toString();
  if (!last.isEmpty()) open(last.toStdString());
}

void sweepFromBoxes(Session& s, const QLineEdit* start, const QLineEdit* stop,
                    const QLineEdit* points, int average) {
  const double from = common::ui::lastNumberIn(start), to = common::ui::lastNumberIn(stop);
  const double n = common::ui::lastNumberIn(points);
  if (std::isfinite(from)) s.startMHz = from;
  if (std::isfinite(to)) s.stopMHz = to;
  if (std::isfinite(n)) s.points = static_cast<int>(std::clamp(std::round(n), 1.0, 20001.0));
  s.average = std::clamp(average, 1, 100);
}

void sweepToBoxes(const Session& s, QLineEdit* start, QLineEdit* stop, QLineEdit* points,
                  QLineEdit* average) {
  start->setText(QString::fromStdString(common::shortestText(s.startMHz)));
  stop->setText(QString::fromStdString(common::shortestText(s.stopMHz)));
  points->setText(QString::number(s.points));
  average->setText(QString::number(s.average));
}

void SessionCommands::remember(const std::string& path) {
  common::ui::uiSettings(settings_).setValue(
      key("lastSession"), QFileInfo(QString::fromStdString(path)).absoluteFilePath());
}

}  // namespace kolm::chart::ui
