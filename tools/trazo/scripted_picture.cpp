#include "tools/trazo/scripted_picture.hpp"

#include "tools/trazo/script_file.hpp"

namespace trazo::cli {

ScriptedPicture::ScriptedPicture(double width, double height, script::Script& script, ProgressDisplay& progress) {
  picture.setDevice(width, height, kScreenDpi, kScreenDpi);
  control.attachPicture(picture);
  (void)control.onInitialize();
  runScript(script, control, progress);
}

}  // namespace trazo::cli
