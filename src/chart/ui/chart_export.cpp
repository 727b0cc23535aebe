#include "chart/ui/chart_export.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include "chart/ui/sweep_chart.h"
#include "chart/ui/text_lines.h"
#include "common/files.h"

namespace kolm::chart::ui {

namespace {

QFont titleFont(const ChartPicture& chart) {
  QFont f = chart.font;
  f.setPointSizeF(f.pointSizeF() * 1.25);
  f.setBold(true);
  return f;
}

// The note and the date at the right of the title's first line.
QString noteAndDate(const ChartPicture& chart, const QString& when) {
  return chart.note.isEmpty() ? when : chart.note + "   " + when;
}

// The title broken at its blanks into lines that leave the note and the date
// their room (reserved for the longest date written, so that every picture of
// a width has the same lines): nothing of it is cut.
QStringList titleLines(const ChartPicture& chart, const QString& title, int width) {
  const QFontMetrics fm(titleFont(chart));
  const int right = fm.horizontalAdvance(noteAndDate(chart, "0000-00-00 00:00:00"));
  const int room = std::max(width - 12 - right - 12, fm.averageCharWidth() * 12);
  return wrappedLines(fm, title, room);
}

}  // namespace

int titleHeight(const ChartPicture& chart, const QString& title, int width) {
  const int line = QFontMetrics(chart.font).height();
  const int titleLine = QFontMetrics(titleFont(chart)).height();
  const int lines = static_cast<int>(titleLines(chart, title, width).size());
  return std::max(2 * line, lines * titleLine + 2 * line - titleLine);
}

common::ui::PrintChart printChart(const ChartPicture& chart, const QString& title) {
  const QSize whole(chart.size.width(),
                    chart.size.height() + titleHeight(chart, title, chart.size.width()));
  return {whole, [chart, title](QPainter& p, const QSize& size) {
            paintTitledChart(p, chart, size, title,
                             QDateTime::currentDateTime().toString("yyyy-MM-dd HH:mm"));
          }};
}

QString simulatedNote(bool simulated) {
  return simulated ? QObject::tr("simulated instrument") : QString();
}

void paintTitledChart(QPainter& p, const ChartPicture& chart, const QSize& whole,
                      const QString& title, const QString& when) {
  const int header = titleHeight(chart, title, whole.width());
  const QSize size(whole.width(), std::max(1, whole.height() - header));
  p.fillRect(QRect(QPoint(0, 0), whole), chart.background);
  const QFont f = titleFont(chart);
  p.setFont(f);
  p.setPen(chart.foreground);
  const int titleLine = QFontMetrics(f).height();
  // The first line centred where a one-line title stands, the rest under it.
  const int top = (2 * QFontMetrics(chart.font).height() - titleLine) / 2;
  p.drawText(QRect(6, top, size.width() - 12, titleLine), Qt::AlignRight | Qt::AlignVCenter,
             noteAndDate(chart, when));
  int y = top;
  for (const QString& line : titleLines(chart, title, whole.width())) {
    p.drawText(QRect(6, y, size.width() - 12, titleLine), Qt::AlignLeft | Qt::AlignVCenter, line);
    y += titleLine;
  }
  p.save();
  p.translate(0, header);
  chart.paint(p, size);
  p.restore();
}

QString saveChartPicture(const SweepChart& chart, const QString& path, const QString& title,
                         const QString& note, const QDateTime& when) {
  return savePicture(
      {chart.size(), chart.font(), chart.background(), chart.foreground(),
       [&chart](QPainter& p, const QSize& size) { chart.paintChart(p, size); }, note},
      path, title, when);
}

QString savePicture(const ChartPicture& chart, const QString& path, const QString& title,
                    const QDateTime& when) {
  const QString kind = QFileInfo(path).suffix().toLower();
  const QSize size = chart.size.expandedTo(QSize(320, 200));
  const QSize whole(size.width(), size.height() + titleHeight(chart, title, size.width()));
  const QString stamp = when.toString("yyyy-MM-dd HH:mm:ss");
  QBuffer out;
  out.open(QIODevice::WriteOnly);
  if (kind == "png") {
    QImage image(whole, QImage::Format_RGB32);
    {
      QPainter p(&image);
      paintTitledChart(p, chart, whole, title, stamp);
    }
    if (!image.save(&out, "PNG")) return QObject::tr("The picture could not be made.");
  } else if (kind == "svg") {
    QSvgGenerator svg;
    svg.setOutputDevice(&out);
    svg.setSize(whole);
    svg.setViewBox(QRect(QPoint(0, 0), whole));
    svg.setTitle(title);
    svg.setDescription(stamp);
    QPainter p(&svg);
    paintTitledChart(p, chart, whole, title, stamp);
  } else if (kind == "pdf") {
    QPdfWriter pdf(&out);
    pdf.setTitle(title);
    pdf.setCreator("Kolm");
    pdf.setResolution(72);  // a pixel of the chart is a point of the page
    pdf.setPageSize(QPageSize(QSizeF(whole), QPageSize::Point));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter p(&pdf);
    paintTitledChart(p, chart, whole, title, stamp);
  } else {
    return QObject::tr("A picture is saved as .png, .svg or .pdf.");
  }
  out.close();
  std::string error;
  if (!common::writeFileAtomic(path.toStdString(), out.data().toStdString(), &error))
    return QString::fromStdString(error);
  return {};
}

}  // namespace kolm::chart::ui
