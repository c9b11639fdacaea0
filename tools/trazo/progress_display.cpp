#include "tools/trazo/progress_display.hpp"

#include <cstdio>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace trazo::cli {
namespace {

// A script that is done sooner shows nothing; after that the line is rewritten at most this often.
constexpr std::chrono::milliseconds kQuietTime{1000};
constexpr std::chrono::milliseconds kRewriteInterval{100};

}  // namespace

bool standardErrorIsTerminal() {
#ifdef _WIN32
  return _isatty(_fileno(stderr)) != 0;
#else
  return isatty(STDERR_FILENO) != 0;
#endif
}

ProgressDisplay::ProgressDisplay(std::string name, std::ostream& out, bool terminal, script::Listener* outcomes,
                                 Clock clock)
    : name_(std::move(name)),
      out_(out),
      terminal_(terminal),
      outcomes_(outcomes),
      clock_(std::move(clock)),
      start_(clock_()) {}

void ProgressDisplay::ran(const script::Outcome& outcome) {
  // A failure may be reported on the same terminal: it gets a line of its own.
  if (lineOpen_ && failed(outcome.status)) {
    out_ << '\n' << std::flush;
    lineOpen_ = false;
  }
  if (outcomes_ != nullptr) outcomes_->ran(outcome);
}

void ProgressDisplay::progress(const script::Progress& progress) {
  if (!terminal_) return;
  const auto now = clock_();
  if (now - start_ < kQuietTime || (anyShown_ && now - shown_ < kRewriteInterval)) return;
  shown_ = now;
  write(progress);
}

void ProgressDisplay::finish(const script::Progress& last) {
  if (!anyShown_) return;
  write(last);
  out_ << '\n' << std::flush;
  lineOpen_ = false;
}

void ProgressDisplay::write(const script::Progress& progress) {
  anyShown_ = true;
  lineOpen_ = true;
  // The figures only grow, so each line covers the one before.
  out_ << '\r' << name_ << ": " << progress.linesRead << " lines read, " << progress.entitiesAdded << " entities added"
       << std::flush;
}

}  // namespace trazo::cli
