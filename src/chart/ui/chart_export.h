// The chart as a picture file: PNG, or vector SVG and PDF, chosen by the file's
// extension. The chart's own paint routine draws it (grid and axis units,
// traces, legend, markers and their readouts) under a line with a title and
// the date and time. Written atomically.
#pragma once

#include <QDateTime>
#include <QString>

namespace kolm::chart::ui {

class SweepChart;

inline constexpr const char* kPictureFilter = "picture (*.png *.svg *.pdf)|*.png;*.svg;*.pdf";

// Empty on success, otherwise why nothing was written.
QString saveChartPicture(const SweepChart& chart, const QString& path, const QString& title,
                         const QDateTime& when = QDateTime::currentDateTime());

}  // namespace kolm::chart::ui
