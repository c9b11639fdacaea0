#include "shells/web/script_glue.hpp"

#include "script/script.hpp"

#include <sstream>

namespace trazo::web {
namespace {

// The trace lines and, for each failing member, the message trazo's render and view write.
class Collector final : public script::Listener {
 public:
  Collector(std::string_view fileName, ScriptOutcome& outcome)
      : fileName_(fileName), outcome_(outcome), trace_(text_) {}
  void ran(const script::Outcome& o) override {
    trace_.ran(o);
    if (failed(o.status)) outcome_.failures.push_back(script::failureMessage(fileName_, o));
  }
  void finish() {
    std::istringstream lines(text_.str());
    for (std::string line; std::getline(lines, line);) outcome_.trace.push_back(line);
  }

 private:
  std::string_view fileName_;
  ScriptOutcome& outcome_;
  std::ostringstream text_;
  script::TraceListener trace_;
};

}  // namespace

ScriptOutcome runScriptText(Trazo& control, std::string_view text, std::string_view fileName) {
  ScriptOutcome outcome;
  script::Script read = script::Script::read(text, fileName);
  if (!read.accepted()) {
    outcome.rejected = read.faults();
    return outcome;
  }
  Collector collector(fileName, outcome);
  read.run(control, collector);
  collector.finish();
  return outcome;
}

}  // namespace trazo::web
