#include "analyzer/ui/cable_dialog.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/text.h"
#include "common/ui/number_field.h"

namespace kolm::analyzer::ui {

namespace {

QString text(double v) { return QString::fromStdString(common::shortestText(v)); }

QLineEdit* numberBox(QWidget* parent, const char* name, double value) {
  auto* box = new QLineEdit(text(value), parent);
  box->setObjectName(name);
  common::ui::makeNumberField(box);
  return box;
}

// The cable as the command line's --cable gives it: a type and its length,
// or every figure by hand.
QString cableSpec(const QComboBox* type, QLineEdit* length, QLineEdit* vf, QLineEdit* loss,
                  QLineEdit* at, QLineEdit* z0) {
  using common::ui::numberText;
  if (type->currentIndex() != type->count() - 1)
    return type->currentText() + ":" + numberText(length);
  return QString("%1,%2,%3@%4,%5")
      .arg(numberText(length), numberText(vf), numberText(loss), numberText(at), numberText(z0));
}

// The core's refusal said as a sentence, at the box it is about (framed red
// and given the focus until it is edited).
void showRefusal(QLabel* problem, const std::string& error,
                 std::initializer_list<std::pair<const char*, QLineEdit*>> fields) {
  // Said as a sentence, at the box it is about.
  QString said = QString::fromStdString(error);
  if (!said.isEmpty()) said[0] = said[0].toUpper();
  problem->setText(said);
  for (const auto& [word, box] : fields)
    if (said.contains(QLatin1String(word), Qt::CaseInsensitive) && box->isEnabled()) {
      box->setStyleSheet("QLineEdit { border: 2px solid #d00000; }");
      box->setFocus();
      QObject::connect(
          box, &QLineEdit::textEdited, box, [box] { box->setStyleSheet({}); },
          Qt::SingleShotConnection);
      break;
    }
}

}  // namespace

CableChoice askCable(QWidget* parent, const std::optional<Cable>& current) {
  QDialog dialog(parent);
  dialog.setObjectName("cableDialog");
  dialog.setWindowTitle(QObject::tr("Cable taken out"));
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(new QLabel(
      QObject::tr("The readings are taken back through this cable to the load at its far end."),
      &dialog));
  auto* form = new QFormLayout;
  auto* type = new QComboBox(&dialog);
  type->setObjectName("cableType");
  for (const CableType& t : cableTypes()) type->addItem(t.name);
  type->addItem(QObject::tr("Figures by hand"));
  const Cable start = current.value_or(Cable{{50, 10, 0.66, 16.1, 100}, "RG58"});
  const int index = type->findText(QString::fromStdString(start.name));
  type->setCurrentIndex(index >= 0 ? index : type->count() - 1);
  QLineEdit* length = numberBox(&dialog, "cableLength", start.lengthM);
  QLineEdit* vf = numberBox(&dialog, "cableVf", start.velocityFactor);
  QLineEdit* loss = numberBox(&dialog, "cableLoss", start.lossDbPer100m);
  QLineEdit* at = numberBox(&dialog, "cableLossAt", start.lossAtMHz);
  QLineEdit* z0 = numberBox(&dialog, "cableZ0", start.z0Ohm);
  form->addRow(QObject::tr("Cable"), type);
  form->addRow(QObject::tr("Length (m)"), length);
  form->addRow(QObject::tr("Velocity factor"), vf);
  form->addRow(QObject::tr("Loss (dB per 100 m)"), loss);
  form->addRow(QObject::tr("Loss stated at (MHz)"), at);
  form->addRow(QObject::tr("Impedance (ohm)"), z0);
  layout->addLayout(form);
  auto* problem = new QLabel(&dialog);
  problem->setObjectName("cableProblem");
  problem->setWordWrap(true);
  layout->addWidget(problem);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QPushButton* none = buttons->addButton(QObject::tr("No cable"), QDialogButtonBox::ResetRole);
  none->setObjectName("noCable");
  layout->addWidget(buttons);
  // A type's own figures are shown, and only the length is asked for.
  auto showType = [&] {
    const bool byHand = type->currentIndex() == type->count() - 1;
    if (!byHand) {
      const CableType& t = cableTypes()[static_cast<size_t>(type->currentIndex())];
      vf->setText(text(t.velocityFactor));
      loss->setText(text(t.lossDbPer100m));
      at->setText(text(t.atMHz));
      z0->setText(text(t.z0Ohm));
    }
    for (QLineEdit* box : {vf, loss, at, z0}) box->setEnabled(byHand);
  };
  showType();
  QObject::connect(type, &QComboBox::currentIndexChanged, &dialog, showType);
  CableChoice choice;
  QObject::connect(none, &QPushButton::clicked, &dialog, [&] {
    choice = {false, std::nullopt};
    dialog.accept();
  });
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
    // The figures as the command line's --cable takes them, read by the core.
    for (QLineEdit* box : {length, vf, loss, at, z0})
      if (!common::ui::numberIn(box)) {
        problem->setText(common::ui::numberProblem(box));
        return;
      }
    const QString spec = cableSpec(type, length, vf, loss, at, z0);
    std::string error;
    const auto cable = parseCable(spec.toStdString(), &error);
    if (!cable) {
      showRefusal(problem, error,
                  {{"length", length}, {"velocity factor", vf}, {"loss", loss}, {"impedance", z0}});
      return;
    }
    choice = {false, cable};
    dialog.accept();
  });
  dialog.exec();
  return choice;
}

void measureStubOn(QWidget* parent, const TraceValues& trace, common::Prompter& prompter) {
  QDialog dialog(parent);
  dialog.setObjectName("stubDialog");
  dialog.setWindowTitle(QObject::tr("Measure a stub"));
  auto* form = new QFormLayout(&dialog);
  QLineEdit* length = numberBox(&dialog, "stubLength", 10);
  auto* end = new QComboBox(&dialog);
  end->setObjectName("stubEnd");
  end->addItems({QObject::tr("open"), QObject::tr("short")});
  auto* hint = new QLabel(&dialog);
  hint->setWordWrap(true);
  form->addRow(QObject::tr("Physical length (m)"), length);
  form->addRow(QObject::tr("Far end"), end);
  form->addRow(hint);
  auto showHint = [&] {
    const auto typed = common::ui::numberIn(length);
    if (!typed || !(*typed > 0)) {
      hint->setText(QObject::tr("The stub's length in metres, above 0."));
      return;
    }
    const auto [low, high] =
        stubSpan(*typed, end->currentIndex() == 0 ? StubEnd::Open : StubEnd::Short);
    hint->setText(QObject::tr("Sweep the stub from %1 to %2 MHz first: the chart's sweep is "
                              "measured.")
                      .arg(text(low), text(high)));
  };
  showHint();
  QObject::connect(length, &QLineEdit::textChanged, &dialog, showHint);
  QObject::connect(end, &QComboBox::currentIndexChanged, &dialog, showHint);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  form->addRow(buttons);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  if (dialog.exec() != QDialog::Accepted) return;
  const auto typed = common::ui::numberIn(length);
  if (!typed || !(*typed > 0)) {
    prompter.message(QObject::tr("The stub's length in metres, above 0.").toStdString(),
                     common::Icon::Warning);
    return;
  }
  const StubFigures figures =
      measureStub(trace, *typed, end->currentIndex() == 0 ? StubEnd::Open : StubEnd::Short, 50);
  prompter.message(figures.ok() ? stubReport(figures) : figures.error,
                   figures.ok() ? common::Icon::Information : common::Icon::Warning);
}

}  // namespace kolm::analyzer::ui
