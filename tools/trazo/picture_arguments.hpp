// Options shared by render and view: --antialias, --background and --threads.
#pragma once

#include "shells/qt/picture_options.hpp"

#include <CLI/CLI.hpp>

#include <string>

namespace trazo::cli {

struct PictureArguments {
  bool antialias = false;
  std::string background = "black";
  int threads = 0;

  // The options, or false after naming what is wrong on stderr.
  bool toOptions(qt::PictureOptions& options) const;
};

void addPictureArguments(CLI::App& cmd, PictureArguments& arguments);

}  // namespace trazo::cli
