// Options shared by render and view, all of them the host's choice and none the control's:
// --antialias, --background, --threads, --palette, --line-width and --text.
#pragma once

#include "shells/qt/picture_options.hpp"

#include <CLI/CLI.hpp>

#include <optional>
#include <string>

namespace trazo::cli {

// The widest line --line-width takes, in each unit.
inline constexpr double kWidestLinePixels = 100;
inline constexpr double kWidestLineMillimetres = 10;

struct PictureArguments {
  bool antialias = false;
  std::string background = "black";
  int threads = 0;
  std::string palette = "classic";
  std::string lineWidth;
  bool texts = false;

  // The options, or false after naming what is wrong on stderr.
  bool toOptions(qt::PictureOptions& options) const;
};

void addPictureArguments(CLI::App& cmd, PictureArguments& arguments);

// "2", "2px" or "0.35mm": a width in device pixels or millimetres, at most the widest.
std::optional<qt::LineWidth> parseLineWidth(const std::string& text);

}  // namespace trazo::cli
