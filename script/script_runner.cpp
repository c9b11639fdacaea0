// Plays the bound statements of a checked script through the member table.
#include "script/script.hpp"

#include "script/call_list.hpp"

#include <string>

namespace trazo::script {

void Script::run(Trazo& control, Listener& listener) {
  CallList::Cursor cursor(*calls_);
  Call call;
  std::size_t played = 0;
  while (cursor.next(call)) {
    Outcome outcome;
    outcome.line = call.line;
    outcome.member = call.member;
    outcome.status =
        call.member->call(control, std::span(call.arguments).first(call.member->params.size()), &outcome.value);
    listener.ran(outcome);
    if (++played % kProgressLines == 0) {
      std::int32_t count = 0;
      (void)control.Count(count);
      listener.progress({lines_, count, true});
    }
  }
}

void Script::walk(const std::function<void(const BoundCall&)>& visit) {
  CallList::Cursor cursor(*calls_);
  Call call;
  while (cursor.next(call))
    visit({call.line, call.member, std::span(call.arguments).first(call.member->params.size())});
}

std::string failureText(const Outcome& outcome) {
  return "Error " + std::string(outcome.member->name) + " " + statusKind(outcome.status);
}

std::string failureMessage(std::string_view fileName, const Outcome& outcome) {
  return std::string(fileName) + ":" + std::to_string(outcome.line) + ": " + failureText(outcome);
}

void TraceListener::ran(const Outcome& outcome) {
  std::string line;
  if (failed(outcome.status)) {
    line = failureText(outcome) + "\n";
  } else if (outcome.member->result != VarType::Empty) {
    line = std::string(outcome.member->name) + " " + std::to_string(outcome.value) + "\n";
  } else {
    return;
  }
  out_ << line;
}

}  // namespace trazo::script
