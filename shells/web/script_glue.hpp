// The one place where the web element meets the script library: a call script read and
// checked as a whole, then played against the control.
#pragma once

#include "control/trazo.hpp"

#include <string>
#include <string_view>
#include <vector>

namespace trazo::web {

struct ScriptOutcome {
  // One "FILE:LINE: message" per fault of a rejected script, which then runs no statement.
  std::vector<std::string> rejected;
  // What the run wrote: "Error <Member> <kind>" for each failing member, "Count <n>".
  std::vector<std::string> trace;
  // "FILE:LINE: Error <Member> <kind>" for each member that failed, as trazo render and view
  // write them.
  std::vector<std::string> failures;
};

ScriptOutcome runScriptText(Trazo& control, std::string_view text, std::string_view fileName);

}  // namespace trazo::web
