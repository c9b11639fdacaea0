#include "shells/qt/picture_files.hpp"

#include "device/device_surface.hpp"
#include "raster/raster_surface.hpp"
#include "shells/qt/paint_sequence.hpp"
#include "shells/qt/picture_look.hpp"
#include "shells/qt/picture_painting.hpp"
#include "svg/svg_writer.hpp"

#include <QBuffer>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>

#include <algorithm>
#include <optional>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

namespace trazo::qt {
namespace {

constexpr double kPointsPerInch = 72;
// The margins of an A4 or Letter page.
constexpr double kPaperMarginMillimetres = 10;

WriteResult writePng(Trazo& control, QSize size, const PictureOptions& options, const png::ByteSink& sink) {
  WriteResult result;
  std::string error;
  bool encoded = false;
  RasterSurface p1;
  if (!renderRaster(control, size, options, p1, result.paintStatus)) {
    result.error = QStringLiteral("no memory for a picture of that size");
    return result;
  }
  encoded = png::encodePng(p1.picture(), kScreenDpi, sink, error);
  result.written = encoded;
  if (!encoded) result.error = QString::fromStdString(error);
  return result;
}

// SVG is written as it is painted, straight to the sink.
WriteResult writeSvg(Trazo& control, QSize size, const PictureOptions& options, const png::ByteSink& sink,
                     const QString& title) {
  WriteResult result;
  DeviceSurface picture;
  picture.setDevice(size.width(), size.height(), kScreenDpi, kScreenDpi);
  applyPictureOptions(picture, options, picture.dpiX());
  const SvgSink bytes = [&sink](const char* data, std::size_t n) {
    return sink(reinterpret_cast<const unsigned char*>(data), n);
  };
  SvgWriter svg(bytes, picture, {options.antialias, options.texts});
  svg.begin(
      std::u16string_view(reinterpret_cast<const char16_t*>(title.utf16()), static_cast<std::size_t>(title.size())));
  result.paintStatus = paintWith(control, picture, svg, &svg);
  result.written = svg.finish();
  if (!result.written) {
    result.error = QStringLiteral("the output refused the data");
    result.paintStatus = status::ok;  // the painting stopped because the output did
  }
  return result;
}

QPageLayout pageFor(QSize size, const PictureOptions& options) {
  if (options.paper == Paper::pictureSize) {
    const QSizeF points(size.width() * kPointsPerInch / kScreenDpi, size.height() * kPointsPerInch / kScreenDpi);
    return QPageLayout(QPageSize(points, QPageSize::Point, QString(), QPageSize::ExactMatch), QPageLayout::Portrait,
                       QMarginsF());
  }
  const QPageSize paper(options.paper == Paper::a4 ? QPageSize::A4 : QPageSize::Letter);
  const double m = kPaperMarginMillimetres;
  return QPageLayout(paper, size.width() > size.height() ? QPageLayout::Landscape : QPageLayout::Portrait,
                     QMarginsF(m, m, m, m), QPageLayout::Millimeter);
}

// A PDF is painted into memory and handed to the sink whole.
WriteResult writePdf(Trazo& control, QSize size, const PictureOptions& options, const png::ByteSink& sink) {
  WriteResult result;
  QBuffer bytes;
  bytes.open(QIODevice::WriteOnly);
  {
    QPdfWriter pdf(&bytes);
    pdf.setResolution(options.printDpi);
    pdf.setPageLayout(pageFor(size, options));
    result.paintStatus = paintPicture(control, pdf, options);
  }
  bytes.close();
  const QByteArray& data = bytes.data();
  if (data.isEmpty()) {
    result.error = QStringLiteral("the picture could not be drawn");
    return result;
  }
  result.written =
      sink(reinterpret_cast<const unsigned char*>(data.constData()), static_cast<std::size_t>(data.size()));
  if (!result.written) result.error = QStringLiteral("the output refused the data");
  return result;
}

// Opens what is not a regular file for writing without creating anything. A pipe that no one
// reads is refused at once rather than waited on.
bool openInPlace(QFile& file, const QString& path, QString& error) {
#ifdef Q_OS_UNIX
  const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    error = errno == ENXIO ? QStringLiteral("no one reads from it") : QString::fromLocal8Bit(std::strerror(errno));
    return false;
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) (void)::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  if (!file.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
    ::close(fd);
    error = file.errorString();
    return false;
  }
  return true;
#else
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered | QIODevice::ExistingOnly)) {
    error = file.errorString();
    return false;
  }
  return true;
