#include "hw/ui/ui_context.h"

#include <QCoreApplication>
#include <QKeySequence>

namespace kolm::hw::ui {

QAction* addExitProgram(UiContext& context, QMenu* fileMenu) {
  fileMenu->addSeparator();
  QAction* a = fileMenu->addAction(QCoreApplication::translate("kolm", "Exit program"));
  a->setObjectName("exitProgram");
  a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  QObject::connect(a, &QAction::triggered, fileMenu, [&context] { context.exitProgram(); });
  return a;
}

}  // namespace kolm::hw::ui
