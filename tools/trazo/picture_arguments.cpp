#include "tools/trazo/picture_arguments.hpp"

#include <QColor>
#include <QString>

#include <iostream>

namespace trazo::cli {

bool PictureArguments::toOptions(qt::PictureOptions& options) const {
  const QColor colour = QColor::fromString(QString::fromStdString(background));
  if (!colour.isValid()) {
    std::cerr << "--background: " << background << " is not a colour (a name such as black, or #RRGGBB)\n";
    return false;
  }
  options.background = colour;
  options.antialias = antialias;
  options.threads = threads;
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
}

}  // namespace trazo::cli
