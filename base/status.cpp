#include "base/status.hpp"

#include <cstdio>

namespace trazo {

std::string statusKind(Status s) {
  switch (s) {
    case status::overflow: return "overflow";
    case status::outOfMemory: return "memory";
    case status::subscript: return "subscript";
    case status::floatError: return "float";
    default: {
      char hex[9];
      std::snprintf(hex, sizeof hex, "%08X", static_cast<unsigned>(s));
      return hex;
    }
  }
}

}  // namespace trazo
