#include "common/ui/qt_prompter.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace kolm::common::ui {

namespace {
QWidget* owner(QWidget* parent) { return parent ? parent : QApplication::activeWindow(); }
QString q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

QString qtFilter(const std::string& filter) {
  auto bar = filter.find('|');
  if (bar == std::string::npos) return q(filter);
  return q(filter.substr(0, bar)) + " (" + q(filter.substr(bar + 1)) + ")";
}

void QtPrompter::message(const std::string& text, Icon icon, const std::string& title) {
  QMessageBox box(owner(parent_));
  box.setWindowTitle(q(title));
  box.setText(q(text));
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
  box.setWindowTitle(q(title));
  box.setText(q(text));
  box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
  return box.exec() == QMessageBox::Ok;
}

std::optional<std::string> QtPrompter::input(const std::string& title, const std::string& prompt,
                                             const std::string& defaultText) {
  bool ok = false;
  QString answer = QInputDialog::getText(owner(parent_), q(title), q(prompt), QLineEdit::Normal,
                                         q(defaultText), &ok);
  if (!ok) return std::nullopt;
  return answer.toStdString();
}

std::string QtPrompter::openFileName(const std::string& title, const std::string& filter) {
  return QFileDialog::getOpenFileName(owner(parent_), q(title), QString(), qtFilter(filter))
      .toStdString();
}

std::string QtPrompter::saveFileName(const std::string& title, const std::string& filter) {
  return QFileDialog::getSaveFileName(owner(parent_), q(title), QString(), qtFilter(filter))
      .toStdString();
}

}  // namespace kolm::common::ui
