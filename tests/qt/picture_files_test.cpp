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
  EXPECT_EQ(shapes, 6);                                     // four sides, a line and a circle

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
  EXPECT_EQ(back.pixelColor(300, 165), QColor(0, 0, 0));                // the background, inside the circle
  EXPECT_TRUE(near((0 + 10) * 5, (55 - 25) * 5, QColor(0, 255, 255)));  // the frame's left side
  EXPECT_TRUE(near((40 + 10) * 5, (55 - 25) * 5, QColor(0, 0, 255)));   // the circle's left end
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
  } cases[] = {
      {PictureFormat::png, "device.png"}, {PictureFormat::svg, "device.svg"}, {PictureFormat::pdf, "device.pdf"}};
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

// Every entity is a group of its own with its number, kind and tag, the tag escaped so that
// any string reads back as the control holds it (what XML cannot carry as U+FFFD); texts
// come as text elements in their group when the host asks for them.
TEST_F(PictureFiles, SvgKeepsEachEntitysKindAndTag) {
  const std::u16string awkward = u"<a & \"b\" 'c'>\t\u65E5\u672C \U0001F600 \xD800 \x01";
  (void)control.AddCircle2(50, 25, 20, 0, 1, 2, 0, awkward);
  (void)control.AddText(5, 5, 8, 30, 6, u"R&D <1>", u"label");
  PictureOptions options;
  options.texts = true;
  QBuffer buffer;
  ASSERT_TRUE(buffer.open(QIODevice::WriteOnly));
  ASSERT_TRUE(writePicture(control, buffer, PictureFormat::svg, QSize(600, 300), options).written);

  struct Group {
    QString entity, kind, tag;
    QStringList shapes;
    QString text;
  };
  std::vector<Group> groups;
  QXmlStreamReader xml(buffer.data());
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    const auto a = xml.attributes();
    if (xml.name() == QLatin1String("g") && a.hasAttribute(QLatin1String("data-entity"))) {
      groups.push_back({a.value(QLatin1String("data-entity")).toString(),
                        a.value(QLatin1String("data-kind")).toString(),
                        a.value(QLatin1String("data-tag")).toString(),
                        {},
                        {}});
    } else if (!groups.empty() && xml.name() == QLatin1String("text")) {
      groups.back().text = xml.readElementText();
    } else if (!groups.empty()) {
      groups.back().shapes << xml.name().toString();
    }
  }
  ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  ASSERT_EQ(groups.size(), 8u);  // four sides of the box, a line, a circle, an arc, a text
  const QStringList kinds{QStringLiteral("line"), QStringLiteral("line"), QStringLiteral("line"),
                          QStringLiteral("line"), QStringLiteral("line"), QStringLiteral("circle"),
                          QStringLiteral("arc"),  QStringLiteral("text")};
  for (std::size_t i = 0; i < groups.size(); ++i) {
    EXPECT_EQ(groups[i].entity, QString::number(i + 1));
    EXPECT_EQ(groups[i].kind, kinds[static_cast<qsizetype>(i)]) << i;
  }
  EXPECT_EQ(groups[4].shapes, QStringList{QStringLiteral("line")});
  EXPECT_EQ(groups[5].shapes, QStringList{QStringLiteral("circle")});
  EXPECT_EQ(groups[6].shapes, QStringList{QStringLiteral("path")});
  EXPECT_EQ(groups[7].shapes.size(), 4);  // the box's four sides
  EXPECT_EQ(groups[6].tag, QString::fromUtf16(u"<a & \"b\" 'c'>\t\u65E5\u672C \U0001F600 \uFFFD \uFFFD"));
  EXPECT_EQ(groups[7].tag, QStringLiteral("label"));
  EXPECT_EQ(groups[7].text, QStringLiteral("R&D <1>"));
  EXPECT_TRUE(groups[0].text.isEmpty());
}

