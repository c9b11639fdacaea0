// Call scripts: one call of a control member per line. A script is read and checked as a
// whole, each statement bound once to its member's parameters, before anything runs; then
// it is played against a control and each statement's result is handed on as data.
#pragma once

#include "base/status.hpp"
#include "automation/member_table.hpp"
#include "control/trazo.hpp"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace trazo::script {

// What one statement did when it ran.
struct Outcome {
  std::size_t line = 0;
  const MemberInfo* member = nullptr;
  Status status = status::ok;
  std::int32_t value = 0;  // the result of a member that has one (Count), on success
};

// How far reading or running has come.
struct Progress {
  std::size_t linesRead = 0;       // all of them once the script runs
  std::int32_t entitiesAdded = 0;  // the control's Count while the script runs
  bool running = false;
};

// What a host hears of a script. Progress comes every kProgressLines lines, so a host can
// tell its user how far a long script has come.
class Listener {
 public:
  virtual ~Listener() = default;
  virtual void ran(const Outcome& /*outcome*/) {}
  virtual void progress(const Progress& /*progress*/) {}
};

inline constexpr std::size_t kProgressLines = 1 << 16;

// Longest line a script may have, in bytes (its line end not counted): far beyond what a
// drawing needs (a tag of millions of characters), short of what would only fill memory.
inline constexpr std::size_t kLongestLine = std::size_t{16} << 20;

// One statement as bound: its line, its member and an argument per parameter, in parameter
// order and of the parameter's type.
struct BoundCall {
  std::size_t line = 0;
  const MemberInfo* member = nullptr;
  std::span<const BoundArgument> arguments;
};

class CallList;

class Script {
 public:
  // Reads and checks a whole script; `fileName` only names the file in messages. The
  // script keeps no reference to `text`. A line longer than kLongestLine is a fault of its
  // own and is not read further.
  static Script read(std::string_view text, std::string_view fileName, Listener* listener = nullptr);
  // A script of statements a host has bound itself, from a form other than text, that
  // takes `lines` lines: it has no faults and plays like one that was read.
  static Script fromCalls(CallList calls, std::size_t lines);

  Script(Script&&) noexcept;
  Script& operator=(Script&&) noexcept;
  ~Script();

  // One message per fault, each "FILE:LINE: what is wrong"; a script with any is rejected
  // and has no statements.
  const std::vector<std::string>& faults() const { return faults_; }
  bool accepted() const { return faults_.empty(); }
  std::size_t statementCount() const;
  std::size_t lineCount() const { return lines_; }

  // Plays every statement against `control` in order, as an automation client with On Error
  // Resume Next would: a member's failure does not stop the script. A script runs once: the
  // memory of its statements goes back as they are played, for the drawing to use.
  void run(Trazo& control, Listener& listener);
  // Hands every statement, bound, to `visit` in order without running it: for a host that
  // plays the calls through another binding of the control (its own IDispatch, say). Like
  // run(), once.
  void walk(const std::function<void(const BoundCall&)>& visit);

 private:
  Script();

  std::unique_ptr<CallList> calls_;
  std::vector<std::string> faults_;
  std::size_t lines_ = 0;
};

// "Error <Member> <kind>": a member's failure as a trace shows it.
std::string failureText(const Outcome& outcome);
// "FILE:LINE: Error <Member> <kind>": a member's failure as a host reports it to its user,
// `fileName` naming the script.
std::string failureMessage(std::string_view fileName, const Outcome& outcome);

// Writes what the trace of a script shows of its statements: "Error <Member> <kind>" for a
// member that failed, "Count <n>" for a Count that ran.
class TraceListener : public Listener {
 public:
  explicit TraceListener(std::ostream& out) : out_(out) {}
  void ran(const Outcome& outcome) override;

 private:
  std::ostream& out_;
};

}  // namespace trazo::script
