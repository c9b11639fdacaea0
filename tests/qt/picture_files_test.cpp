// Pictures written to SVG and PDF, read back for their structure, and what is refused.
#include "control/trazo.hpp"
#include "shells/qt/picture_files.hpp"
#include "tests/qt/image_probe.hpp"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

namespace trazo::qt {
namespace {

class PictureFiles : public ::testing::Test {
 protected:
  PictureFiles() {
    (void)control.onInitialize();
    // Extents (0, 0)-(100, 50) into 600 x 300: 5 pixels to the unit, x = (x + 10) * 5,
    // y = (55 - y) * 5.
    (void)control.AddBox(0, 0, 100, 50, 4, 0, u"");
    (void)control.AddLine(10, 25, 90, 25, 3, 1, u"");
    (void)control.AddCircle(50, 25, 10, 5, 0, u"");
  }
  QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
  QByteArray read(const QString& file) const {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  QTemporaryDir dir;
  Trazo control;
};

TEST_F(PictureFiles, SvgHasThePicturesSizeAndItsStrokesDrawnBack) {
  const QString file = path("drawing.svg");
  const WriteResult result = writePicture(control, file, QSize(600, 300), {});
  ASSERT_TRUE(result.written) << result.error.toStdString();
  EXPECT_EQ(result.paintStatus, status::ok);

  QXmlStreamReader xml(read(file));
  ASSERT_TRUE(xml.readNextStartElement());
  EXPECT_EQ(xml.name(), QLatin1String("svg"));
  EXPECT_EQ(xml.attributes().value(QLatin1String("viewBox")), QLatin1String("0 0 600 300"));
  QStringList strokes;
  int shapes = 0;
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    if (xml.attributes().hasAttribute(QLatin1String("stroke")))
      strokes << xml.attributes().value(QLatin1String("stroke")).toString();
    for (const char* shape : {"polyline", "line", "path", "circle", "ellipse"})
      if (xml.name() == QLatin1String(shape)) ++shapes;
  }
  ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  EXPECT_TRUE(strokes.contains(QLatin1String("#00ffff")));  // the frame
  EXPECT_TRUE(strokes.contains(QLatin1String("#00ff00")));  // the dashed line
  EXPECT_TRUE(strokes.contains(QLatin1String("#0000ff")));  // the circle
  EXPECT_EQ(shapes, 6);  // four sides, a line and a circle

