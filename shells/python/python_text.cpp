#include "shells/python/python_text.hpp"

#include <pybind11/numpy.h>

#include <cstring>
#include <string>

namespace py = pybind11;

namespace trazo::python {
namespace {

void appendCodePoint(std::u16string& out, std::uint32_t c) {
  if (c < 0x10000) {
    out.push_back(static_cast<char16_t>(c));
  } else {
    c -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
  }
}

// Appends the code units of a str, whatever its internal width.
void appendStr(std::u16string& out, PyObject* text) {
  const Py_ssize_t length = PyUnicode_GET_LENGTH(text);
  const void* data = PyUnicode_DATA(text);
  const int kind = PyUnicode_KIND(text);
  out.reserve(out.size() + static_cast<std::size_t>(length));
  for (Py_ssize_t i = 0; i < length; ++i) appendCodePoint(out, PyUnicode_READ(kind, data, i));
}

[[noreturn]] void notText(const char* what, py::handle value) {
  throw py::type_error(std::string(what) + ": expected str, got " +
                       std::string(py::str(py::type::of(value).attr("__name__"))));
}

}  // namespace

std::u16string utf16Of(py::handle text, const char* what) {
  if (!PyUnicode_Check(text.ptr())) notText(what, text);
  std::u16string out;
  appendStr(out, text.ptr());
  return out;
}

TextColumn textColumnOf(py::handle value, std::size_t rows, const char* what) {
  TextColumn column;
  if (value.is_none()) return column;
  if (PyUnicode_Check(value.ptr())) {
    appendStr(column.units, value.ptr());
    return column;
  }
  if (!py::isinstance<py::array>(value)) notText(what, value);
  const auto array = py::reinterpret_borrow<py::array>(value);
  if (array.ndim() != 1 || static_cast<std::size_t>(array.shape(0)) != rows) {
    throw py::value_error(std::string(what) + ": expected one text per row (" + std::to_string(rows) + ")");
  }
  const char kind = array.dtype().kind();
  if (kind != 'U' && kind != 'O') {
    throw py::type_error(std::string(what) + ": expected str, got an array of " + std::string(py::str(array.dtype())));
  }
  const auto* data = static_cast<const char*>(array.data());
  const std::ptrdiff_t stride = array.strides(0);
  column.starts.reserve(rows + 1);
  column.starts.push_back(0);
  if (kind == 'U') {
    // Fixed-width UCS-4, padded with zeros that are no part of the text.
    const std::size_t width = static_cast<std::size_t>(array.itemsize()) / 4;
    const bool swapped = array.dtype().attr("byteorder").cast<std::string>() == ">";
    for (std::size_t i = 0; i < rows; ++i) {
      const char* item = data + static_cast<std::ptrdiff_t>(i) * stride;
      std::size_t length = width;
      auto at = [&](std::size_t k) {
        std::uint32_t c;
        std::memcpy(&c, item + 4 * k, 4);
        return swapped ? __builtin_bswap32(c) : c;
      };
      while (length > 0 && at(length - 1) == 0) --length;
      for (std::size_t k = 0; k < length; ++k) appendCodePoint(column.units, at(k));
      column.starts.push_back(column.units.size());
    }
    return column;
  }
  for (std::size_t i = 0; i < rows; ++i) {
    PyObject* item;
    std::memcpy(&item, data + static_cast<std::ptrdiff_t>(i) * stride, sizeof item);
    if (item == nullptr || !PyUnicode_Check(item)) {
      notText((std::string(what) + "[" + std::to_string(i) + "]").c_str(),
              item == nullptr ? py::none() : py::handle(item));
    }
    appendStr(column.units, item);
    column.starts.push_back(column.units.size());
  }
  return column;
}

py::str strOf(std::u16string_view units) {
  std::u32string points;
  points.reserve(units.size());
  for (std::size_t i = 0; i < units.size(); ++i) {
    const char16_t u = units[i];
    if (u >= 0xD800 && u < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000) {
      points.push_back(0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (units[i + 1] - 0xDC00));
      ++i;
    } else {
      points.push_back(u);
    }
  }
  PyObject* s = PyUnicode_FromKindAndData(PyUnicode_4BYTE_KIND, points.data(), static_cast<Py_ssize_t>(points.size()));
  if (s == nullptr) throw py::error_already_set();
  return py::reinterpret_steal<py::str>(s);
}

}  // namespace trazo::python
