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

class QPainter;

namespace kolm::chart::ui {

class SweepChart;

inline constexpr const char* kPictureFilter = "picture (*.png *.svg *.pdf)|*.png;*.svg;*.pdf";

// Any chart: its size on the screen, font and colours, and how it paints
// itself into a size.
struct ChartPicture {
  QSize size;
  QFont font;
  QColor background, foreground;
  std::function<void(QPainter&, const QSize&)> paint;
};
QString savePicture(const ChartPicture& chart, const QString& path, const QString& title,
                    const QDateTime& when = QDateTime::currentDateTime());

// Empty on success, otherwise why nothing was written.
QString saveChartPicture(const SweepChart& chart, const QString& path, const QString& title,
                         const QDateTime& when = QDateTime::currentDateTime());

}  // namespace kolm::chart::ui
