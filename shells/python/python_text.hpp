// Python's texts as the control's: a str becomes its UTF-16 code units (a lone surrogate
// stays one code unit, as an automation string may hold it), and a column of tags or texts
// for the bulk adds is packed into one run of code units while the interpreter is held, so
// that the adds themselves run without it.
#pragma once

#include "shells/python/bulk_adds.hpp"

#include <pybind11/pybind11.h>

#include <cstddef>
#include <string>

namespace trazo::python {

// The code units of `text`, a str; a TypeError naming `what` for anything else.
std::u16string utf16Of(pybind11::handle text, const char* what);

// None (every row an empty text), a str (every row that text), or a one-dimensional NumPy
// array of `rows` str (dtype U, or object holding str only). A TypeError or ValueError
// naming `what` for anything else.
TextColumn textColumnOf(pybind11::handle value, std::size_t rows, const char* what);

// A str of `units`, code units that are no pair kept as they are.
pybind11::str strOf(std::u16string_view units);

}  // namespace trazo::python
