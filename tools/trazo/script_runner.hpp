// Plays a checked script against a control, as an automation client with On Error Resume
// Next would: a member's failure is written as "Error <Member> <kind>" and the next
// statement runs; Count writes "Count <n>".
#pragma once

#include "control/trazo.hpp"
#include "tools/trazo/script.hpp"

#include <ostream>

namespace trazo::script {

void runScript(const Script& script, Trazo& control, std::ostream& trace);

}  // namespace trazo::script
