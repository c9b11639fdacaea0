#include "tools/trazo/pick_command.hpp"

#include "picking/picker.hpp"
#include "script/printable_text.hpp"
#include "tools/trazo/script_file.hpp"
#include "tools/trazo/scripted_picture.hpp"

#include <charconv>
#include <cmath>
#include <iostream>
#include <memory>
#include <vector>

namespace trazo::cli {
namespace {

// Largest picture side, in pixels, as for trazo render --window: no pixels are kept.
constexpr double kLargestSide = 1 << 20;

// `count` finite numbers separated by commas.
bool parseNumbers(const std::string& text, double* numbers, int count) {
  const char* at = text.data();
  const char* end = at + text.size();
  for (int k = 0; k < count; ++k) {
    if (k > 0 && (at == end || *at++ != ',')) return false;
    const auto read = std::from_chars(at, end, numbers[k]);
    if (read.ec != std::errc() || !std::isfinite(numbers[k])) return false;
    at = read.ptr;
  }
  return at == end;
}

// The tag's UTF-16 as UTF-8, a lone surrogate as U+FFFD.
std::string utf8(std::u16string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    std::uint32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    else if (c >= 0xD800 && c < 0xE000) c = 0xFFFD;
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | c >> 6);
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | c >> 12);
      out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | c >> 18);
      out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
      out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

// "NUMBER KIND TAG", the tag escaped as messages escape text.
void printEntity(const Store& store, std::int32_t index) {
  const std::optional<Entity> e = store.at(index);
  std::cout << index << ' ' << entityKindName(e ? e->Kind : std::int16_t{kKindNone});
  if (e && !e->Tag.empty()) std::cout << ' ' << script::printable(utf8(e->Tag));
  std::cout << '\n';
}

}  // namespace

void addPickCommand(CLI::App& app, int& exitCode) {
  struct Options {
    std::string script;
    std::string size = "1024x768";
    std::string at;
    std::string box;
    double tolerance = 0;
    bool inside = false;
  };
  auto options = std::make_shared<Options>();
  CLI::App* cmd = app.add_subcommand("pick", "Run a call script and print the entity seen at a pixel of its picture");
  cmd->add_option("SCRIPT", options->script, "Call script (.trz); - reads standard input")->required();
  cmd->add_option("--size", options->size, "Picture size in pixels (96 to the inch)")
      ->type_name("WxH")
      ->capture_default_str();
  auto* at = cmd->add_option("--at", options->at, "The pixel to look at, in device pixels from the top left")
                 ->type_name("X,Y");
  auto* box = cmd->add_option("--box", options->box, "Print every entity that crosses this rectangle of pixels")
                  ->type_name("LEFT,TOP,W,H");
  at->excludes(box);
  cmd->add_option("--tolerance", options->tolerance, "With --at: also the pixels this many pixels away (at most 64)")
      ->type_name("PX")
      ->capture_default_str();
  cmd->add_flag("--inside", options->inside, "With --box: only the entities wholly inside the rectangle");
  cmd->callback([options, &exitCode] {
    exitCode = kExitRejected;
    double width = 0, height = 0;
    if (!parseSize(options->size, width, height) || width < 1 || height < 1 || width > kLargestSide ||
        height > kLargestSide || width != std::floor(width) || height != std::floor(height)) {
      std::cerr << "--size: expected WxH in whole pixels from 1 to " << static_cast<long>(kLargestSide)
                << ", e.g. 1024x768\n";
      return;
    }
    double point[2] = {0, 0}, rect[4] = {0, 0, 0, 0};
    if (options->at.empty() == options->box.empty()) {
      std::cerr << "pick: give --at X,Y or --box LEFT,TOP,W,H\n";
      return;
    }
    if (!options->at.empty() && !parseNumbers(options->at, point, 2)) {
      std::cerr << "--at: expected X,Y in device pixels, e.g. 120,45\n";
      return;
    }
    if (!options->box.empty() && !parseNumbers(options->box, rect, 4)) {
      std::cerr << "--box: expected LEFT,TOP,W,H in device pixels, e.g. 0,0,200,100\n";
      return;
    }
    if (!(options->tolerance >= 0) || !std::isfinite(options->tolerance)) {
      std::cerr << "--tolerance: expected a number of pixels, 0 or more\n";
      return;
    }
    if (options->tolerance != 0 && options->at.empty()) {
      std::cerr << "--tolerance goes with --at only\n";
      return;
    }
    if (options->inside && options->box.empty()) {
      std::cerr << "--inside goes with --box only\n";
      return;
    }
    LoadedScript loaded(options->script);
    if (!loaded.script) return;
    const std::string& name = loaded.name;

    // The picture's geometry alone: the picker draws what it needs itself.
    ScriptedPicture scripted(width, height, *loaded.script, loaded.progress);
    Trazo& control = scripted.control;
    if (const Status s = control.onPaint(); failed(s)) std::cerr << name << ": Error Reflash " << statusKind(s) << '\n';
    Picker picker;
    picker.painted(control.store(), scripted.picture);

    std::vector<std::int32_t> found;
    if (!options->at.empty()) {
      if (const std::int32_t seen = picker.entityAt(control.store(), point[0], point[1], options->tolerance))
        found.push_back(seen);
    } else if (const Status s =
                   picker.entitiesIn(control.store(), {rect[0], rect[1], rect[2], rect[3]},
                                     options->inside ? BoxSelection::inside : BoxSelection::crossing, found);
               failed(s)) {
      std::cerr << name << ": no memory to select the entities\n";
      exitCode = 1;
      return;
    }
    for (const std::int32_t index : found) printEntity(control.store(), index);
    control.onTerminate();
    std::cout.flush();
    exitCode = found.empty() || !std::cout ? 1 : 0;
  });
}

}  // namespace trazo::cli
