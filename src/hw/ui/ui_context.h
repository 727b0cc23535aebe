// What every instrument window gets from the program: the shared instrument, the
// dialogs, the settings folder, the About boxes, the print command and the way to open the windows
// they share.
#pragma once

#include <QAction>
#include <QMenu>
#include <QString>
#include <QWidget>
#include <filesystem>
#include <functional>

#include "common/prompter.h"
#include "common/settings_file.h"
#include "common/ui/about_box.h"
#include "common/ui/print_chart.h"
#include "hw/instrument.h"

namespace kolm::hw::ui {

struct UiContext {
  hw::Instrument& instrument;
  common::Prompter& prompter;
  // Where the windows read and write their settings files (each one
  // `settings.file(name)`), fixed when the program starts, and the files kept
  // aside this run.
  common::SettingsFolder settings;
  // Shows the Parameters window (modeless, or modal when `modalOwner` is given).
  std::function<void(QWidget* modalOwner)> showParameters = [](QWidget*) {};
  // The folder of the pictures the windows read at run time: the program's own
  // folder in a build tree, share/kolm when installed (common::findDataFolder).
  std::filesystem::path dataDir = ".";
  // "EXIT PROGRAM" (Ctrl+Q in every window): every window closes, the program ends.
  std::function<void()> exitProgram = [] {};
  // The About boxes of the launcher and the instruments.
  common::ui::AboutBoxes aboutBoxes{};
  // The measuring windows' print command on the program's print dialog object:
  // `window` under `title` (its `chart` offered alone, when given), its messages
  // through `prompter`; the PDF file written when it printed to the file
  // printer. By default nothing prints.
  std::function<QString(common::Prompter& prompter, QWidget* window, const QString& title,
                        const common::ui::PrintChart* chart)>
      printWindow = [](common::Prompter&, QWidget*, const QString&, const common::ui::PrintChart*) {
        return QString();
      };
};

// The "Exit program" item (Ctrl+Q) at the end of a window's File menu.
QAction* addExitProgram(UiContext& context, QMenu* fileMenu);

}  // namespace kolm::hw::ui
