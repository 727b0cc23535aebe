#include "print/ui/bitmap_qt.h"

#include <cstring>

namespace kolm::print::ui {

Bitmap24 toBitmap(const QImage& image) {
  if (image.isNull()) return {};
  QImage bgr = image.convertToFormat(QImage::Format_BGR888);
  Bitmap24 b = Bitmap24::blank(bgr.width(), bgr.height());
  if (b.empty()) return b;
  size_t rowBytes = static_cast<size_t>(bgr.width()) * 3;
  for (int y = 0; y < bgr.height(); ++y) std::memcpy(b.row(y), bgr.constScanLine(y), rowBytes);
  return b;
}

QImage imageView(const Bitmap24& bitmap) {
  if (bitmap.empty()) return {};
  return QImage(bitmap.bits.data(), bitmap.width, bitmap.height, bitmap.stride,
                QImage::Format_BGR888);
}

std::optional<Bitmap24> readPicture(const QPixmap& picture, common::Prompter& prompter) {
  Bitmap24 b = picture.isNull() ? Bitmap24{} : toBitmap(picture.toImage());
  if (b.empty()) {
    prompter.message("Formato grafico sconosciuto.\n\nL' operazione di stampa viene interrotta.",
                     common::Icon::Critical, " Errore in frmStampaFCPB/Legge_PictureBox");
    return std::nullopt;
  }
  return b;
}

std::optional<Bitmap24> readWidget(QWidget* object, common::Prompter& prompter) {
  // grab() renders the widget with its visible children, as on screen.
  return readPicture(object ? object->grab() : QPixmap(), prompter);
}

}  // namespace kolm::print::ui
