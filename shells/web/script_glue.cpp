#include "shells/web/script_glue.hpp"

#include "tools/trazo/script.hpp"

#include <sstream>

namespace trazo::web {

ScriptOutcome runScriptText(Trazo& control, std::string_view text, std::string_view fileName) {
  ScriptOutcome outcome;
  script::Script read = script::Script::read(text, fileName);
  if (!read.accepted()) {
    outcome.rejected = read.faults();
    return outcome;
  }
  std::ostringstream trace;
  script::TraceListener listener(trace);
  read.run(control, listener);
  std::istringstream lines(trace.str());
  for (std::string line; std::getline(lines, line);) outcome.trace.push_back(line);
  return outcome;
}

}  // namespace trazo::web
