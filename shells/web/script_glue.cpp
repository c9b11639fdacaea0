#include "shells/web/script_glue.hpp"

#include "tools/trazo/script.hpp"
#include "tools/trazo/script_runner.hpp"

#include <sstream>

namespace trazo::web {

ScriptOutcome runScriptText(Trazo& control, std::string_view text, std::string_view fileName) {
  ScriptOutcome outcome;
  script::Script read = script::readScript(text, fileName);
  if (!read.errors.empty()) {
    outcome.rejected = std::move(read.errors);
    return outcome;
  }
  std::ostringstream trace;
  script::runScript(read, control, trace);
  std::istringstream lines(trace.str());
  for (std::string line; std::getline(lines, line);) outcome.trace.push_back(line);
  return outcome;
}

}  // namespace trazo::web
