#include "common/ui/recent_files.h"

#include <QFileInfo>

namespace kolm::common::ui {

QSettings uiSettings(const SettingsFolder& folder) {
  return QSettings(QString::fromStdU16String(folder.file(kUiSettingsFile).u16string()),
                   QSettings::IniFormat);
}

RecentFiles::RecentFiles(QMenu* fileMenu, QAction* before, const SettingsFolder& settings,
                         const QString& key, std::function<void(const QString&)> open)
    : QObject(fileMenu), settings_(settings), key_(key), open_(std::move(open)) {
  menu_ = new QMenu(tr("Recent files"), fileMenu);
  menu_->setObjectName("recentFilesMenu");
  fileMenu->insertMenu(before, menu_);
  entries_ = uiSettings(settings_).value(key_).toStringList().mid(0, kMaxEntries);
  rebuild();
}

void RecentFiles::add(const QString& path) {
  const QString absolute = QFileInfo(path).absoluteFilePath();
  entries_.removeAll(absolute);
  entries_.prepend(absolute);
  while (entries_.size() > kMaxEntries) entries_.removeLast();
  auto kept = uiSettings(settings_);
  kept.setValue(key_, entries_);
  rebuild();
}

void RecentFiles::rebuild() {
  menu_->clear();
  for (int i = 0; i < entries_.size(); ++i) {
    const QString path = entries_[i];
    // "&1 lp30.pwm", the folder in the tooltip and the status tip.
    QAction* a = menu_->addAction(QString("&%1 %2").arg(i + 1).arg(QFileInfo(path).fileName()));
    a->setObjectName(QString("recent%1").arg(i));
    a->setToolTip(path);
    a->setStatusTip(path);
    a->setData(path);
    connect(a, &QAction::triggered, this, [this, path] { open_(path); });
  }
  menu_->setEnabled(!entries_.isEmpty());
}

}  // namespace kolm::common::ui
