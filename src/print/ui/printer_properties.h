// The printer's settings dialog behind "Properties": paper, orientation, colour
// and copies, for a CUPS printer (its own paper sizes and colour modes) or the PDF
// file printer.
#pragma once

#include <QComboBox>
#include <QDialog>
#include <QList>
#include <QPageSize>
#include <QRadioButton>
#include <QSpinBox>

#include "print/printer_backend.h"

namespace kolm::print::ui {

class PrinterPropertiesDialog : public QDialog {
  Q_OBJECT
 public:
  PrinterPropertiesDialog(const QString& printerName, const PrinterSettings& settings,
                          const QList<QPageSize>& papers, bool colourAvailable,
                          QWidget* parent = nullptr);
  // The settings as the dialog shows them.
  PrinterSettings settings() const;

 private:
  PrinterSettings original_;
  QComboBox* paper_;
  QRadioButton* portrait_;
  QRadioButton* landscape_;
  QRadioButton* colour_;
  QRadioButton* grey_;
  QSpinBox* copies_;
};

// The paper sizes offered for the PDF file printer.
QList<QPageSize> pdfPapers();

}  // namespace kolm::print::ui
