#include "chart/ui/chart_export.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include "chart/ui/sweep_chart.h"
#include "common/files.h"

namespace kolm::chart::ui {

int titleLineHeight(const ChartPicture& chart) { return QFontMetrics(chart.font).height() * 2; }

common::ui::PrintChart printChart(const ChartPicture& chart, const QString& title) {
  const QSize whole(chart.size.width(), chart.size.height() + titleLineHeight(chart));
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
  const int header = titleLineHeight(chart);
  const QSize size(whole.width(), std::max(1, whole.height() - header));
  p.fillRect(QRect(QPoint(0, 0), whole), chart.background);
  QFont f = chart.font;
  f.setPointSizeF(f.pointSizeF() * 1.25);
  f.setBold(true);
  p.setFont(f);
  p.setPen(chart.foreground);
  const QRect line(6, 0, size.width() - 12, header);
  const QString right = chart.note.isEmpty() ? when : chart.note + "   " + when;
  p.drawText(line, Qt::AlignRight | Qt::AlignVCenter, right);
  // A title longer than the room left is cut at its end, never over the date.
  const int room = line.width() - QFontMetrics(f).horizontalAdvance(right) - 12;
  p.drawText(QRect(line.x(), 0, std::max(0, room), header), Qt::AlignLeft | Qt::AlignVCenter,
             QFontMetrics(f).elidedText(title, Qt::ElideRight, std::max(0, room)));
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
  const QSize whole(size.width(), size.height() + titleLineHeight(chart));
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
