// Loading a script named on the command line for any subcommand, running it, and reporting
// what its statements did on standard error.
#pragma once

#include "tools/trazo/progress_display.hpp"
#include "script/script.hpp"

#include <cstddef>
#include <optional>
#include <string>

namespace trazo::cli {

// Exit status of a rejected script, or of options that make no sense.
inline constexpr int kExitRejected = 2;
// Exit status under --strict when a member failed while the script ran.
inline constexpr int kExitMemberFailed = 3;

// How a script is named in messages: its path, "<stdin>" for standard input.
std::string scriptName(const std::string& path);

// The checked script at `path` ("-" for standard input), or nothing after writing on
// stderr why the file cannot be read or every fault it has. The text is given back before
// this returns: only the bound statements stay. A .dxf file is read as the call script
// of its `layout` (empty: model space), see dxf_file.hpp.
std::optional<script::Script> loadScript(const std::string& path, ProgressDisplay& progress,
                                         const std::string& layout = {});

// Writes "FILE:LINE: Error <Member> <kind>" on stderr for each member that fails while the
// script runs, and counts them.
class FailureReport : public script::Listener {
 public:
  explicit FailureReport(std::string name) : name_(std::move(name)) {}
  void ran(const script::Outcome& outcome) override;
  std::size_t failures() const { return failures_; }

 private:
  std::string name_;
  std::size_t failures_ = 0;
};

// A script named on the command line, loaded with what reports on it: its name in
// messages, the failures of its members, and the progress line that shows both. `script` is
// nothing when it was rejected, after saying why on stderr.
struct LoadedScript {
  explicit LoadedScript(const std::string& path, const std::string& layout = {});
  LoadedScript(const LoadedScript&) = delete;  // the progress line points at the failures
  LoadedScript& operator=(const LoadedScript&) = delete;

  std::string name;
  FailureReport failures;
  ProgressDisplay progress;
  std::optional<script::Script> script;
};

// Runs `script` on `control` and tells `progress` how the run ended, with the control's
// Count; the control stays up for the host to show or write the drawing.
void runScript(script::Script& script, Trazo& control, ProgressDisplay& progress);

// Parses "WxH" (two non-negative numbers); false when malformed.
bool parseSize(const std::string& text, double& width, double& height);

}  // namespace trazo::cli
