// The chart as a picture file: PNG, or vector SVG and PDF, chosen by the file's
// extension. The chart's own paint routine draws it (grid and axis units,
// traces, legend, markers and their readouts) under a line with a title and
// the date and time. Written atomically.
#pragma once

#include <QColor>
#include <QDateTime>
#include <QFont>
#include <QSize>
#include <QString>
#include <functional>

#include "common/ui/print_chart.h"

class QPainter;

namespace kolm::chart::ui {

class SweepChart;

inline constexpr const char* kPictureFilter = "picture (*.png *.svg *.pdf)|*.png;*.svg;*.pdf";

// Any chart: its size on the screen, font and colours, and how it paints
// itself into a size; `note` is said on the title line before the date (the
// simulated instrument says so).
struct ChartPicture {
  QSize size;
  QFont font;
  QColor background, foreground;
  std::function<void(QPainter&, const QSize&)> paint;
  QString note;
};
// The height of the title over a chart `width` wide in pictures and prints:
// one line, or more where the title wraps.
int titleHeight(const ChartPicture& chart, const QString& title, int width);
// The title (at the left, wrapped at its blanks; the note and date at the
// right of its first line), then the chart under it, into `whole` (the title
// included).
void paintTitledChart(QPainter& p, const ChartPicture& chart, const QSize& whole,
                      const QString& title, const QString& when);
// The chart under its title line as the print dialog's "Chart only" prints it
// (dated when printed).
common::ui::PrintChart printChart(const ChartPicture& chart, const QString& title);
// A chart's note when it shows a measurement of the simulated instrument.
QString simulatedNote(bool simulated);
QString savePicture(const ChartPicture& chart, const QString& path, const QString& title,
                    const QDateTime& when = QDateTime::currentDateTime());

// Empty on success, otherwise why nothing was written.
QString saveChartPicture(const SweepChart& chart, const QString& path, const QString& title,
                         const QString& note = {},
                         const QDateTime& when = QDateTime::currentDateTime());

}  // namespace kolm::chart::ui