#endif
}

WriteResult writeInPlace(Trazo& control, const QString& path, PictureFormat format, QSize size,
                         const PictureOptions& options) {
  QFile file(path);
  QString error;
  if (!openInPlace(file, path, error)) return {false, error, status::ok};
  WriteResult result = writePicture(control, file, format, size, options, QFileInfo(path).fileName());
  if (result.written && !file.flush()) {
    result.written = false;
    result.error = file.errorString();
  }
  return result;
}

}  // namespace

std::optional<PictureFormat> pictureFormatFor(const QString& path) {
  return pictureFormatNamed(QFileInfo(path).suffix());
}

std::optional<PictureFormat> pictureFormatNamed(const QString& name) {
  const QString lower = name.toLower();
  if (lower == QLatin1String("png")) return PictureFormat::png;
  if (lower == QLatin1String("svg")) return PictureFormat::svg;
  if (lower == QLatin1String("pdf")) return PictureFormat::pdf;
  return std::nullopt;
}

WriteResult writePicture(Trazo& control, PictureFormat format, QSize size, const PictureOptions& options,
                         const png::ByteSink& sink, const QString& title) {
  switch (format) {
    case PictureFormat::png: return writePng(control, size, options, sink);
    case PictureFormat::svg: return writeSvg(control, size, options, sink, title);
    case PictureFormat::pdf: break;
  }
  return writePdf(control, size, options, sink);
}

WriteResult writePicture(Trazo& control, QIODevice& out, PictureFormat format, QSize size,
                         const PictureOptions& options, const QString& title) {
  WriteResult result = writePicture(
      control, format, size, options,
      [&](const unsigned char* data, std::size_t n) {
        // A short write is tried again for the rest, so that a real failure says why.
        auto* at = reinterpret_cast<const char*>(data);
        auto left = static_cast<qint64>(n);
        while (left > 0) {
          const qint64 written = out.write(at, left);
          if (written <= 0) return false;
          at += written;
          left -= written;
        }
        return true;
      },
      title);
  if (!result.written && out.errorString() != QFile().errorString()) result.error = out.errorString();
  return result;
}

WriteResult writePicture(Trazo& control, const QString& path, QSize size, const PictureOptions& options,
                         std::optional<PictureFormat> format) {
  if (!format) format = pictureFormatFor(path);
  if (!format) return {false, QStringLiteral("the file name must end in .png, .svg or .pdf"), status::ok};
  const QFileInfo target(path);
  if (target.isDir()) return {false, QStringLiteral("is a folder"), status::ok};
  // A device, a pipe or a socket is written in place: replacing it by renaming a file over
  // it would put a file where the device was.
  if (target.exists() && !target.isFile()) return writeInPlace(control, path, *format, size, options);
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return {false, file.errorString(), status::ok};
  WriteResult result = writePicture(control, file, *format, size, options, target.fileName());
  if (!result.written) {
    if (file.error() != QFileDevice::NoError) {
      // A write failed: committing now removes the temporary file. The reason shows either
      // at the failed write or at the commit's last flush, whichever knew the system's.
      const QString unknown = QFile().errorString();
      QString reason = file.errorString();
      (void)file.commit();
      if (reason == unknown) reason = file.errorString();
      result.error = reason;
    } else {
      file.cancelWriting();
    }
    return result;
  }
  if (!file.commit()) {
    result.written = false;
    result.error = file.errorString();
  }
  return result;
}

}  // namespace trazo::qt
