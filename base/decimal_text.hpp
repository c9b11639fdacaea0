// Doubles to decimal text and back, independent of the process locale: std::to_chars and
// std::from_chars where the C++ library has them for floating point, and the C library's
// snprintf and strtod where it has not (emscripten's libc++, whose C library, musl, always
// writes and reads a point). Both give the same text and the same doubles: the correctly
// rounded digits for a precision, and correctly rounded reading.
#pragma once

#include <system_error>

namespace trazo {

// `value` as printf's "%.<precision>g" writes it; returns the end of the text. The buffer
// must hold 32 characters more than the precision.
char* writeGeneral(char* first, char* last, double value, int precision);

// `value` as printf's "%.<decimals>f" writes it; returns the end of the text, or `first`
// when it does not fit.
char* writeFixed(char* first, char* last, double value, int decimals);

struct ReadResult {
  const char* ptr;  // one past what was read
  std::errc ec;     // invalid_argument, result_out_of_range (too large, or so small it is 0)
};

// Reads [-]digits[.digits][(e|E)[sign]digits] from the front of [first, last) as
// std::from_chars does in its general format; `value` is left as it was on failure.
ReadResult readDouble(const char* first, const char* last, double& value);

}  // namespace trazo
