#include "tools/trazo/script_file.hpp"

#include "script/printable_text.hpp"
#include "tools/trazo/dxf_file.hpp"
#include "tools/trazo/dxf_records.hpp"
#include "tools/trazo/script_text.hpp"

#include <charconv>
#include <iostream>
#include <new>

namespace trazo::cli {
namespace {

// The script when it was accepted; otherwise nothing, after writing its faults on stderr.
std::optional<script::Script> checked(script::Script s, ProgressDisplay& progress) {
  if (!s.accepted()) {
    progress.finish({s.lineCount(), 0, false});
    for (const std::string& fault : s.faults()) std::cerr << fault << '\n';
    return std::nullopt;
  }
  return s;
}

}  // namespace

std::string scriptName(const std::string& path) { return path == kStandardInput ? "<stdin>" : script::printable(path); }

std::optional<script::Script> loadScript(const std::string& path, ProgressDisplay& progress,
                                         const std::string& layout) {
  const std::string name = scriptName(path);
  try {
    if (isDxfPath(path)) {
      const std::optional<std::string> records = dxfRecords(path, layout);
      if (!records) return std::nullopt;
      std::optional<script::Script> s = scriptFromRecords(*records);
      if (!s) std::cerr << name << ": cannot be read: the DXF converter's output is malformed\n";
      return s;
    }
    ScriptText text;
    switch (text.open(path)) {
      case ScriptText::Outcome::refused:
        std::cerr << name << ": cannot be read: " << text.reason() << '\n';
        return std::nullopt;
      case ScriptText::Outcome::tooLarge:
        std::cerr << name << ':' << text.tooLargeAt() << ": the script is longer than " << (kLongestScript >> 30)
                  << " GiB\n";
        return std::nullopt;
      case ScriptText::Outcome::read: break;
    }
    script::Script s = script::Script::read(text.text(), path == kStandardInput ? name : path, &progress);
    text.release();
    return checked(std::move(s), progress);
  } catch (const std::bad_alloc&) {
    std::cerr << name << ": cannot be read: not enough memory for a script this large\n";
    return std::nullopt;
  }
}

void FailureReport::ran(const script::Outcome& outcome) {
  if (!failed(outcome.status)) return;
  ++failures_;
  std::cerr << script::failureMessage(name_, outcome) << '\n';
}

LoadedScript::LoadedScript(const std::string& path, const std::string& layout)
    : name(scriptName(path)),
      failures(name),
      progress(name, std::cerr, standardErrorIsTerminal(), &failures),
      script(loadScript(path, progress, layout)) {}

void runScript(script::Script& script, Trazo& control, ProgressDisplay& progress) {
  script.run(control, progress);
  std::int32_t count = 0;
  (void)control.Count(count);
  progress.finish({script.lineCount(), count, true});
}

bool parseSize(const std::string& text, double& width, double& height) {
  const auto x = text.find_first_of("xX");
  if (x == std::string::npos) return false;
  const char* begin = text.data();
  const char* end = begin + text.size();
  const auto w = std::from_chars(begin, begin + x, width);
  const auto h = std::from_chars(begin + x + 1, end, height);
  return w.ec == std::errc() && w.ptr == begin + x && h.ec == std::errc() && h.ptr == end && x > 0 && width >= 0 &&
         height >= 0 && width < 1e9 && height < 1e9;
}

}  // namespace trazo::cli
