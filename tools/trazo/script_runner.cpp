#include "tools/trazo/script_runner.hpp"

#include <string>

namespace trazo::script {

void runScript(const Script& script, Trazo& control, std::ostream& trace) {
  for (const Statement& st : script.statements) {
    Variant result;
    const Status s = invoke(control, st.member->dispId, kInvokeMethod | kInvokePropertyGet, st.positional,
                            st.named, &result);
    std::string line;
    if (failed(s)) {
      line = "Error " + std::string(st.member->name) + " " + statusKind(s) + "\n";
    } else if (st.member->dispId == dispid::Count) {
      line = "Count " + std::to_string(std::get<std::int32_t>(result)) + "\n";
    }
    trace << line;
  }
}

}  // namespace trazo::script
