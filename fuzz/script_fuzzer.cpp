// Any bytes as a call script: read it, and when it is accepted run it against a control
// whose picture records a trace into nowhere. Besides the sanitizers' findings, the reader's
// own promises are checked: every fault message names the file and a line of the script; a
// rejected script runs nothing; an accepted one runs each statement once, in line order,
// through a member of the table. And the one way through: the same script with every
// statement given an object prefix (t.AddLine ..., which the full parser reads instead of
// the plain-form reader) is accepted or rejected alike and stores the same drawing. And
// once more while an allocation fails (the k-th, k taken from the input; tests/hardening's
// allocator): reading either gives up for want of memory (std::bad_alloc, which the host
// reports) or says exactly what it said before; running ends every statement in its own
// status or out of memory.
#include "automation/late_binding.hpp"
#include "picture/recording_surface.hpp"
#include "control/trazo.hpp"
#include "fuzz/null_stream.hpp"
#include "tests/hardening/failing_allocator.hpp"
#include "tests/support/store_snapshot.hpp"
#include "script/script.hpp"

#include <algorithm>
#include <functional>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view kFileName = "fuzz.trz";

[[noreturn]] void violated(const char* what) {
  std::fprintf(stderr, "invariant violated: %s\n", what);
  std::abort();
}

void checkMessages(const trazo::script::Script& script, std::size_t lines) {
  for (const std::string& message : script.faults()) {
    if (message.rfind(std::string(kFileName) + ":", 0) != 0) violated("a message does not name the file");
    const long line = std::strtol(message.c_str() + kFileName.size() + 1, nullptr, 10);
    if (line < 1 || static_cast<std::size_t>(line) > lines) violated("a message names a line outside the script");
  }
}

struct Outcomes : trazo::script::Listener {
  void ran(const trazo::script::Outcome& o) override { all.push_back(o); }
  std::vector<trazo::script::Outcome> all;
};

// Runs an accepted script; what it stored and what each statement did.
struct Played {
  trazo::testing::StoreSnapshot store;
  Outcomes outcomes;
};

Played play(trazo::script::Script& script) {
  Played played;
  trazo::fuzz::NullStream nowhere;
  trazo::RecordingSurface picture(nowhere, 4000, 2000);
  trazo::Trazo control;
  control.attachPicture(picture);
  if (trazo::failed(control.onInitialize())) violated("a fresh control could not be cleared");
  const std::size_t statements = script.statementCount();
  script.run(control, played.outcomes);
  if (played.outcomes.all.size() != statements) violated("not every statement ran once");
  std::size_t previousLine = 0;
  for (const auto& o : played.outcomes.all) {
    if (o.member == nullptr || trazo::findMember(o.member->dispId) != o.member)
      violated("a statement without a member of the table");
    if (o.line <= previousLine || o.line > script.lineCount()) violated("statements out of line order");
    previousLine = o.line;
  }
  std::int32_t count = -1;
  (void)control.Count(count);
  // AddBox stores at most four lines per statement.
  if (count < 0 || static_cast<std::size_t>(count) > 4 * statements) violated("Count out of range");
  played.store = trazo::testing::takeSnapshot(control.store());
  control.onTerminate();
  return played;
}

// The script with "t." before every statement that starts with a member's name.
std::string withObjectPrefixes(std::string_view text) {
  std::string out;
  while (!text.empty()) {
    const std::size_t newline = text.find('\n');
    const std::string_view line = text.substr(0, newline);
    text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);
    const std::size_t start = line.find_first_not_of(" \t\r");
    std::size_t end = start;
    while (end < line.size() && (std::isalnum(static_cast<unsigned char>(line[end])) || line[end] == '_')) ++end;
    const std::size_t after = line.find_first_not_of(" \t\r", end);
    const bool prefixed = after != std::string_view::npos && line[after] == '.';
    if (start != std::string_view::npos && !prefixed && trazo::findMember(line.substr(start, end - start)) != nullptr) {
      out.append(line.substr(0, start)).append("t.").append(line.substr(start));
    } else {
      out.append(line);
    }
    if (newline != std::string_view::npos) out += '\n';
  }
  return out;
}

// Counts what ran without allocating, so that it can listen while allocations fail.
struct Tally : trazo::script::Listener {
  void ran(const trazo::script::Outcome& o) override {
    ++statements;
    const bool known = o.status == trazo::status::ok || o.status == trazo::status::outOfMemory ||
                       o.status == trazo::status::overflow || o.status == trazo::status::floatError ||
                       o.status == trazo::status::subscript;
    if (!known) violated("a statement ended in a status members do not return");
  }
  std::size_t statements = 0;
};

void readAndRunWhileAllocationsFail(std::string_view text, const trazo::script::Script& unhindered, std::uint64_t k,
                                    trazo::testing::FailureMode mode) {
  std::optional<trazo::script::Script> script;
  {
    trazo::testing::FailingAllocationScope failing(k, mode);
    try {
      script.emplace(trazo::script::Script::read(text, kFileName));
    } catch (const std::bad_alloc&) {
    }
  }
  if (!script) return;  // not enough memory to read it: the host says so
  if (script->faults() != unhindered.faults() || script->statementCount() != unhindered.statementCount()) {
    violated("a failing allocation changed what the reader says of a script");
  }
  if (!script->accepted()) return;
  trazo::fuzz::NullStream nowhere;
  trazo::RecordingSurface picture(nowhere, 4000, 2000);
  trazo::Trazo control;
  control.attachPicture(picture);
  if (trazo::failed(control.onInitialize())) violated("a fresh control could not be cleared");
  Tally tally;
  {
    trazo::testing::FailingAllocationScope failing(k, mode);
    script->run(control, tally);
  }
  if (tally.statements != unhindered.statementCount())
    violated("not every statement ran once while allocations failed");
  control.onTerminate();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  trazo::script::Script script = trazo::script::Script::read(text, kFileName);
  const std::size_t lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
  checkMessages(script, lines);
  // The allocation to fail, from a hash of the input: the same input always fails the same one.
  const std::uint64_t k = 1 + (std::hash<std::string_view>{}(text) % 48);
  readAndRunWhileAllocationsFail(
      text, script, k, size % 2 == 0 ? trazo::testing::FailureMode::Once : trazo::testing::FailureMode::Persistent);
  trazo::script::Script prefixed = trazo::script::Script::read(withObjectPrefixes(text), kFileName);
  if (script.accepted() != prefixed.accepted()) violated("the full parser and the plain form disagree on a script");
  if (!script.accepted()) {
    if (script.statementCount() != 0) violated("a rejected script has statements");
    return 0;
  }
  const Played plain = play(script);
  const Played full = play(prefixed);
  if (plain.store.count != full.store.count || plain.outcomes.all.size() != full.outcomes.all.size()) {
    violated("the full parser and the plain form store different drawings");
  }
  for (std::size_t i = 0; i < plain.store.records.size(); ++i) {
    if (!trazo::testing::sameRecord(plain.store.records[i].view(), full.store.records[i].view())) {
      violated("the full parser and the plain form store different drawings");
    }
  }
  for (std::size_t i = 0; i < plain.outcomes.all.size(); ++i) {
    if (plain.outcomes.all[i].status != full.outcomes.all[i].status) violated("the two readings run differently");
  }
  return 0;
}
