// Texts drawn on a chart in lines no wider than the room they have: broken at
// their blanks rather than cut, so that a readout or a legend note keeps its
// last words at any window size.
#pragma once

#include <QFontMetrics>
#include <QString>
#include <QStringList>

namespace kolm::chart::ui {

// `text` broken at its blanks into lines no wider than `width` where it can be
// (a word wider than that stands alone on its line); the blanks between the
// words of a line are kept, those at a break dropped.
QStringList wrappedLines(const QFontMetrics& fm, const QString& text, int width);
// Each text of `texts` so, one after the other.
QStringList wrappedLines(const QFontMetrics& fm, const QStringList& texts, int width);

}  // namespace kolm::chart::ui
