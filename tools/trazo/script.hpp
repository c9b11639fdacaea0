// Call scripts: one call of a control member per line, read and checked as a whole before
// anything runs, then played against a control.
#pragma once

#include "control/late_binding.hpp"
#include "control/variant.hpp"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace trazo::script {

struct Statement {
  int line = 0;
  const MemberInfo* member = nullptr;
  std::vector<Variant> positional;
  std::vector<NamedArgument> named;
};

struct Script {
  std::vector<Statement> statements;
  // One message per fault, each "FILE:LINE: what is wrong"; a script with any is rejected.
  std::vector<std::string> errors;
};

// Reads a whole script. `fileName` only names the file in messages.
Script readScript(std::string_view text, std::string_view fileName);

}  // namespace trazo::script
