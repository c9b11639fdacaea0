// How far a long script has come, on standard error: after about a second, and only when
// standard error is a terminal, one line that is rewritten in place ("drawing.trz: 300000
// lines read, 120000 entities added"), and as well for work done after the script
// ("drawing.trz: 1200 of 5461 tiles written"). Outcomes pass on to the listener behind it.
#pragma once

#include "script/script.hpp"

#include <chrono>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>

namespace trazo::cli {

bool standardErrorIsTerminal();

class ProgressDisplay : public script::Listener {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;

  ProgressDisplay(std::string name, std::ostream& out, bool terminal, script::Listener* outcomes = nullptr,
                  Clock clock = &std::chrono::steady_clock::now);

  void ran(const script::Outcome& outcome) override;
  void progress(const script::Progress& progress) override;
  // The last figures, and the end of the line, once anything was shown.
  void finish(const script::Progress& last);
  // After the script: `done` of `total` steps, each step named by `steps` ("tiles written").
  // Shown as the script's figures are, after the same quiet second; the last one always
  // once anything was shown, with the end of the line.
  void counted(std::uint64_t done, std::uint64_t total, const std::string& steps);

 private:
  void write(const script::Progress& progress);
  bool due();
  void rewrite(const std::string& line);

  std::string name_;
  std::ostream& out_;
  bool terminal_;
  script::Listener* outcomes_;
  Clock clock_;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point shown_{};
  bool anyShown_ = false;
  bool lineOpen_ = false;  // a progress line without its end yet
  std::size_t lineLength_ = 0;
};

}  // namespace trazo::cli
