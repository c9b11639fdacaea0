// The adds of a DXF file as the trazo package's converter hands them over
// (python3 -m trazo.dxf_script --records): a compact binary form, made into a checked
// script without writing or parsing a line of text per add. The statements keep the lines
// they have in the file's call script, so that failures name the same lines.
#pragma once

#include "script/script.hpp"

#include <optional>
#include <string_view>

namespace trazo::cli {

// The script of the records in `data`, or nothing when they are malformed.
std::optional<script::Script> scriptFromRecords(std::string_view data);

}  // namespace trazo::cli
