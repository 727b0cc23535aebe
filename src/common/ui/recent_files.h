// The "Recent files" list of an instrument's File menu. The list is kept in the
// program's own settings file (kolm.ini in the settings folder, beside the
// instruments' files), newest first, each file once.
#pragma once

#include <QMenu>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <functional>

#include "common/settings_file.h"

namespace kolm::common::ui {

// The program's own settings (recent files, language): kolm.ini in `folder`.
// The instruments' specified files are never touched by it.
inline constexpr const char* kUiSettingsFile = "kolm.ini";
QSettings uiSettings(const SettingsFolder& folder);

class RecentFiles : public QObject {
  Q_OBJECT
 public:
  static constexpr int kMaxEntries = 8;

  // A submenu "Recent files" of `fileMenu`, inserted before `before` (or at the
  // end); the list is kept under `key` in the kolm.ini of `settings`. `open` is
  // called with the chosen path.
  RecentFiles(QMenu* fileMenu, QAction* before, const SettingsFolder& settings, const QString& key,
              std::function<void(const QString&)> open);

  // Puts `path` (made absolute) at the top of the list and keeps the list.
  void add(const QString& path);
  QStringList entries() const { return entries_; }
  QMenu* menu() const { return menu_; }

 private:
  void rebuild();

  QMenu* menu_;
  const SettingsFolder& settings_;
  QString key_;
  QStringList entries_;
  std::function<void(const QString&)> open_;
};

}  // namespace kolm::common::ui
