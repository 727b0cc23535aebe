#include "print/ui/printer_properties.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace kolm::print::ui {

QList<QPageSize> pdfPapers() {
  QList<QPageSize> papers;
  for (auto id : {QPageSize::A3, QPageSize::A4, QPageSize::A5, QPageSize::B4, QPageSize::B5,
                  QPageSize::Letter, QPageSize::Legal, QPageSize::Executive, QPageSize::Tabloid})
    papers.append(QPageSize(id));
  return papers;
}

PrinterPropertiesDialog::PrinterPropertiesDialog(const QString& printerName,
                                                 const PrinterSettings& settings,
                                                 const QList<QPageSize>& papers,
                                                 bool colourAvailable, QWidget* parent)
    : QDialog(parent), original_(settings) {
  setObjectName("printerProperties");
  setWindowTitle(tr("Properties: ") + printerName);
  auto* form = new QFormLayout;

  paper_ = new QComboBox(this);
  paper_->setObjectName("paper");
  for (const QPageSize& size : papers) {
    if (size.windowsId() <= 0) continue;  // only papers with a paper code
    paper_->addItem(size.name(), size.windowsId());
  }
  int current = paper_->findData(int(settings.paperCode));
  if (current < 0 && settings.paperCode > 0) {
    QPageSize size(QPageSize::id(settings.paperCode));
    paper_->addItem(size.isValid() ? size.name() : QString("Paper %1").arg(settings.paperCode),
                    int(settings.paperCode));
    current = paper_->count() - 1;
  }
  paper_->setCurrentIndex(std::max(0, current));
  form->addRow("&Paper:", paper_);

  auto radios = [this](const QString& a, const QString& b, const char* nameA, const char* nameB,
                       QRadioButton*& ra, QRadioButton*& rb) {
    auto* row = new QHBoxLayout;
    ra = new QRadioButton(a, this);
    rb = new QRadioButton(b, this);
    ra->setObjectName(nameA);
    rb->setObjectName(nameB);
    auto* group = new QButtonGroup(this);
    group->addButton(ra);
    group->addButton(rb);
    row->addWidget(ra);
    row->addWidget(rb);
    row->addStretch();
    return row;
  };
  form->addRow("Orientation:",
               radios("Po&rtrait", "&Landscape", "portrait", "landscape", portrait_, landscape_));
  (settings.orientation == kLandscape ? landscape_ : portrait_)->setChecked(true);
  form->addRow("Colour:", radios("&Colour", "&Grey scale", "colour", "grey", colour_, grey_));
  bool colour = colourAvailable && settings.colourMode != kMonochrome;
  (colour ? colour_ : grey_)->setChecked(true);
  colour_->setEnabled(colourAvailable);

  copies_ = new QSpinBox(this);
  copies_->setObjectName("copies");
  copies_->setRange(1, 9999);
  copies_->setValue(std::max<int>(1, settings.copies));
  form->addRow("C&opies:", copies_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* box = new QVBoxLayout(this);
  box->addLayout(form);
  box->addWidget(buttons);
}

PrinterSettings PrinterPropertiesDialog::settings() const {
  PrinterSettings dm = original_;
  if (paper_->currentIndex() >= 0)
    dm.paperCode = static_cast<int16_t>(paper_->currentData().toInt());
  dm.orientation = landscape_->isChecked() ? kLandscape : kPortrait;
  dm.colourMode = grey_->isChecked() ? kMonochrome : kColour;
  dm.copies = static_cast<int16_t>(copies_->value());
  return dm;
}

}  // namespace kolm::print::ui
