// The print dialog as the measuring windows use it. The program makes one
// PrintService and hands it to the windows through their context: the chosen
// printer, its settings and the copies carry from one print to the next.
//
// A window's print command is one call:
//   context.printWindow(context.prompter, this, "Screen");
// which asks for the landscape sheet (printableSheet with orientation 2) and opens
// the dialog on the whole window over that sheet (openDialog with left and top 0,
// orientation 0, scale 500000); it returns when the dialog closes.
#pragma once

#include <QObject>
#include <QPixmap>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

#include "common/prompter.h"
#include "hw/ui/ui_context.h"
#include "print/session.h"

namespace kolm::print::ui {

class PrintDialog;

struct SheetMm {
  bool ok = false;
  int32_t width = -1;
  int32_t height = -1;
};

class PrintService : public QObject {
  Q_OBJECT
 public:
  // The program's print dialog object: the system's printers and the file
  // printer, real message boxes; its PDF file dialog starts in `fileFolder`.
  static std::unique_ptr<PrintService> create(const QString& fileFolder);

  // A service of its own, for tests: any back end, prompter and question.
  PrintService(std::unique_ptr<PrinterBackend> backend, common::Prompter& prompter, YesNoCancel ask,
               QObject* parent = nullptr);
  ~PrintService() override;

  PrintSession& session() { return *session_; }
  PrinterBackend& backend() { return *backend_; }
  // Messages and file choices of the following calls.
  void setPrompter(common::Prompter& prompter) { session_->setPrompter(prompter); }
  // How the dialog is run; by default modally (exec). Tests drive it here.
  std::function<void(PrintDialog&)> runModal;

  // The printable sheet of the current printer in mm, after setting its orientation
  // (1 portrait, 2 landscape); not ok (and -1, -1) when the printer cannot be used.
  SheetMm printableSheet(std::optional<int32_t> orientation = std::nullopt);
  // Opens the dialog on `object` (a window or any widget, taken as it looks on
  // screen) and returns when it closes; false when the set-up failed (after its
  // message). A null object opens the printer settings only.
  bool openDialog(QWidget* object, int32_t left, int32_t top, int32_t width, int32_t height,
                  int32_t orientation, const QString& title, float scale,
                  bool pictureBoxAsControl = false, const common::ui::PrintChart* chart = nullptr);
  // The same on a picture.
  bool openDialog(const QPixmap& picture, const QString& name, int32_t left, int32_t top,
                  int32_t width, int32_t height, int32_t orientation, const QString& title,
                  float scale);
  // A measuring window's print command: the whole window in its own
  // proportions, as large as the landscape sheet allows, printed at the
  // printer's resolution; its `chart`, when given, offered as "Chart only". The
  // PDF file it wrote, if it printed to the file printer.
  QString printWindow(QWidget* window, const QString& title,
                      const common::ui::PrintChart* chart = nullptr);

 private:
  bool show(const PrintSource* source, QWidget* owner, int32_t left, int32_t top, int32_t width,
            int32_t height, int32_t orientation, const QString& title, float scale);

  std::unique_ptr<common::Prompter> ownPrompter_;
  std::unique_ptr<PrinterBackend> backend_;
  std::unique_ptr<PrintSession> session_;
};

// The print command of the power meter and the analyzer, on `service` with the
// window's own prompter. Returns the PDF file written, when the print went to
// the file printer (empty otherwise).
QString printWindow(PrintService& service, common::Prompter& prompter, QWidget* window,
                    const QString& title, const common::ui::PrintChart* chart = nullptr);

// The fit question, as a real message box.
Answer askYesNoCancel(const std::string& text, const std::string& title);

}  // namespace kolm::print::ui
