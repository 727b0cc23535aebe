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

class PrintDialog : public QDialog {
  Q_OBJECT
 public:
  explicit PrintDialog(PrintSession& session, QWidget* parent = nullptr);

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
  void buildPrinterGroup();
  void buildSheetGroup();
  void buildRectGroups();
  void buildScaleCopiesAndButtons();
  void buildZoom();
  void layOut();
  void connectControls();
  void activate();
  void sync();
  void syncSheet();
  void syncPreview();
  void sizeWindow();

  QLineEdit* rectEdit(RectField field) const;
  void rectEdited(RectField field, const QString& text);
  void rectStepped(RectField field, int delta);
  void afterRectEdit(RectField field);
  void scaleEntered();
  void printPicture();
  void acceptSettings();
  void exitDialog();
  void openZoom();
  void closeZoom();
  void savePreview();
  void blink();

  static constexpr int kZoomMargin = 8;  // 120 twips

  PrintSession& session_;
  bool activated_ = false;
  bool closing_ = false;
  QImage picture_;      // view of the kept bits
  QImage greyPicture_;  // the preview's grey copy for a monochrome printer
  double twipsPerPixel_ = 15;

  QGroupBox* printerGroup_;
  QLabel* printerNameLabel_;
  QComboBox* printerCombo_;
  QPushButton* propertiesButton_;
  QLabel* printerImage_;
  QGroupBox* sheetGroup_;
  QLabel* sheetWidthLabel_;
  QLabel* sheetHeightLabel_;
  QWidget* sheetArea_;  // the small sheet's square
  QFrame* sheetShape_;
  QFrame* sheetBorder_;
  PreviewArea* preview_;
  QLabel* printingLabel_;
  QLabel* outOfSheetLabel_;
  QTimer* blinkTimer_;
  QGroupBox* marginsGroup_;
  QLineEdit* leftEdit_;
  QLineEdit* topEdit_;
  UpDown* leftSpin_;
  UpDown* topSpin_;
  QCheckBox* centreCheck_;
  QToolButton* zeroMarginsButton_;
  QGroupBox* sizeGroup_;
  QLineEdit* widthEdit_;
  QLineEdit* heightEdit_;
  UpDown* widthSpin_;
  UpDown* heightSpin_;
  QCheckBox* keepProportionsCheck_;
  QPushButton* fillSheetButton_;
  QLabel* scaleCaption_;
  QLabel* scalePrefix_;
  QLineEdit* scaleEdit_;
  QToolButton* scaleOkButton_;
  QLabel* copiesLabel_;
  QLineEdit* copiesEdit_;
  UpDown* copiesSpin_;
  QCheckBox* chartOnlyCheck_;
  QPushButton* printButton_;
  QPushButton* exitButton_;
  QPushButton* okButton_;
  QFrame* zoomPanel_;
  QFrame* zoomSheetShape_;
  PreviewArea* zoomPreview_;
};

}  // namespace kolm::print::ui
