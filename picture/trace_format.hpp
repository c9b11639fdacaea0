// Text of trace values: doubles as printf's %.17g, singles as %.9g of the float widened to
// double (both round-trip exactly), colours as RRGGBB. Independent of the process locale.
#pragma once

#include "base/colour.hpp"

#include <string>

namespace trazo {

void appendDouble(std::string& out, double value);
void appendSingle(std::string& out, float value);
void appendColour(std::string& out, Rgb colour);

}  // namespace trazo
