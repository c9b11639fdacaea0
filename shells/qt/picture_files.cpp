#include "shells/qt/picture_files.hpp"

#include "shells/qt/painter_surface.hpp"

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

WriteResult writeImage(Trazo& control, const QString& path, QSize size, const PictureOptions& options) {
  WriteResult result;
  const QImage image = renderImage(control, size, options, &result.paintStatus);
  QImageWriter writer(path, "png");
  if (!writer.write(image)) {
    result.error = writer.errorString();
    return result;
  }
  result.written = true;
  return result;
}

WriteResult writeSvg(Trazo& control, const QString& path, QSize size, const PictureOptions& options) {
  WriteResult result;
  QSvgGenerator svg;
  svg.setFileName(path);
  svg.setSize(size);
  svg.setViewBox(QRect(QPoint(0, 0), size));
  svg.setResolution(kOutputDpi);
  svg.setTitle(QFileInfo(path).fileName());
  result.paintStatus = paintPicture(control, svg, options);
  // QSvgGenerator reports no write errors: check that the file is there.
  const QFileInfo written(path);
  result.written = written.exists() && written.size() > 0;
  if (!result.written) result.error = QStringLiteral("cannot be written");
  return result;
}

WriteResult writePdf(Trazo& control, const QString& path, QSize size, const PictureOptions& options) {
  WriteResult result;
  QPdfWriter pdf(path);
  pdf.setResolution(kOutputDpi);
  const QSizeF points(size.width() * kPointsPerInch / kOutputDpi, size.height() * kPointsPerInch / kOutputDpi);
  pdf.setPageLayout(QPageLayout(QPageSize(points, QPageSize::Point, QString(), QPageSize::ExactMatch),
                                QPageLayout::Portrait, QMarginsF()));
  result.paintStatus = paintPicture(control, pdf, options);
  const QFileInfo written(path);
  result.written = written.exists() && written.size() > 0;
  if (!result.written) result.error = QStringLiteral("cannot be written");
  return result;
}

}  // namespace

std::optional<PictureFormat> pictureFormatFor(const QString& path) {
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix == QLatin1String("png")) return PictureFormat::png;
  if (suffix == QLatin1String("svg")) return PictureFormat::svg;
  if (suffix == QLatin1String("pdf")) return PictureFormat::pdf;
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
  switch (*format) {
    case PictureFormat::png: return writeImage(control, path, size, options);
    case PictureFormat::svg: return writeSvg(control, path, size, options);
    case PictureFormat::pdf: return writePdf(control, path, size, options);
  }
  return {};
}

}  // namespace trazo::qt
