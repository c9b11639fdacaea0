#include "tools/trazo/picture_arguments.hpp"

#include <QColor>
#include <QString>

#include <cmath>
#include <iostream>

namespace trazo::cli {

std::optional<qt::LineWidth> parseLineWidth(const std::string& text) {
  qt::LineWidth width;
  QString number = QString::fromStdString(text).trimmed().toLower();
  double widest = kWidestLinePixels;
  if (number.endsWith(QLatin1String("mm"))) {
    width.unit = qt::LineWidth::Unit::millimetres;
    widest = kWidestLineMillimetres;
    number.chop(2);
  } else if (number.endsWith(QLatin1String("px"))) {
    number.chop(2);
  }
  bool ok = false;
  width.value = number.trimmed().toDouble(&ok);
  if (!ok || !std::isfinite(width.value) || width.value <= 0 || width.value > widest) return std::nullopt;
  return width;
}

bool PictureArguments::toOptions(qt::PictureOptions& options) const {
  const QColor colour = QColor::fromString(QString::fromStdString(background));
  if (!colour.isValid()) {
    std::cerr << "--background: " << background << " is not a colour (a name such as black, or #RRGGBB)\n";
    return false;
  }
  options.background = colour;
  options.antialias = antialias;
  options.threads = threads;
  options.palette =
      QString::fromStdString(palette).toLower() == QLatin1String("light") ? qt::Palette::light : qt::Palette::classic;
  if (!lineWidth.empty()) {
    const auto width = parseLineWidth(lineWidth);
    if (!width) {
      std::cerr << "--line-width: " << lineWidth << " is not a width: device pixels (up to " << kWidestLinePixels
                << ", e.g. 2 or 2px) or millimetres (up to " << kWidestLineMillimetres << ", e.g. 0.35mm)\n";
      return false;
    }
    options.lineWidth = *width;
  }
  options.texts = texts;
  return true;
}

void addPictureArguments(CLI::App& cmd, PictureArguments& arguments) {
  cmd.add_flag("--antialias", arguments.antialias, "Smooth lines (they are crisp one-pixel lines by default)");
  cmd.add_option("--background", arguments.background, "Colour that Cls paints: a name or #RRGGBB")
      ->capture_default_str();
  cmd.add_option("--threads", arguments.threads,
                 "Threads for drawing a large picture: 0 as many as there are cores, 1 none")
      ->check(CLI::Range(0, 256))
      ->capture_default_str();
  cmd.add_option("--palette", arguments.palette,
                 "The six colours: classic (light, for a dark background) or light (darker ones, for a light "
                 "background)")
      ->check(CLI::IsMember({"classic", "light"}, CLI::ignore_case))
      ->capture_default_str();
  cmd.add_option("--line-width", arguments.lineWidth,
                 "Width of every line, in device pixels (2, 2px) or millimetres (0.35mm); dashes grow with it "
                 "(default: one device pixel)")
      ->type_name("WIDTH");
  cmd.add_flag("--text", arguments.texts, "Draw each text's characters in its box (the control draws the box only)");
}

}  // namespace trazo::cli
