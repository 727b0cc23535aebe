#include "chart/ui/text_lines.h"

namespace kolm::chart::ui {

QStringList wrappedLines(const QFontMetrics& fm, const QString& text, int width) {
  QStringList lines;
  QString line;
  bool started = false;
  for (const QString& word : text.split(' ')) {
    const QString longer = started ? line + ' ' + word : word;
    if (started && !line.trimmed().isEmpty() && !word.isEmpty() &&
        fm.horizontalAdvance(longer) > width) {
      lines << line;
      line = word;
    } else {
      line = longer;
    }
    started = true;
  }
  return lines << line;
}

QStringList wrappedLines(const QFontMetrics& fm, const QStringList& texts, int width) {
  QStringList lines;
  for (const QString& text : texts) lines << wrappedLines(fm, text, width);
  return lines;
}

}  // namespace kolm::chart::ui
