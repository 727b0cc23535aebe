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

namespace {

// The title line above the chart, then the chart itself.
void paintPicture(QPainter& p, const ChartPicture& chart, const QSize& size, int header,
                  const QString& title, const QString& when) {
  p.fillRect(QRect(0, 0, size.width(), size.height() + header), chart.background);
  QFont f = chart.font;
  f.setPointSizeF(f.pointSizeF() * 1.25);
  f.setBold(true);
  p.setFont(f);
  p.setPen(chart.foreground);
  const QRect line(6, 0, size.width() - 12, header);
  p.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, title);
  p.drawText(line, Qt::AlignRight | Qt::AlignVCenter, when);
  p.translate(0, header);
  chart.paint(p, size);
}

}  // namespace

QString saveChartPicture(const SweepChart& chart, const QString& path, const QString& title,
                         const QDateTime& when) {
  return savePicture({chart.size(), chart.font(), chart.background(), chart.foreground(),
                      [&chart](QPainter& p, const QSize& size) { chart.paintChart(p, size); }},
                     path, title, when);
}

QString savePicture(const ChartPicture& chart, const QString& path, const QString& title,
                    const QDateTime& when) {
  const QString kind = QFileInfo(path).suffix().toLower();
  const QSize size = chart.size.expandedTo(QSize(320, 200));
  const int header = QFontMetrics(chart.font).height() * 2;
  const QSize whole(size.width(), size.height() + header);
  const QString stamp = when.toString("yyyy-MM-dd HH:mm:ss");
  QBuffer out;
  out.open(QIODevice::WriteOnly);
  if (kind == "png") {
    QImage image(whole, QImage::Format_RGB32);
    {
      QPainter p(&image);
      paintPicture(p, chart, size, header, title, stamp);
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
    paintPicture(p, chart, size, header, title, stamp);
  } else if (kind == "pdf") {
    QPdfWriter pdf(&out);
    pdf.setTitle(title);
    pdf.setCreator("Kolm");
    pdf.setResolution(72);  // a pixel of the chart is a point of the page
    pdf.setPageSize(QPageSize(QSizeF(whole), QPageSize::Point));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter p(&pdf);
    paintPicture(p, chart, size, header, title, stamp);
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
