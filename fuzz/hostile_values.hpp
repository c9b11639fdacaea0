// Decoding fuzz bytes into the values a hostile caller would pass: doubles and singles from
// the corners of IEEE arithmetic (NaN with payloads, infinities, denormals, extremes, -0, the
// edges of the 32-bit range), strings with embedded NULs, lone surrogates, numbers in text
// and great lengths, and automation arguments of every type.
#pragma once

#include "automation/late_binding.hpp"
#include "automation/variant.hpp"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

namespace trazo::fuzz {

double hostileDouble(FuzzedDataProvider& in);
float hostileSingle(FuzzedDataProvider& in);
std::int32_t hostileLong(FuzzedDataProvider& in);
std::u16string hostileString(FuzzedDataProvider& in);
Variant hostileVariant(FuzzedDataProvider& in);

// A dispatch id: one of the interface's, a neighbour of one, a reserved one, or any.
std::int32_t hostileDispId(FuzzedDataProvider& in);
// A parameter position for a named argument: valid, off by one, negative or any.
std::int32_t hostileParamIndex(FuzzedDataProvider& in);
// A name for findMember or findParam: a real one in any case, with NULs, or garbage.
std::string hostileName(FuzzedDataProvider& in);

}  // namespace trazo::fuzz
