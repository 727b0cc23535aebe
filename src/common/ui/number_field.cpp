#include "common/ui/number_field.h"

#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QStyle>
#include <QStyleOptionFrame>
#include <algorithm>

#include "common/text.h"
#include "common/typed_number.h"

namespace kolm::common::ui {

namespace {

constexpr const char* kStateName = "numberFieldState";

// What a number box keeps besides its text: its last accepted number and text,
// the reason of a refusal, and its own look to go back to.
class NumberState : public QObject {
 public:
  NumberState(QLineEdit* edit, QLabel* status) : QObject(edit), edit_(edit), status_(status) {
    setObjectName(kStateName);
    styleSheet_ = edit->styleSheet();
    toolTip_ = edit->toolTip();
    font_ = edit->font();
    check(edit->text());
    connect(edit, &QLineEdit::textChanged, this, [this](const QString& t) { check(t); });
  }

  void check(const QString& text) {
    const TypedNumber n = typedNumber(text.toStdString());
    const bool wasRefused = !problem_.isEmpty();
    problem_ = QString::fromStdString(n.problem);
    if (!n.value && !held_) {
      // Never held a number (a file's text): what the file's rule makes of it.
      lastValue_ = common::numericValue(n.text);
      lastText_ = text;
    }
    if (n.value) {
      held_ = true;
      lastValue_ = *n.value;
      lastText_ = QString::fromStdString(n.text);
      if (wasRefused) {
        edit_->setStyleSheet(styleSheet_);
        edit_->setFont(font_);
        edit_->setToolTip(toolTip_);
      }
      return;
    }
    // A style sheet drops the font the window gave the box: it is given again.
    edit_->setStyleSheet(styleSheet_ + " QLineEdit { border: 2px solid #d00000; }");
    edit_->setFont(font_);
    edit_->setToolTip(toolTip_.isEmpty() ? problem_ : toolTip_ + "\n" + problem_);
  }

  void tell(const QString& problem) const {
    if (status_) status_->setText(problem);
  }
  double lastValue() const { return lastValue_; }
  const QString& lastText() const { return lastText_; }

 private:
  QLineEdit* edit_;
  QPointer<QLabel> status_;
  QString styleSheet_, toolTip_;
  QFont font_;
  bool held_ = false;  // the box has held an accepted number
  double lastValue_ = 0;
  QString lastText_;
  QString problem_;
};

const NumberState* stateOf(const QLineEdit* edit) {
  return edit->findChild<const NumberState*>(kStateName, Qt::FindDirectChildrenOnly);
}

}  // namespace

void makeNumberField(QLineEdit* edit, QLabel* status) {
  if (!stateOf(edit)) new NumberState(edit, status);
}

// Each reads the box's text as it stands, whether or not its check has run yet
// (a window's own handler of the same change may come first).
std::optional<double> numberIn(const QLineEdit* edit) {
  return typedNumber(edit->text().toStdString()).value;
}

std::optional<double> requireNumber(const QLineEdit* edit) {
  const TypedNumber n = typedNumber(edit->text().toStdString());
  if (const NumberState* s = stateOf(edit); s && !n.value)
    s->tell(QString::fromStdString(n.problem));
  return n.value;
}

double lastNumberIn(const QLineEdit* edit) {
  if (auto v = numberIn(edit)) return *v;
  if (const NumberState* s = stateOf(edit)) return s->lastValue();
  return common::numericValue(edit->text().toStdString());
}

NumberText keptNumber(const QLineEdit* edit) {
  return NumberText(numberText(edit).toStdString(), lastNumberIn(edit));
}

QString numberText(const QLineEdit* edit) {
  const TypedNumber n = typedNumber(edit->text().toStdString());
  if (n.value) return QString::fromStdString(n.text);
  if (const NumberState* s = stateOf(edit)) return s->lastText();
  return edit->text();
}

QString numberProblem(const QLineEdit* edit) {
  return QString::fromStdString(typedNumber(edit->text().toStdString()).problem);
}

void holdWholeValue(QLineEdit* edit, const QString& widest, bool fixed) {
  auto fit = [edit, widest, fixed] {
    const QFontMetrics fm(edit->font());
    const QMargins text = edit->textMargins();
    QStyleOptionFrame option;
    option.initFrom(edit);
    const int frame = edit->hasFrame()
                          ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit)
                          : 0;
    // The box's own inner margin is 2 px a side; one more for the text cursor.
    const int width = std::max(fm.horizontalAdvance(widest), fm.horizontalAdvance(edit->text())) +
                      text.left() + text.right() + 2 * (frame + 2) + 2;
    if (fixed)
      edit->setFixedWidth(width);
    else
      edit->setMinimumWidth(width);
  };
  fit();
  QObject::connect(edit, &QLineEdit::textChanged, edit, fit);
}

}  // namespace kolm::common::ui
