// The stored traces of a swept instrument's chart: a list docked beside it
// (dockTraceList) that shows them (each shown or hidden by its box, in its colour, under its
// name), keeps the trace the window hands it ("Store trace"), takes the
// difference or ratio of the two chosen ones, and removes one. The window
// draws the shown ones (chartTraces) with their interval bands and marks.
#pragma once

#include <QWidget>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "chart/hold.h"
#include "chart/limit_mask.h"
#include "chart/stored_trace.h"
#include "chart/ui/sweep_chart.h"
#include "common/prompter.h"

class QAction;
class QDockWidget;
class QListWidget;
class QMainWindow;
class QMenu;
class QPushButton;

namespace kolm::common {
class SettingsFolder;
}

namespace kolm::chart::ui {

// A stored trace as the chart draws it: in its colour, with its band where
// every point has a bounded interval, and its marks.
Trace chartTrace(const StoredTrace& trace);

class TraceList : public QWidget {
  Q_OBJECT
 public:
  // `current` gives the window's trace to store, or empty with the reason;
  // `reflections`: the traces hold the load's reflection (the analyzer's),
  // and "Complex difference" takes the distance of two traces' reflections.
  TraceList(common::Prompter& prompter,
            std::function<std::optional<StoredTrace>(std::string* why)> current,
            bool reflections = false, QWidget* parent = nullptr);

  void add(StoredTrace trace);
  // A dropped file read into a trace, or empty with the reason.
  using FileReader =
      std::function<std::optional<StoredTrace>(const std::string& path, std::string* why)>;
  // Files dropped on `chart` are read by `read`: each one read is stored, each
  // other one said with its reason; the list (its dock) is shown after a drop.
  void takeDropsFrom(SweepChart* chart, FileReader read);
  const std::vector<StoredTrace>& traces() const { return traces_; }
  // The traces and the mask of a session, in place of those held.
  void replace(std::vector<StoredTrace> traces, std::optional<LimitMask> mask);
  // The shown traces as the chart draws them; `dress` may add what the
  // window's chart needs (the analyzer: the quantity's own scale).
  std::vector<Trace> chartTraces(
      const std::function<void(Trace&, const StoredTrace&)>& dress = {}) const;

  // Min/max hold: while on, every pass given to takePass is held per
  // quantity, and the held highest and lowest readings of the quantities of
  // the last pass are drawn with the stored traces (the window redraws after
  // a pass). Turned off, it is cleared.
  void setHold(bool on);
  bool holding() const { return holding_; }
  // "Min/max hold", ticked while it is on: for the window's Compare menu.
  QAction* holdAction() const { return holdAction_; }
  void takePass(const std::vector<StoredTrace>& live);
  const TraceHold* hold(const std::string& quantity) const;

  // The limit mask: opened from a file (the button "Limit mask..."); a file
  // that cannot be read whole is said and the mask in use stays.
  void openMask();
  bool setMask(const std::string& path);
  const std::optional<LimitMask>& mask() const { return mask_; }
  // The mask's lines, each in the colour of the verdict of `live`'s points
  // under it (green pass, red fail, amber indeterminate).
  std::vector<Trace> maskTraces(
      const std::vector<StoredTrace>& live,
      const std::function<void(Trace&, const StoredTrace&)>& dress = {}) const;
  // "Limits (QUANTITY):" and the verdict of each live trace the mask limits.
  std::vector<std::pair<std::string, std::string>> verdictRows(
      const std::vector<StoredTrace>& live) const;

  void storeCurrent();
  void removeChosen();
  // The first chosen trace minus (or over, or the distance of its reflections
  // from those of) the second; with one chosen, it against the trace stored
  // before it.
  void combineChosen(TraceOperation operation);

 signals:
  void changed();

 private:
  void refill();
  void addFiles(const QStringList& paths);
  std::vector<int> chosen() const;

  common::Prompter& prompter_;
  std::function<std::optional<StoredTrace>(std::string*)> current_;
  FileReader readFile_;
  std::vector<StoredTrace> traces_;
  std::vector<Trace> drawn_;  // each of traces_ as the chart draws it
  std::optional<LimitMask> mask_;
  bool holding_ = false;
  QAction* holdAction_ = nullptr;
  std::map<std::string, TraceHold> holds_;
  std::vector<std::string> heldNow_;  // the quantities of the last pass
  QListWidget* list_ = nullptr;
  int nextColour_ = 0;
};

class AnalysisPanel;

// `list` docked in `window` as the companion of its analysis panel `panel`
// (under it at the chart's right), hidden and shown by a checkable "Stored
// traces" item (storedTracesAction) of `menu`, put after `after`; kolm.ini
// (in `settings`, which outlives the window) keeps under `key` whether it is
// shown. A window shows it as it was last left; the first time, hidden.
QDockWidget* dockTraceList(QMainWindow* window, AnalysisPanel* panel, TraceList* list, QMenu* menu,
                           QAction* after, const common::SettingsFolder& settings,
                           const QString& key);

}  // namespace kolm::chart::ui
