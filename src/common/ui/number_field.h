// Text boxes that hold one number. Every edit is checked at once by the typed
// number rule (common::typedNumber: a leading number, a note after a blank, a
// decimal comma taken as the point); a refused text keeps a red frame and the reason in its
// tooltip, and the box keeps its last accepted number, which is what the window
// goes on using and what its settings file gets.
#pragma once

#include <QString>
#include <optional>

#include "common/typed_number.h"

class QLabel;
class QLineEdit;

namespace kolm::common::ui {

// Makes `edit` a number box; `status` (when given) is the status line that says
// why a number was refused when it is asked for (requireNumber). The text the
// box holds now is checked at once.
void makeNumberField(QLineEdit* edit, QLabel* status = nullptr);

// The number in the box now; empty while its text is refused.
std::optional<double> numberIn(const QLineEdit* edit);
// As numberIn, and when refused the status line says why.
std::optional<double> requireNumber(const QLineEdit* edit);
// The box's last accepted number (the one it holds now when accepted); a box
// that never held one gives what the file-reading rule makes of its text.
double lastNumberIn(const QLineEdit* edit);
// The text a settings file keeps for the box: its accepted text with the point,
// else the last accepted one (else the text as it stands).
QString numberText(const QLineEdit* edit);
// numberText with the number it stands for (lastNumberIn), for a settings
// file that keeps the box's text.
NumberText keptNumber(const QLineEdit* edit);
// Why the box's text is refused, or empty.
QString numberProblem(const QLineEdit* edit);

// Keeps `edit` wide enough for `widest` (the longest value the window writes
// into it) and for whatever text it is given later, so that it always shows
// its whole value; `fixed` holds it at that width, else it may grow wider.
void holdWholeValue(QLineEdit* edit, const QString& widest, bool fixed);

}  // namespace kolm::common::ui
