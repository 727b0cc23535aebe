#include "common/ui/average_box.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>

#include "common/pass_average.h"
#include "common/ui/number_field.h"
#include "common/ui/recent_files.h"

namespace kolm::common::ui {

namespace {

// The passes in `edit` when they may be averaged.
std::optional<int> acceptedPasses(const QLineEdit* edit) {
  const auto n = numberIn(edit);
  if (!n || !averagePassesProblem(*n).empty()) return std::nullopt;
  return static_cast<int>(*n);
}

}  // namespace

AverageBox::AverageBox(QWidget* parent, const SettingsFolder& settings, const QString& key,
                       QLabel* status)
    : label_(new QLabel(QCoreApplication::translate("kolm", "Average"), parent)),
      edit_(new QLineEdit(parent)),
      status_(status),
      settings_(settings),
      key_(key) {
  label_->setObjectName("averageLabel");
  label_->adjustSize();
  edit_->setObjectName("averageEdit");
  edit_->setToolTip(QCoreApplication::translate("kolm", "Passes averaged, 1 to 100"));
  edit_->setFixedWidth(edit_->fontMetrics().horizontalAdvance("000") + 14);
  const int kept = uiSettings(settings_).value(key_, 1).toInt();
  last_ = averagePassesProblem(kept).empty() ? kept : 1;
  edit_->setText(QString::number(last_));
  makeNumberField(edit_, status);
  QObject::connect(edit_, &QLineEdit::textChanged, edit_, [this] {
    const auto n = acceptedPasses(edit_);
    if (!n) return;
    last_ = *n;
    uiSettings(settings_).setValue(key_, last_);
  });
}

std::optional<int> AverageBox::require() const {
  if (!requireNumber(edit_)) return std::nullopt;  // the status line says why
  const auto n = acceptedPasses(edit_);
  if (!n && status_)
    status_->setText(QString::fromStdString(averagePassesProblem(*numberIn(edit_))));
  return n;
}

int AverageBox::passes() const { return last_; }

}  // namespace kolm::common::ui
