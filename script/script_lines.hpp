// Reading the lines of a script, or of one piece of it.
#pragma once

#include "script/script.hpp"

#include <string>
#include <string_view>
#include <vector>

namespace trazo::script {

class CallList;

// Reads the lines of `text` as lines firstLine, firstLine + 1, ... of the script `fileName`:
// each statement without fault into `calls`, one message per fault into `faults`. Returns
// the number of the last line read (an empty text is one blank line).
std::size_t readLines(std::string_view text, std::string_view fileName, std::size_t firstLine, Listener* listener,
                      CallList& calls, std::vector<std::string>& faults);

}  // namespace trazo::script
