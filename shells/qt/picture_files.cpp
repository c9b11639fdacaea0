#include "shells/qt/picture_files.hpp"

#include "shells/qt/painter_surface.hpp"

#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

namespace trazo::qt {
namespace {

constexpr double kMetresPerInch = 0.0254;
constexpr double kPointsPerInch = 72;

// Whether every byte reached the device: a file reports its write errors only once flushed.
WriteResult reached(QIODevice& out, WriteResult result) {
  auto* file = qobject_cast<QFileDevice*>(&out);
  if (file != nullptr && (!file->flush() || file->error() != QFileDevice::NoError)) {
    result.written = false;
    result.error = file->errorString();
  }
  return result;
}

WriteResult writeImage(Trazo& control, QIODevice& out, QSize size, const PictureOptions& options) {
  WriteResult result;
  const QImage image = renderImage(control, size, options, &result.paintStatus);
  QImageWriter writer(&out, "png");
  result.written = writer.write(image);
  if (!result.written) result.error = writer.errorString();
  return result;
}

WriteResult writeSvg(Trazo& control, QIODevice& out, QSize size, const PictureOptions& options,
                     const QString& title) {
  WriteResult result;
  QSvgGenerator svg;
  svg.setOutputDevice(&out);
  svg.setSize(size);
  svg.setViewBox(QRect(QPoint(0, 0), size));
  svg.setResolution(kOutputDpi);
  svg.setTitle(title);
  result.paintStatus = paintPicture(control, svg, options);
  result.written = true;  // QSvgGenerator reports no write errors; the device does
  return result;
}

WriteResult writePdf(Trazo& control, QIODevice& out, QSize size, const PictureOptions& options) {
  WriteResult result;
  QPdfWriter pdf(&out);
  pdf.setResolution(kOutputDpi);
  const QSizeF points(size.width() * kPointsPerInch / kOutputDpi, size.height() * kPointsPerInch / kOutputDpi);
  pdf.setPageLayout(QPageLayout(QPageSize(points, QPageSize::Point, QString(), QPageSize::ExactMatch),
                                QPageLayout::Portrait, QMarginsF()));
  result.paintStatus = paintPicture(control, pdf, options);
  result.written = true;  // likewise
  return result;
}

}  // namespace

std::optional<PictureFormat> pictureFormatFor(const QString& path) { return pictureFormatNamed(QFileInfo(path).suffix()); }

std::optional<PictureFormat> pictureFormatNamed(const QString& name) {
  const QString lower = name.toLower();
  if (lower == QLatin1String("png")) return PictureFormat::png;
  if (lower == QLatin1String("svg")) return PictureFormat::svg;
  if (lower == QLatin1String("pdf")) return PictureFormat::pdf;
  return std::nullopt;
}

Status paintPicture(Trazo& control, QPaintDevice& device, const PictureOptions& options) {
  PainterSurface picture(options);
  picture.setDevice(device.width(), device.height(), device.logicalDpiX(), device.logicalDpiY());
  QPainter painter;
  if (!painter.begin(&device)) return status::unexpected;
  Surface& previous = control.picture();
  control.attachPicture(picture);
  picture.begin(painter);
  Status s = status::ok;
  try {
    s = control.onPaint();
  } catch (...) {
    s = status::unexpected;
  }
  picture.end();
  control.attachPicture(previous);
  painter.end();
  return s;
}

QImage renderImage(Trazo& control, QSize size, const PictureOptions& options, Status* paintStatus) {
  QImage image(size, QImage::Format_RGB32);
  const int dotsPerMetre = static_cast<int>(kOutputDpi / kMetresPerInch + 0.5);
  image.setDotsPerMeterX(dotsPerMetre);
  image.setDotsPerMeterY(dotsPerMetre);
  image.fill(options.background);
  const Status s = image.isNull() ? status::outOfMemory : paintPicture(control, image, options);
  if (paintStatus != nullptr) *paintStatus = s;
  return image;
}

WriteResult writePicture(Trazo& control, const QString& path, QSize size, const PictureOptions& options) {
  const auto format = pictureFormatFor(path);
  if (!format) return {false, QStringLiteral("the file name must end in .png, .svg or .pdf"), status::ok};
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return {false, file.errorString(), status::ok};
  return writePicture(control, file, *format, size, options, QFileInfo(path).fileName());
}

WriteResult writePicture(Trazo& control, QIODevice& out, PictureFormat format, QSize size,
                         const PictureOptions& options, const QString& title) {
  switch (format) {
    case PictureFormat::png: return reached(out, writeImage(control, out, size, options));
    case PictureFormat::svg: return reached(out, writeSvg(control, out, size, options, title));
    case PictureFormat::pdf: return reached(out, writePdf(control, out, size, options));
  }
  return {};
}

}  // namespace trazo::qt
