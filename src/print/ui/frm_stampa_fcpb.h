// The print dialog: the printer, its sheet with a live preview of the picture,
// margins, size, scale, copies; Print, Exit, or (without a picture) OK.
// The dialog is a view of a PrintSession: every event goes to the session's rules
// and the widgets are then brought up to date from its state.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFrame>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include "print/session.h"
#include "print/ui/preview_area.h"

namespace kolm::print::ui {

class frmStampaFCPB : public QDialog {
  Q_OBJECT
 public:
  explicit frmStampaFCPB(PrintSession& session, QWidget* parent = nullptr);

  PrintSession& session() { return session_; }
  // Where a double click on the printer label saves the preview.
  static QString previewFileName() { return "PicPrev.bmp"; }
  bool zoomShown() const;

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void done(int result) override;

 private:
  void build();
  void Form_Activate();
  void sync();
  void syncSheet();
  void syncPreview();
  void sizeWindow();

  QLineEdit* rectEdit(RectField field) const;
  void rectEdited(RectField field, const QString& text);
  void rectStepped(RectField field, int delta);
  void afterRectEdit(RectField field);
  void scaleEntered();
  void cmdStampa_Click();
  void cmdOK_Click();
  void cmdChiudi_Click();
  void Zoom();
  void closeZoom();
  void savePreview();
  void blink();

  PrintSession& session_;
  bool activated_ = false;
  bool closing_ = false;
  QImage picture_;      // view of the kept bits
  QImage greyPicture_;  // the preview's grey copy for a monochrome printer
  double twipsPerPixel_ = 15;

  QGroupBox* zFrame1_;
  QLabel* zLabel1_;
  QComboBox* cboPrinterNames_;
  QPushButton* cmdProprieta_;
  QLabel* imgPrinter_;
  QGroupBox* fraFoglio_;
  QLabel* lblFgW_;
  QLabel* lblFgH_;
  QFrame* shpFoglio_;
  QFrame* shpBordo_;
  PreviewArea* picPreview_;
  QLabel* lblStampaInCorso_;
  QLabel* lblFuoriFoglio_;
  QTimer* Timer1_;
  QGroupBox* zFrame2_;
  QLineEdit* txtPrX_;
  QLineEdit* txtPrY_;
  UpDown* updPrX_;
  UpDown* updPrY_;
  QCheckBox* chkCentro_;
  QToolButton* cmdOrigine_;
  QGroupBox* zFrame3_;
  QLineEdit* txtPrW_;
  QLineEdit* txtPrH_;
  UpDown* updPrW_;
  UpDown* updPrH_;
  QCheckBox* chkProporzioni_;
  QPushButton* cmdMax_;
  QLabel* lblLblScala_;
  QLabel* lblPScala_;
  QLineEdit* txtScala_;
  QToolButton* cmdScalaOK_;
  QLabel* lblLblNCopie_;
  QLineEdit* txtNCopies_;
  UpDown* updNCopies_;
  QPushButton* cmdStampa_;
  QPushButton* cmdChiudi_;
  QPushButton* cmdOK_;
  QFrame* picZoom_;
  QFrame* shpFoglioZoom_;
  PreviewArea* picPreviewZoom_;
};

}  // namespace kolm::print::ui
