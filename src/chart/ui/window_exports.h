// The Export items of a swept instrument's File menu: text files the core
// formats (CSV, Touchstone) and the chart as a picture. Each asks for a name,
// writes atomically and says on the status line (objectName "statusLine") where
// the file went, or in a message why nothing was written.
#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QMainWindow;
class QMenu;

namespace kolm::common {
class Prompter;
}

namespace kolm::chart::ui {

class SweepChart;

struct TextExport {
  const char* name;  // objectName of the item
  QString caption;
  const char* filter;  // as the file dialogs take it: "CSV (*.csv)|*.csv"
  // The file's content, or empty with `why` set when there is nothing to write.
  std::function<std::optional<std::string>(QString& why)> content;
};

// Adds the text exports, then "Export picture..." (objectName "exportPicture"),
// to `file` before `before`. The picture's title is the window's title and the
// name in its "fileNameEdit" box; `pictureNote` gives the note its title line
// carries ("simulated instrument" for values of the simulated instrument).
void addExportItems(QMainWindow* window, QMenu* file, QAction* before, SweepChart* chart,
                    common::Prompter& prompter, std::vector<TextExport> texts,
                    std::function<QString()> pictureNote = {});

}  // namespace kolm::chart::ui
