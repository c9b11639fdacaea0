// The control after a script has run on it, on a picture P1 that has the geometry of the
// pixels to come but paints nothing: what render, tiles and pick write or pick from.
#pragma once

#include "control/trazo.hpp"
#include "device/device_surface.hpp"
#include "script/script.hpp"
#include "tools/trazo/progress_display.hpp"

namespace trazo::cli {

struct ScriptedPicture {
  // Sizes P1 at `width` x `height` device pixels at screen resolution, starts the control on it and runs `script`.
  ScriptedPicture(double width, double height, script::Script& script, ProgressDisplay& progress);

  DeviceSurface picture;
  Trazo control;  // after `picture`, which it draws on, so that it ends first
};

}  // namespace trazo::cli
