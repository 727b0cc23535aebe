#include "analyzer/ui/quantity_readout.h"

#include <QStringList>
#include <algorithm>

namespace kolm::analyzer::ui {

QuantityReadout::QuantityReadout(std::function<int()> leastWidth, QWidget* parent)
    : QLineEdit(parent), leastWidth_(std::move(leastWidth)) {
  setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
}

QSize QuantityReadout::sizeHint() const {
  return {std::max(leastWidth_(), fontMetrics().horizontalAdvance(whole_) + 8),
          QLineEdit::sizeHint().height()};
}

void QuantityReadout::setTexts(const QString& whole, const QString& coarse) {
  whole_ = whole;
  coarse_ = coarse;
  fit();
}

void QuantityReadout::resizeEvent(QResizeEvent* event) {
  QLineEdit::resizeEvent(event);
  fit();
}

void QuantityReadout::fit() {
  const int room = contentsRect().width() - 4;
  auto fits = [&](const QString& s) { return fontMetrics().horizontalAdvance(s) <= room; };
  QString shown = whole_;
  if (!fits(whole_) && fits(coarse_)) {
    shown = coarse_;
  } else if (!fits(whole_)) {
    // The most words of either that fit, the whole text's first; a "±" is
    // never left without its half-width.
    const QStringList words[] = {whole_.split(' '), coarse_.split(' ')};
    shown = words[1].value(0) + QString::fromUtf8("\u2026");
    for (qsizetype n = words[0].size() - 1; n > 0; --n) {
      auto made = [&](const QStringList& w) {
        qsizetype kept = std::min(n, w.size() - 1);
        if (kept > 0 && w[kept - 1] == QString::fromUtf8("\u00b1")) --kept;
        return kept > 0 ? w.mid(0, kept).join(' ') + QString::fromUtf8(" \u2026") : QString();
      };
      if (const QString s = made(words[0]); !s.isEmpty() && fits(s)) {
        shown = s;
        break;
      }
      if (const QString s = made(words[1]); !s.isEmpty() && fits(s)) {
        shown = s;
        break;
      }
    }
  }
  if (text() != shown) {
    setText(shown);
    setCursorPosition(0);
  }
}

}  // namespace kolm::analyzer::ui
