// Loading a script file for any subcommand: read, check, and report faults on stderr.
#pragma once

#include "tools/trazo/script.hpp"

#include <optional>
#include <string>

namespace trazo::cli {

// Exit status of a rejected script.
inline constexpr int kExitRejected = 2;

// The checked script, or nothing after writing every fault to stderr.
std::optional<script::Script> loadScript(const std::string& path);

// Parses "WxH" (two non-negative numbers); false when malformed.
bool parseSize(const std::string& text, double& width, double& height);

}  // namespace trazo::cli
