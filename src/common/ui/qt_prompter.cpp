#include "common/ui/qt_prompter.h"
#include "common/ui/qt_text.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace kolm::common::ui {

namespace {
QWidget* owner(QWidget* parent) { return parent ? parent : QApplication::activeWindow(); }
// A text as shown: the program's texts kept as constants are looked up in the
// chosen language (a text composed and translated already stays as it is).
QString shown(const std::string& s) { return QCoreApplication::translate("kolm", s.c_str()); }

// A box's text with the last two words of each line bound together, so that
// wrapping never leaves a word alone on the last line ("... premendo" / "OK").
QString unwidowed(QString text) {
  qsizetype lineEnd = text.size();
  while (lineEnd > 0) {
    const qsizetype lineStart = text.lastIndexOf('\n', lineEnd - 1) + 1;
    const qsizetype blank = text.lastIndexOf(' ', lineEnd - 1);
    if (blank > lineStart && blank + 1 < lineEnd) text[blank] = QChar(0x00a0);
    lineEnd = lineStart - 1;
  }
  return text;
}

// A prompt blocks the window that asked, not the others: typing meant for
// another window (the Simulator window, where a calibration prompt says what to
// connect) goes there, not into the prompt's field.
void modalToOwner(QDialog& dialog) {
  if (dialog.parentWidget()) dialog.setWindowModality(Qt::WindowModal);
}

}  // namespace

// A file dialog that starts in the prompter's folder and, when saving, adds the
// extension of the filter to a name typed without one.
std::string QtPrompter::runFileDialog(const std::string& title, const std::string& filter,
                                      bool save) {
  QFileDialog dialog(owner(parent_), shown(title), folder_);
  dialog.setObjectName(save ? "saveFileDialog" : "openFileDialog");
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setOption(QFileDialog::ReadOnly, false);
  QStringList filters{qtFilter(filter)};
  // Files saved under another name stay reachable.
  if (!save) filters << QFileDialog::tr("All files (*)");
  dialog.setNameFilters(filters);
  if (save) dialog.setDefaultSuffix(q(filterExtension(filter)));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  folder_ = dialog.directory().absolutePath();
  return dialog.selectedFiles().first().toStdString();
}

QString qtFilter(const std::string& filter) {
  auto bar = filter.find('|');
  if (bar == std::string::npos) return q(filter);
  QString description = q(filter.substr(0, bar)).trimmed();
  QStringList patterns = q(filter.substr(bar + 1)).split(';', Qt::SkipEmptyParts);
  const QString list = "(" + patterns.join(' ') + ")";
  // "file pwm(*.pwm)" already names its pattern: Qt reads it from there.
  if (description.endsWith(list)) return description;
  return description + " " + list;
}

std::string filterExtension(const std::string& filter) {
  auto bar = filter.find('|');
  std::string pattern = bar == std::string::npos ? filter : filter.substr(bar + 1);
  pattern = pattern.substr(0, pattern.find(';'));
  if (pattern.rfind("*.", 0) != 0) return {};
  std::string ext = pattern.substr(2);
  if (ext.find_first_of("*?[") != std::string::npos) return {};
  return ext;
}

void QtPrompter::message(const std::string& text, Icon icon, const std::string& title) {
  QMessageBox box(owner(parent_));
  modalToOwner(box);
  box.setWindowTitle(shown(title));
  box.setText(unwidowed(shown(text)));
  switch (icon) {
    case Icon::Information:
      box.setIcon(QMessageBox::Information);
      break;
    case Icon::Warning:
      box.setIcon(QMessageBox::Warning);
      break;
    case Icon::Critical:
      box.setIcon(QMessageBox::Critical);
      break;
    case Icon::None:
      break;
  }
  box.setStandardButtons(QMessageBox::Ok);
  box.exec();
}

bool QtPrompter::confirm(const std::string& text, const std::string& title) {
  QMessageBox box(owner(parent_));
  modalToOwner(box);
  box.setWindowTitle(shown(title));
  box.setText(unwidowed(shown(text)));
  box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
  return box.exec() == QMessageBox::Ok;
}

bool QtPrompter::confirmWithHelp(const std::string& text, const PromptHelp& help,
                                 const std::string& title) {
  if (!help.act) return confirm(text, title);
  QMessageBox box(owner(parent_));
  modalToOwner(box);
  box.setWindowTitle(shown(title));
  box.setText(unwidowed(shown(text)));
  box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
  QPushButton* step = box.addButton(q(help.caption), QMessageBox::ActionRole);
  step->setObjectName("promptHelpButton");
  // The step leaves the prompt open, saying what it did; OK or Cancel answers.
  for (;;) {
    box.exec();
    if (box.clickedButton() != step) break;
    box.setInformativeText(q(help.act()));
    step->setEnabled(false);
  }
  return box.standardButton(box.clickedButton()) == QMessageBox::Ok;
}

bool QtPrompter::confirmAs(const std::string& text, const std::string& accept) {
  QMessageBox box(owner(parent_));
  box.setWindowTitle(shown(common::kTitle));
  box.setIcon(QMessageBox::Warning);
  box.setText(shown(text));
  QPushButton* yes = box.addButton(shown(accept), QMessageBox::AcceptRole);
  yes->setObjectName("useAnywayButton");
  box.setDefaultButton(box.addButton(QMessageBox::Cancel));
  box.exec();
  return box.clickedButton() == yes;
}

std::optional<std::string> QtPrompter::input(const std::string& title, const std::string& prompt,
                                             const std::string& defaultText) {
  QInputDialog dialog(owner(parent_));
  dialog.setObjectName("promptInput");
  modalToOwner(dialog);
  dialog.setWindowTitle(shown(title));
  dialog.setLabelText(shown(prompt));
  dialog.setTextValue(q(defaultText));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.textValue().toStdString();
}

std::string QtPrompter::openFileName(const std::string& title, const std::string& filter) {
  return runFileDialog(title, filter, false);
}

std::string QtPrompter::saveFileName(const std::string& title, const std::string& filter) {
  return runFileDialog(title, filter, true);
}

}  // namespace kolm::common::ui