// Drawn back, an SVG text's characters lie inside its box (5 pixels to the unit: "Trazo" 10
// high at (20, 20) is a box from x = 150 to 275 and from y = 175 up to 125).
TEST_F(PictureFiles, SvgTextsShowInsideTheirBoxes) {
  (void)control.AddText(20, 20, 10, 0, 6, u"Trazo", u"");
  PictureOptions options;
  options.texts = true;
  QBuffer buffer;
  ASSERT_TRUE(buffer.open(QIODevice::WriteOnly));
  ASSERT_TRUE(writePicture(control, buffer, PictureFormat::svg, QSize(600, 300), options).written);
  QSvgRenderer renderer(buffer.data());
  ASSERT_TRUE(renderer.isValid());
  QImage back(600, 300, QImage::Format_RGB32);
  QPainter painter(&back);
  renderer.render(&painter);
  painter.end();
  int ink = 0;
  for (int y = 130; y < 171; ++y)
    for (int x = 155; x < 271; ++x) ink += back.pixelColor(x, y).red() > 100 && back.pixelColor(x, y).blue() > 100;
  EXPECT_GT(ink, 300);
}

// The document goes to its sink as it is painted, in pieces of a bounded size.
TEST_F(PictureFiles, SvgIsWrittenAsItIsPainted) {
  for (int i = 0; i < 20000; ++i) (void)control.AddLine(i % 100, 0, 100 - i % 100, 50, i % 7, i % 4, u"a tag");
  std::size_t pieces = 0, largest = 0, total = 0;
  const WriteResult result =
      writePicture(control, PictureFormat::svg, QSize(600, 300), {}, [&](const unsigned char*, std::size_t n) {
        ++pieces;
        largest = std::max(largest, n);
        total += n;
        return true;
      });
  ASSERT_TRUE(result.written);
  EXPECT_GT(total, 2'000'000u);
  EXPECT_GT(pieces, 20u);
  EXPECT_LT(largest, 70'000u);
  // A sink that gives up stops the writing and says so.
  std::size_t taken = 0;
  const WriteResult refused = writePicture(control, PictureFormat::svg, QSize(600, 300), {},
                                           [&](const unsigned char*, std::size_t n) { return (taken += n) < 100'000; });
  EXPECT_FALSE(refused.written);
  EXPECT_FALSE(refused.error.isEmpty());
  EXPECT_EQ(refused.paintStatus, status::ok);
}

// A PDF page of A4 or Letter, turned to suit the picture; the resolution does not change
// the page, and the texts the host asks for bring their font.
TEST_F(PictureFiles, PdfPagesAreThePictureOrAPaperTurnedToSuitIt) {
  struct Case {
    Paper paper;
    QSize size;
    int dpi;
    double width, height;  // points
  };
  const Case cases[] = {{Paper::pictureSize, {600, 300}, 96, 450, 225},
                        {Paper::pictureSize, {600, 300}, 1200, 450, 225},
                        {Paper::a4, {600, 300}, 300, 841.9, 595.3},
                        {Paper::a4, {300, 600}, 300, 595.3, 841.9},
                        {Paper::letter, {300, 600}, 600, 612, 792}};
  const QRegularExpression mediaBox(QStringLiteral(R"(/MediaBox \[0 0 ([0-9.]+) ([0-9.]+)\])"));
  for (const Case& c : cases) {
    PictureOptions options;
    options.paper = c.paper;
    options.printDpi = c.dpi;
    QBuffer buffer;
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly));
    ASSERT_TRUE(writePicture(control, buffer, PictureFormat::pdf, c.size, options).written);
    const auto match = mediaBox.match(QString::fromLatin1(buffer.data()));
    ASSERT_TRUE(match.hasMatch());
    EXPECT_NEAR(match.captured(1).toDouble(), c.width, 0.5) << c.dpi;
    EXPECT_NEAR(match.captured(2).toDouble(), c.height, 0.5) << c.dpi;
  }
  (void)control.AddText(10, 10, 8, 0, 3, u"Trazo", u"");
  for (const bool texts : {false, true}) {
    PictureOptions options;
    options.texts = texts;
    QBuffer buffer;
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly));
    ASSERT_TRUE(writePicture(control, buffer, PictureFormat::pdf, QSize(600, 300), options).written);
    EXPECT_EQ(buffer.data().contains("/FontFile"), texts);
  }
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
