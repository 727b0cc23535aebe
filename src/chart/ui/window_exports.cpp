#include "chart/ui/window_exports.h"

#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>

#include "chart/ui/chart_export.h"
#include "chart/ui/sweep_chart.h"
#include "common/files.h"
#include "common/prompter.h"
#include "common/status.h"

namespace kolm::chart::ui {

namespace {

void saved(QMainWindow* window, const std::string& path) {
  if (auto* status = window->findChild<QLabel*>("statusLine"))
    status->setText(QString::fromStdString(common::savedToText(path)));
}

}  // namespace

void addExportItems(QMainWindow* window, QMenu* file, QAction* before, SweepChart* chart,
                    common::Prompter& prompter, std::vector<TextExport> texts,
                    std::function<QString()> pictureNote) {
  auto add = [&](const char* name, const QString& caption) {
    auto* a = new QAction(caption, file);
    a->setObjectName(name);
    file->insertAction(before, a);
    return a;
  };
  for (TextExport& t : texts) {
    QAction* a = add(t.name, t.caption);
    QObject::connect(a, &QAction::triggered, window,
                     [window, &prompter, t, caption = t.caption.toStdString()] {
                       QString why;
                       const auto content = t.content(why);
                       if (!content) {
                         prompter.message(why.toStdString(), common::Icon::Information);
                         return;
                       }
                       const std::string path = prompter.saveFileName(caption, t.filter);
                       if (path.empty()) return;
                       std::string error;
                       if (!common::writeFileAtomic(path, *content, &error)) {
                         prompter.message(error, common::Icon::Warning);
                         return;
                       }
                       saved(window, path);
                     });
  }
  QAction* picture = add("exportPicture", QObject::tr("Export picture (PNG, SVG, PDF)..."));
  QObject::connect(
      picture, &QAction::triggered, window, [window, chart, &prompter, picture, pictureNote] {
        const std::string path =
            prompter.saveFileName(picture->text().toStdString(), kPictureFilter);
        if (path.empty()) return;
        QString title = window->windowTitle();
        if (auto* name = window->findChild<QLineEdit*>("fileNameEdit");
            name && !name->text().isEmpty())
          title += "   " + name->text();
        const QString error = saveChartPicture(*chart, QString::fromStdString(path), title,
                                               pictureNote ? pictureNote() : QString());
        if (!error.isEmpty()) {
          prompter.message(error.toStdString(), common::Icon::Warning);
          return;
        }
        saved(window, path);
      });
}

}  // namespace kolm::chart::ui
