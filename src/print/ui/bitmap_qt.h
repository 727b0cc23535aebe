// The kept picture and Qt images: taking a window or a picture, and showing or
// printing the kept bits.
#pragma once

#include <QImage>
#include <QPixmap>
#include <QWidget>
#include <optional>

#include "common/prompter.h"
#include "print/bitmap.h"

namespace kolm::print::ui {

// The picture as a 24-bit bitmap; empty for a null image.
Bitmap24 toBitmap(const QImage& image);
// A QImage over the bitmap's bits (no copy: valid while the bitmap lives).
QImage imageView(const Bitmap24& bitmap);

// Reads a picture for printing; a picture without a size is reported
// ("Formato grafico sconosciuto.") and gives nothing.
std::optional<Bitmap24> readPicture(const QPixmap& picture, common::Prompter& prompter);
// A widget or window as it looks on screen, with its child widgets.
std::optional<Bitmap24> readWidget(QWidget* object, common::Prompter& prompter);

}  // namespace kolm::print::ui