  QSvgRenderer renderer(file);
  ASSERT_TRUE(renderer.isValid());
  QImage back(600, 300, QImage::Format_RGB32);
  back.fill(Qt::white);
  QPainter painter(&back);
  renderer.render(&painter);
  painter.end();
  // The renderer smooths a one-pixel stroke over two pixels: look for the drawn colour's
  // hue, its full channels lit and its empty ones dark.
  const auto near = [&](int x, int y, QColor want) {
    const auto matches = [](int channel, int wanted) { return wanted == 255 ? channel > 60 : channel < 40; };
    for (int dy = -2; dy <= 2; ++dy)
      for (int dx = -2; dx <= 2; ++dx) {
        const QColor c = back.pixelColor(x + dx, y + dy);
        if (matches(c.red(), want.red()) && matches(c.green(), want.green()) && matches(c.blue(), want.blue()))
          return true;
      }
    return false;
  };
  EXPECT_EQ(back.pixelColor(300, 165), QColor(0, 0, 0));  // the background, inside the circle
  EXPECT_TRUE(near((0 + 10) * 5, (55 - 25) * 5, QColor(0, 255, 255)));   // the frame's left side
  EXPECT_TRUE(near((40 + 10) * 5, (55 - 25) * 5, QColor(0, 0, 255)));    // the circle's left end
  EXPECT_FALSE(near((40 + 10) * 5, (55 - 40) * 5, QColor(0, 0, 255)));
}

TEST_F(PictureFiles, PdfIsOnePageOfThePicturesSizeWithAConsistentXref) {
  const QString file = path("drawing.pdf");
  const WriteResult result = writePicture(control, file, QSize(600, 300), {});
  ASSERT_TRUE(result.written) << result.error.toStdString();
  const QByteArray pdf = read(file);
  ASSERT_TRUE(pdf.startsWith("%PDF-1."));
  EXPECT_TRUE(pdf.trimmed().endsWith("%%EOF"));

  // startxref gives the offset of the cross-reference table, whose entries give the offset
  // of every object "n 0 obj".
  const qsizetype start = pdf.lastIndexOf("startxref");
  ASSERT_GE(start, 0);
  const qsizetype xref = pdf.mid(start + 9).trimmed().split('\n').first().trimmed().toLongLong();
  ASSERT_EQ(pdf.mid(xref, 4), QByteArray("xref"));
  const QList<QByteArray> lines = pdf.mid(xref).split('\n');
  ASSERT_GE(lines.size(), 3);
  const QList<QByteArray> header = lines[1].trimmed().split(' ');
  ASSERT_EQ(header.size(), 2);
  const int first = header[0].toInt();
  const int count = header[1].toInt();
  int checked = 0;
  for (int i = 0; i < count; ++i) {
    const QList<QByteArray> entry = lines[2 + i].trimmed().split(' ');
    ASSERT_EQ(entry.size(), 3) << i;
    if (entry[2] != "n") continue;
    const qsizetype offset = entry[0].toLongLong();
    EXPECT_TRUE(pdf.mid(offset).startsWith(QByteArray::number(first + i) + " 0 obj")) << "object " << first + i;
    ++checked;
  }
  EXPECT_GT(checked, 3);

  EXPECT_EQ(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") + pdf.count("/Type /Page "), 1);
  // 600 x 300 pixels at 96 to the inch are 450 x 225 points.
  const QRegularExpression mediaBox(QStringLiteral(R"(/MediaBox \[0 0 ([0-9.]+) ([0-9.]+)\])"));
  const auto match = mediaBox.match(QString::fromLatin1(pdf));
  ASSERT_TRUE(match.hasMatch());
  EXPECT_NEAR(match.captured(1).toDouble(), 450, 0.5);
  EXPECT_NEAR(match.captured(2).toDouble(), 225, 0.5);
}

TEST_F(PictureFiles, PngKeepsTheDrawingAndNinetySixDotsToTheInch) {
  const QString file = path("drawing.PNG");
  ASSERT_TRUE(writePicture(control, file, QSize(600, 300), {}).written);
  QImage image;
  ASSERT_TRUE(image.load(file, "png"));
  EXPECT_EQ(image.size(), QSize(600, 300));
  EXPECT_EQ(qRound(image.dotsPerMeterX() * 0.0254), 96);
  EXPECT_TRUE(testing::colourNear(image, (50 + 10 + 10) * 5, (55 - 25) * 5, QColor(0, 0, 255)));
}

// Any device open for writing takes the picture, in the format asked for, byte for byte what
// the file of that format holds.
TEST_F(PictureFiles, AnyDeviceTakesThePictureInTheFormatAskedFor) {
  const struct {
    PictureFormat format;
    const char* file;
  } cases[] = {{PictureFormat::png, "device.png"}, {PictureFormat::svg, "device.svg"}, {PictureFormat::pdf, "device.pdf"}};
  for (const auto& c : cases) {
    QBuffer buffer;
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly));
    const WriteResult result = writePicture(control, buffer, c.format, QSize(60, 30), {}, QStringLiteral("device"));
    EXPECT_TRUE(result.written) << c.file;
    ASSERT_TRUE(writePicture(control, path(c.file), QSize(60, 30), {}).written);
    QByteArray file = read(path(c.file));
    if (c.format == PictureFormat::pdf) {
      // A PDF carries the moment it was made; its drawing is what must agree.
      EXPECT_TRUE(buffer.data().startsWith("%PDF")) << c.file;
      EXPECT_EQ(buffer.data().size(), file.size()) << c.file;
    } else {
      EXPECT_EQ(buffer.data(), file.replace("device.svg", "device")) << c.file;
    }
  }
  EXPECT_EQ(pictureFormatNamed(QStringLiteral("PDF")), PictureFormat::pdf);
  EXPECT_FALSE(pictureFormatNamed(QStringLiteral("gif")));
}

TEST_F(PictureFiles, UnknownExtensionsAndUnwritablePlacesAreReportedNotWritten) {
  const WriteResult gif = writePicture(control, path("drawing.gif"), QSize(10, 10), {});
  EXPECT_FALSE(gif.written);
  EXPECT_FALSE(gif.error.isEmpty());
  EXPECT_FALSE(QFile::exists(path("drawing.gif")));
  for (const char* name : {"missing/drawing.png", "missing/drawing.svg", "missing/drawing.pdf"}) {
    const WriteResult r = writePicture(control, path(name), QSize(10, 10), {});
    EXPECT_FALSE(r.written) << name;
    EXPECT_FALSE(r.error.isEmpty()) << name;
  }
}

}  // namespace
}  // namespace trazo::qt
