// Status codes returned by every member of the control and by every drawing-surface
// operation. They are HRESULT-compatible 32-bit values so that the Windows shell can hand
// them to COM clients unchanged; a script host sees them as Err.Number.
#pragma once

#include <cstdint>
#include <string>

namespace trazo {

using Status = std::int32_t;

namespace status {

inline constexpr Status ok = 0;

// The four run-time errors a member can raise; each kind has its own code so that a caller
// can tell them apart (they are the classic automation run-time error numbers 6, 7, 9, 11).
inline constexpr Status overflow = static_cast<Status>(0x800A0006u);
inline constexpr Status outOfMemory = static_cast<Status>(0x800A0007u);
inline constexpr Status subscript = static_cast<Status>(0x800A0009u);
inline constexpr Status floatError = static_cast<Status>(0x800A000Bu);

// The conventional dispatch errors of late binding.
inline constexpr Status memberNotFound = static_cast<Status>(0x80020003u);
inline constexpr Status paramNotFound = static_cast<Status>(0x80020004u);
inline constexpr Status typeMismatch = static_cast<Status>(0x80020005u);
inline constexpr Status unknownName = static_cast<Status>(0x80020006u);
inline constexpr Status noNamedArgs = static_cast<Status>(0x80020007u);
inline constexpr Status badVarType = static_cast<Status>(0x80020008u);  // an argument of no valid type
inline constexpr Status dispOverflow = static_cast<Status>(0x8002000Au);
inline constexpr Status badParamCount = static_cast<Status>(0x8002000Eu);
inline constexpr Status paramNotOptional = static_cast<Status>(0x8002000Fu);
// An argument the platform's coercion cannot take (a date beyond the year 9999 as text).
inline constexpr Status invalidArgument = static_cast<Status>(0x80070057u);

// A surface asked for something it cannot do (a ScaleMode other than twips, say).
inline constexpr Status invalidCall = static_cast<Status>(0x800A0005u);
// A drawing surface with nothing behind it (a window that is gone, say).
inline constexpr Status unexpected = static_cast<Status>(0x8000FFFFu);

}  // namespace status

inline constexpr bool failed(Status s) { return s < 0; }

// The word a trace uses for a member's failure: overflow, memory, subscript or float; any
// other failure code is written as eight upper-case hexadecimal digits.
std::string statusKind(Status s);

}  // namespace trazo
