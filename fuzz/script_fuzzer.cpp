// Any bytes as a call script: read it, and when it is accepted run it against a control
// whose picture records a trace into nowhere. Besides the sanitizers' findings, the reader's
// own promises are checked: every fault message names the file and a line of the script,
// and an accepted script's statements name members of the table with bindable arguments.
#include "control/recording_surface.hpp"
#include "control/trazo.hpp"
#include "fuzz/null_stream.hpp"
#include "tools/trazo/script.hpp"
#include "tools/trazo/script_runner.hpp"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

constexpr std::string_view kFileName = "fuzz.trz";

[[noreturn]] void violated(const char* what) {
  std::fprintf(stderr, "invariant violated: %s\n", what);
  std::abort();
}

void checkMessages(const trazo::script::Script& script, std::size_t lines) {
  for (const std::string& message : script.errors) {
    if (message.rfind(std::string(kFileName) + ":", 0) != 0) violated("a message does not name the file");
    const long line = std::strtol(message.c_str() + kFileName.size() + 1, nullptr, 10);
    if (line < 1 || static_cast<std::size_t>(line) > lines) violated("a message names a line outside the script");
  }
}

void checkStatements(const trazo::script::Script& script) {
  int previousLine = 0;
  for (const auto& st : script.statements) {
    if (st.member == nullptr || trazo::findMember(st.member->dispId) != st.member) {
      violated("a statement without a member of the table");
    }
    if (st.line <= previousLine) violated("statements out of line order");
    previousLine = st.line;
    std::vector<trazo::Variant> ordered;
    std::int32_t argError = -1;
    if (trazo::failed(trazo::bindArguments(*st.member, st.positional, st.named, ordered, argError))) {
      violated("an accepted statement does not bind");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const trazo::script::Script script = trazo::script::readScript(text, kFileName);
  const std::size_t lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
  checkMessages(script, lines);
  checkStatements(script);
  if (!script.errors.empty()) return 0;  // rejected: nothing runs

  trazo::fuzz::NullStream nowhere;
  trazo::RecordingSurface picture(nowhere, 4000, 2000);
  trazo::Trazo control;
  control.attachPicture(picture);
  if (trazo::failed(control.onInitialize())) violated("a fresh control could not be cleared");
  trazo::script::runScript(script, control, nowhere);
  std::int32_t count = -1;
  (void)control.Count(count);
  // AddBox stores at most four lines per statement.
  if (count < 0 || static_cast<std::size_t>(count) > 4 * script.statements.size()) violated("Count out of range");
  control.onTerminate();
  return 0;
}
