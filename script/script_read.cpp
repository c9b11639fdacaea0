// Reading a script as a whole: a large one in two pieces side by side on the shared worker
// threads where the platform has them (the second piece's lines numbered on from the
// first's), each piece into its own call list, joined in order; the faults come out in line
// order as ever, and nothing runs until both pieces are read.
#include "script/script.hpp"

#include "base/worker_pool.hpp"
#include "script/call_list.hpp"
#include "script/script_lines.hpp"

#include <algorithm>
#include <cstring>
#include <exception>

namespace trazo::script {
namespace {

// Below this many bytes a second thread costs more than it saves.
constexpr std::size_t kPiecesFrom = std::size_t{4} << 20;

// Where the second piece begins: just after the first newline past the middle, or the
// end (no second piece) for a small script or where no second thread can be had.
std::size_t secondPieceAt(std::string_view text) {
  if (text.size() < kPiecesFrom || sharedWorkerPool().parallelism() < 2) return text.size();
  const char* middle = text.data() + text.size() / 2;
  const void* newline = std::memchr(middle, '\n', static_cast<std::size_t>(text.data() + text.size() - middle));
  if (newline == nullptr) return text.size();
  return static_cast<std::size_t>(static_cast<const char*>(newline) - text.data()) + 1;
}

}  // namespace

Script Script::read(std::string_view text, std::string_view fileName, Listener* listener) {
  Script script;
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);  // a UTF-8 byte order mark
  const std::size_t split = secondPieceAt(text);
  const std::string_view first = text.substr(0, split), second = text.substr(split);
  // Piece 0 on the caller's thread, which the listener expects; piece 1 on a worker, or
  // after piece 0 where none can be had.
  CallList secondCalls;
  std::vector<std::string> secondFaults;
  std::size_t secondLast = 0;
  (void)sharedWorkerPool().runEach(second.empty() ? 1 : 2, 2, [&](int index) {
    if (index == 0) {
      script.lines_ = readLines(first, fileName, 1, listener, *script.calls_, script.faults_);
    } else {
      const auto before = static_cast<std::size_t>(std::count(first.begin(), first.end(), '\n'));
      secondLast = readLines(second, fileName, before + 1, nullptr, secondCalls, secondFaults);
    }
  });
  if (!second.empty()) {
    script.lines_ = secondLast;
    script.faults_.insert(script.faults_.end(), std::make_move_iterator(secondFaults.begin()),
                          std::make_move_iterator(secondFaults.end()));
    script.calls_->append(std::move(secondCalls));
  }
  // A rejected script runs nothing: what was bound before the first fault goes.
  if (!script.faults_.empty()) script.calls_ = std::make_unique<CallList>();
  return script;
}

Script Script::fromCalls(CallList calls, std::size_t lines) {
  Script script;
  *script.calls_ = std::move(calls);
  script.lines_ = lines;
  return script;
}

}  // namespace trazo::script
