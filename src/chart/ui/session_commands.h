// The session items of a swept instrument's File menu: "Save session...",
// "Open session..." and "Reopen last session at start" (off by default; the
// tick and the last session saved or opened are kept in kolm.ini at once).
// The markers, stored traces, limit mask, min/max hold and pass log are taken
// from and given to the chart, its trace list and its log here; the window
// says what its sweep and cable (or levels and delay) are and takes them in. The file is the core's
// (chart/session.h), read whole and checked before anything of it is used.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>
#include <string>

#include "chart/session.h"
#include "common/prompter.h"
#include "common/settings_file.h"

class QAction;
class QLineEdit;
class QMenu;

namespace kolm::chart::ui {

class PassLog;
class SweepChart;
class TraceList;

class SessionCommands : public QObject {
  Q_OBJECT
 public:
  struct Window {
    // The window's sweep settings and cable now.
    std::function<Session()> capture;
    // Why `session` cannot be taken as it is (empty when it can); nothing
    // may change before this is asked.
    std::function<std::string(const Session&)> problem;
    // Takes the session's sweep settings and cable in (after `problem` found
    // none).
    std::function<void(const Session&)> apply;
    // The calibration in use: its file's name and the bytes its checksum is
    // taken over; none when there is none.
    std::function<std::optional<std::pair<std::string, std::string>>()> calibration;
    // The window's pass log, kept with the session when there is one.
    PassLog* log = nullptr;
  };

  // The items go into `file` above `exit` and the line over it; `group` is
  // the window's section of kolm.ini ("AntennaAnalyzer"), `instrument`
  // "power" or "analyzer".
  SessionCommands(QMenu* file, QAction* exit, common::Prompter& prompter,
                  const common::SettingsFolder& settings, const QString& group,
                  std::string instrument, SweepChart* chart, TraceList* traces, Window window);

  // Asks for the note and the file name, then writes the session.
  void save();
  bool saveTo(const std::string& path);
  // Asks for a file and opens it.
  void openChosen();
  // The session at `path` in the window; a file that cannot be taken whole is
  // said (file and line) and nothing of it is used. A calibration that no
  // longer matches the one in use is said.
  bool open(const std::string& path);
  // Opens the last session when "Reopen last session at start" is ticked.
  void reopenAtStart();
  const std::string& note() const { return note_; }

 private:
  QString key(const char* name) const { return group_ + "/" + name; }
  void remember(const std::string& path);
  void applyLog(const std::optional<SessionLog>& log);

  common::Prompter& prompter_;
  const common::SettingsFolder& settings_;
  QString group_;
  std::string instrument_;
  SweepChart* chart_;
  TraceList* traces_;
  Window window_;
  std::string note_;
  QAction* reopen_ = nullptr;
};

// The sweep settings of a session from the boxes (each one's last accepted
// number) and the passes averaged.
void sweepFromBoxes(Session& session, const QLineEdit* start, const QLineEdit* stop,
                    const QLineEdit* points, int average);
// The session's sweep settings written into the boxes.
void sweepToBoxes(const Session& session, QLineEdit* start, QLineEdit* stop, QLineEdit* points,
                  QLineEdit* average);

}  // namespace kolm::chart::ui
