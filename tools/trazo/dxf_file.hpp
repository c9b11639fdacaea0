// A DXF file named where a script goes: the trazo Python package's converter
// (python3 -m trazo.dxf_script --records) writes the adds of the file's call script, which
// every subcommand then plays as it plays any script. The interpreter and the package's folders are fixed when
// trazo is built.
#pragma once

#include <optional>
#include <string>

namespace trazo::cli {

// What --layout says about it, for every subcommand's help.
inline constexpr const char* kLayoutHelp = "DXF only: the paper-space layout to draw (default: model space)";

// True for a path that ends in ".dxf", in any case.
bool isDxfPath(const std::string& path);

// The adds of the DXF file at `path`, drawing `layout` (empty for model space), in the
// converter's binary form (dxf_records.hpp), or nothing after the converter, or this, wrote
// on stderr why the file cannot be read.
std::optional<std::string> dxfRecords(const std::string& path, const std::string& layout);

}  // namespace trazo::cli
