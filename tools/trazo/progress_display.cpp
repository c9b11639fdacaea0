#include "tools/trazo/progress_display.hpp"

#include <cstdio>
#include <string>

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

bool ProgressDisplay::due() {
  if (!terminal_) return false;
  const auto now = clock_();
  if (now - start_ < kQuietTime || (anyShown_ && now - shown_ < kRewriteInterval)) return false;
  shown_ = now;
  return true;
}

void ProgressDisplay::progress(const script::Progress& progress) {
  if (due()) write(progress);
}

void ProgressDisplay::counted(std::uint64_t done, std::uint64_t total, const std::string& steps) {
  const bool last = done >= total;
  if (!(last ? anyShown_ || due() : due())) return;
  rewrite(name_ + ": " + std::to_string(done) + " of " + std::to_string(total) + ' ' + steps);
  if (last) {
    out_ << '\n' << std::flush;
    lineOpen_ = false;
    lineLength_ = 0;
  }
}

void ProgressDisplay::rewrite(const std::string& line) {
  anyShown_ = true;
  lineOpen_ = true;
  // Spaces cover what is left of a longer line before.
  out_ << '\r' << line << std::string(lineLength_ > line.size() ? lineLength_ - line.size() : 0, ' ') << std::flush;
  lineLength_ = line.size();
}

void ProgressDisplay::finish(const script::Progress& last) {
  if (!anyShown_) return;
  write(last);
  out_ << '\n' << std::flush;
  lineOpen_ = false;
  lineLength_ = 0;
}

void ProgressDisplay::write(const script::Progress& progress) {
  rewrite(name_ + ": " + std::to_string(progress.linesRead) + " lines read, " + std::to_string(progress.entitiesAdded) +
          " entities added");
}

}  // namespace trazo::cli
