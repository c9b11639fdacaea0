// The extension module trazo._trazo: the control with its eight members under their own
// names and parameter names, the bulk adds over NumPy columns, the picture as a NumPy array
// and as PNG or SVG bytes, the trace of a Reflash, and the script reader. The package
// around it (trazo/__init__.py) checks and converts the arguments of the bulk adds and the
// picture options; this file trusts only what it checks itself.
//
// The interpreter is let go while the control paints and while bulk adds and scripts run;
// each control has a lock so that calls from several Python threads take turns.
#include "automation/member_table.hpp"
#include "model/entity.hpp"
#include "script/printable_text.hpp"
#include "script/script.hpp"
#include "shells/python/bulk_adds.hpp"
#include "shells/python/picture_output.hpp"
#include "shells/python/python_text.hpp"

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace py = pybind11;
using namespace pybind11::literals;

namespace trazo::python {
namespace {

// Largest picture side, in pixels, as for trazo render.
constexpr int kLargestSide = 16384;
// The trace's inner area, in twips, is below this, as for trazo trace.
constexpr double kLargestTwips = 1e9;
// Bytes handed to a Python file at a time.
constexpr std::size_t kWriteChunk = std::size_t{1} << 20;

// A member that failed: `row` of a bulk add, or none for a single call.
struct MemberFailed {
  const char* member;
  Status status;
  std::optional<std::size_t> row;
};

// A script with faults: one message per fault.
struct ScriptRejected {
  std::vector<std::string> faults;
};

class Control {
 public:
  Control() { (void)control_.onInitialize(); }
  ~Control() { control_.onTerminate(); }
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  Trazo& control() { return control_; }
  std::mutex& lock() { return lock_; }
  // Answers for the picture last rendered or written.
  Picker& picker() { return picker_; }

 private:
  Trazo control_;
  Picker picker_;
  std::mutex lock_;
};

// The control's lock for a short call made with the interpreter held; when another thread
// has the control (a bulk add, a picture), the wait is made without the interpreter.
class Turn {
 public:
  explicit Turn(Control& c) : lock_(c.lock(), std::try_to_lock) {
    if (!lock_.owns_lock()) {
      py::gil_scoped_release free;
      lock_.lock();
    }
  }

 private:
  std::unique_lock<std::mutex> lock_;
};

// Runs `work` on the control without the interpreter.
template <typename Work>
auto withoutInterpreter(Control& c, Work work) {
  py::gil_scoped_release free;
  std::lock_guard<std::mutex> turn(c.lock());
  return work(c.control());
}

void check(const char* member, Status s) {
  if (failed(s)) throw MemberFailed{member, s, std::nullopt};
}

// --- bulk adds: the package hands over 1-d arrays of these types, all of one length ---

// Integer columns come as int32, or as int64 whose values the package has found to fit.
template <typename T>
Column<T> columnOf(py::handle value, std::size_t rows, const char* what) {
  const bool wide = std::is_integral_v<T> && py::array_t<std::int64_t>::check_(value);
  if (!py::array_t<T>::check_(value) && !wide) {
    throw py::type_error(std::string(what) + ": expected an array of " +
                         (std::is_integral_v<T> ? "int32 or int64" : "float64"));
  }
  const auto array = py::reinterpret_borrow<py::array>(value);
  if (array.ndim() != 1 || static_cast<std::size_t>(array.shape(0)) != rows) {
    throw py::value_error(std::string(what) + ": expected a one-dimensional array of " + std::to_string(rows) +
                          " rows");
  }
  return {static_cast<const char*>(array.data()), array.strides(0), wide};
}

void ranAll(const char* member, const RunResult& result) {
  if (failed(result.status)) throw MemberFailed{member, result.status, result.row};
}

void bulkLines(Control& c, bool boxes, std::size_t rows, py::handle x1, py::handle y1, py::handle x2, py::handle y2,
               py::handle col, py::handle lType, py::handle tags) {
  const LineColumns columns{columnOf<double>(x1, rows, "x1"),         columnOf<double>(y1, rows, "y1"),
                            columnOf<double>(x2, rows, "x2"),         columnOf<double>(y2, rows, "y2"),
                            columnOf<std::int32_t>(col, rows, "col"), columnOf<std::int32_t>(lType, rows, "lType")};
  const TextColumn tagColumn = textColumnOf(tags, rows, "tags");
  const RunResult result = withoutInterpreter(c, [&](Trazo& t) {
    return boxes ? addBoxes(t, rows, columns, tagColumn) : addLines(t, rows, columns, tagColumn);
  });
  ranAll(boxes ? "AddBox" : "AddLine", result);
}

void bulkCircles(Control& c, std::size_t rows, py::handle CX, py::handle CY, py::handle r, py::handle col,
                 py::handle lType, py::handle tags) {
  const CircleColumns columns{columnOf<double>(CX, rows, "CX"), columnOf<double>(CY, rows, "CY"),
                              columnOf<double>(r, rows, "r"), columnOf<std::int32_t>(col, rows, "col"),
                              columnOf<std::int32_t>(lType, rows, "lType")};
  const TextColumn tagColumn = textColumnOf(tags, rows, "tags");
  ranAll("AddCircle", withoutInterpreter(c, [&](Trazo& t) { return addCircles(t, rows, columns, tagColumn); }));
}

void bulkArcs(Control& c, std::size_t rows, py::handle CX, py::handle CY, py::handle r, py::handle sa, py::handle ea,
              py::handle col, py::handle lType, py::handle tags) {
  const ArcColumns columns{columnOf<double>(CX, rows, "CX"),
                           columnOf<double>(CY, rows, "CY"),
                           columnOf<double>(r, rows, "r"),
                           columnOf<double>(sa, rows, "sa"),
                           columnOf<double>(ea, rows, "ea"),
                           columnOf<std::int32_t>(col, rows, "col"),
                           columnOf<std::int32_t>(lType, rows, "lType")};
  const TextColumn tagColumn = textColumnOf(tags, rows, "tags");
  ranAll("AddCircle2", withoutInterpreter(c, [&](Trazo& t) { return addArcs(t, rows, columns, tagColumn); }));
}

void bulkTexts(Control& c, std::size_t rows, py::handle TX, py::handle TY, py::handle TH, py::handle Tang,
               py::handle col, py::handle cText, py::handle tags) {
  const TextColumns columns{columnOf<double>(TX, rows, "TX"), columnOf<double>(TY, rows, "TY"),
                            columnOf<double>(TH, rows, "TH"), columnOf<double>(Tang, rows, "Tang"),
                            columnOf<std::int32_t>(col, rows, "col")};
  const TextColumn textColumn = textColumnOf(cText, rows, "cText");
  const TextColumn tagColumn = textColumnOf(tags, rows, "tags");
  ranAll("AddText", withoutInterpreter(c, [&](Trazo& t) { return addTexts(t, rows, columns, textColumn, tagColumn); }));
}

// --- pictures ---

void checkSize(int width, int height) {
  if (width < 1 || height < 1 || width > kLargestSide || height > kLargestSide) {
    throw py::value_error("the picture's size must be whole pixels from 1 to " + std::to_string(kLargestSide));
  }
}

PictureLook lookOf(std::uint32_t background, bool lightPalette, double lineWidthPixels, int threads, bool antialias) {
  PictureLook look;
  look.background = {static_cast<std::uint8_t>(background >> 16), static_cast<std::uint8_t>(background >> 8),
                     static_cast<std::uint8_t>(background)};
  look.lightPalette = lightPalette;
  look.lineWidthPixels = lineWidthPixels;
  look.threads = threads;
  look.antialias = antialias;
  return look;
}

// The picture as (height, width, 4) bytes R, G, B, A, in the memory the raster drew them
// in: the array keeps that memory alive. With Reflash's status.
py::tuple render(Control& c, int width, int height, std::uint32_t background, bool lightPalette, double lineWidthPixels,
                 int threads, bool antialias) {
  checkSize(width, height);
  const PictureLook look = lookOf(background, lightPalette, lineWidthPixels, threads, antialias);
  auto pixels = std::make_unique<PixelBuffer>();
  Status paintStatus = status::ok;
  const bool drawn = withoutInterpreter(c, [&](Trazo& t) {
    RasterSurface p1;
    if (!renderRaster(t, width, height, look, p1, paintStatus)) return false;
    c.picker().painted(t.store(), p1);
    *pixels = std::move(p1.picture());
    // 0xFFRRGGBB words to the bytes R, G, B, A in place, whatever the machine's byte order.
    auto* bytes = reinterpret_cast<std::uint8_t*>(pixels->data());
    const std::size_t count = static_cast<std::size_t>(pixels->width()) * static_cast<std::size_t>(pixels->height());
    for (std::size_t i = 0; i < count; ++i) {
      const std::uint32_t p = pixels->data()[i];
      bytes[4 * i] = static_cast<std::uint8_t>(p >> 16);
      bytes[4 * i + 1] = static_cast<std::uint8_t>(p >> 8);
      bytes[4 * i + 2] = static_cast<std::uint8_t>(p);
      bytes[4 * i + 3] = static_cast<std::uint8_t>(p >> 24);
    }
    return true;
  });
  if (!drawn) throw std::bad_alloc();
  PixelBuffer* raw = pixels.release();
  py::capsule owner(raw, [](void* p) { delete static_cast<PixelBuffer*>(p); });
  const auto w = static_cast<py::ssize_t>(width), h = static_cast<py::ssize_t>(height);
  py::array_t<std::uint8_t> array({h, w, py::ssize_t{4}}, {w * 4, py::ssize_t{4}, py::ssize_t{1}},
                                  reinterpret_cast<std::uint8_t*>(raw->data()), owner);
  return py::make_tuple(array, static_cast<std::uint32_t>(paintStatus));
}

// Writes the picture to `write`, a Python callable taking bytes, in chunks. Returns
// Reflash's status; OSError when the picture could not be written, or the callable's own
// exception.
std::uint32_t writePicture(Control& c, const std::string& format, int width, int height, std::uint32_t background,
                           bool lightPalette, double lineWidthPixels, int threads, bool antialias, py::object write,
                           py::handle title) {
  checkSize(width, height);
  if (format != "png" && format != "svg") throw py::value_error("the format must be png or svg");
  const PictureLook look = lookOf(background, lightPalette, lineWidthPixels, threads, antialias);
  const std::u16string name = title.is_none() ? std::u16string() : utf16Of(title, "title");
  std::optional<py::error_already_set> raised;
  std::vector<unsigned char> chunk;
  chunk.reserve(kWriteChunk);
  auto hand = [&]() {
    py::gil_scoped_acquire held;
    try {
      write(py::bytes(reinterpret_cast<const char*>(chunk.data()), chunk.size()));
    } catch (py::error_already_set& e) {
      raised.emplace(std::move(e));
    }
    chunk.clear();
    return !raised;
  };
  const png::ByteSink sink = [&](const unsigned char* data, std::size_t n) {
    while (n > 0) {
      const std::size_t part = std::min(n, kWriteChunk - chunk.size());
      chunk.insert(chunk.end(), data, data + part);
      data += part;
      n -= part;
      if (chunk.size() == kWriteChunk && !hand()) return false;
    }
    return true;
  };
  const WriteResult result = withoutInterpreter(c, [&](Trazo& t) {
    WriteResult r = format == "png" ? writePng(t, width, height, look, sink, &c.picker())
                                    : writeSvg(t, width, height, look, sink, name, &c.picker());
    if (r.written && !chunk.empty() && !hand()) {
      r.written = false;
      r.error = "the output refused the data";
    }
    return r;
  });
  if (raised) throw std::move(*raised);
  if (!result.written) {
    PyErr_SetString(PyExc_OSError, ("the picture could not be written: " + result.error).c_str());
    throw py::error_already_set();
  }
  return static_cast<std::uint32_t>(result.paintStatus);
}

// --- picking, on the picture last rendered or written ---

py::object pickedOf(const Store& store, std::int32_t index) {
  const std::optional<Entity> e = store.at(index);
  const std::u16string_view tag = e ? e->Tag : std::u16string_view();
  return py::make_tuple(index, std::string(entityKindName(e ? e->Kind : std::int16_t{kKindNone})), strOf(tag));
}

py::object entityAt(Control& c, double x, double y, double tolerance) {
  if (!(tolerance >= 0)) throw py::value_error("the tolerance must be a number of pixels, 0 or more");
  Turn turn(c);
  const std::int32_t index = c.picker().entityAt(c.control().store(), x, y, tolerance);
  if (index == 0) return py::none();
  return pickedOf(c.control().store(), index);
}

py::list entitiesIn(Control& c, double left, double top, double width, double height, bool inside) {
  std::vector<std::int32_t> found;
  const Status s = withoutInterpreter(c, [&](Trazo& t) {
    return c.picker().entitiesIn(t.store(), {left, top, width, height},
                                 inside ? BoxSelection::inside : BoxSelection::crossing, found);
  });
  if (failed(s)) throw std::bad_alloc();
  Turn turn(c);
  py::list picked;
  for (const std::int32_t index : found) picked.append(pickedOf(c.control().store(), index));
  return picked;
}

// --- scripts ---

class Collector final : public script::Listener {
 public:
  explicit Collector(const std::string& fileName) : fileName_(script::printable(fileName)), lines_(trace_) {}
  void ran(const script::Outcome& o) override {
    lines_.ran(o);
    if (failed(o.status)) {
      failures_.push_back(fileName_ + ":" + std::to_string(o.line) + ": Error " + std::string(o.member->name) + " " +
                          statusKind(o.status));
    }
  }
  std::string trace() const { return trace_.str(); }
  const std::vector<std::string>& failures() const { return failures_; }

 private:
  std::string fileName_;
  std::ostringstream trace_;
  script::TraceListener lines_;
  std::vector<std::string> failures_;
};

std::string bytesOf(py::handle text) {
  if (!PyBytes_Check(text.ptr())) throw py::type_error("the script's text must be bytes");
  return py::reinterpret_borrow<py::bytes>(text).cast<std::string>();
}

// Reads and runs a script against the control; (trace, failures) as the command line
// writes them, or ScriptRejected.
py::tuple runScript(Control& c, py::handle text, const std::string& fileName) {
  const std::string bytes = bytesOf(text);
  std::optional<script::Script> read;
  Collector collector(fileName);
  {
    py::gil_scoped_release free;
    read.emplace(script::Script::read(bytes, fileName));
    if (read->accepted()) {
      std::lock_guard<std::mutex> turn(c.lock());
      read->run(c.control(), collector);
    }
  }
  if (!read->accepted()) throw ScriptRejected{read->faults()};
  return py::make_tuple(collector.trace(), collector.failures());
}

// The statements of a script as (line, member, arguments), each argument in its
// parameter's type, without running them: a host plays them through its own calls.
py::list boundCalls(py::handle text, const std::string& fileName) {
  script::Script read = script::Script::read(bytesOf(text), fileName);
  if (!read.accepted()) throw ScriptRejected{read.faults()};
  py::list calls;
  read.walk([&](const script::BoundCall& call) {
    py::tuple arguments(call.arguments.size());
    for (std::size_t i = 0; i < call.arguments.size(); ++i) {
      const BoundArgument& a = call.arguments[i];
      switch (call.member->params[i].type) {
        case VarType::Double: arguments[i] = py::float_(a.number); break;
        case VarType::Long: arguments[i] = py::int_(a.integer); break;
        default: arguments[i] = strOf(a.text); break;
      }
    }
    calls.append(py::make_tuple(call.line, std::string(call.member->name), arguments));
  });
  return calls;
}

// --- inspection, for tests ---

py::list records(Control& c) {
  Turn turn(c);
  const Store& store = c.control().store();
  py::list out;
  for (std::int32_t i = 1; i <= store.count(); ++i) {
    const Entity e = *store.at(i);
    out.append(py::make_tuple(e.Kind, e.Value1, e.Value2, e.Value3, e.Value4, e.Value5, e.Col, e.LineType,
                              strOf(e.Text), strOf(e.Tag)));
  }
  return out;
}

py::tuple extents(Control& c) {
  Turn turn(c);
  const Extents& e = c.control().store().extents();
  return py::make_tuple(e.MinX, e.MinY, e.MaxX, e.MaxY);
}

}  // namespace
}  // namespace trazo::python

PYBIND11_MODULE(_trazo, m) {
  using namespace trazo;
  using namespace trazo::python;
  m.doc() = "The Trazo drawing control (the package trazo is its Python face)";

  // The package's error classes, built from a member's failure or a rejected script.
  py::register_exception_translator([](std::exception_ptr p) {
    try {
      if (p) std::rethrow_exception(p);
    } catch (const MemberFailed& e) {
      const py::object errors = py::module_::import("trazo._errors");
      py::object row = e.row ? py::object(py::int_(*e.row)) : py::object(py::none());
      const py::object error =
          errors.attr("member_failed")(e.member, static_cast<std::uint32_t>(e.status), statusKind(e.status), row);
      PyErr_SetObject(reinterpret_cast<PyObject*>(Py_TYPE(error.ptr())), error.ptr());
    } catch (const ScriptRejected& e) {
      const py::object errors = py::module_::import("trazo._errors");
      const py::object error = errors.attr("ScriptRejected")(py::cast(e.faults));
      PyErr_SetObject(reinterpret_cast<PyObject*>(Py_TYPE(error.ptr())), error.ptr());
    }
  });

  py::class_<Control>(m, "Control")
      .def(py::init<>())
      .def("Clear",
           [](Control& c) {
             Turn turn(c);
             check("Clear", c.control().Clear());
           })
      .def(
          "AddBox",
          [](Control& c, double x1, double y1, double x2, double y2, std::int32_t col, std::int32_t lType,
             py::handle Tag) {
            const std::u16string tag = utf16Of(Tag, "Tag");
            Turn turn(c);
            check("AddBox", c.control().AddBox(x1, y1, x2, y2, col, lType, tag));
          },
          "x1"_a, "y1"_a, "x2"_a, "y2"_a, "col"_a, "lType"_a, "Tag"_a)
      .def(
          "AddLine",
          [](Control& c, double x1, double y1, double x2, double y2, std::int32_t col, std::int32_t lType,
             py::handle Tag) {
            const std::u16string tag = utf16Of(Tag, "Tag");
            Turn turn(c);
            check("AddLine", c.control().AddLine(x1, y1, x2, y2, col, lType, tag));
          },
          "x1"_a, "y1"_a, "x2"_a, "y2"_a, "col"_a, "lType"_a, "Tag"_a)
      .def(
          "AddCircle",
          [](Control& c, double CX, double CY, double r, std::int32_t col, std::int32_t lType, py::handle Tag) {
            const std::u16string tag = utf16Of(Tag, "Tag");
            Turn turn(c);
            check("AddCircle", c.control().AddCircle(CX, CY, r, col, lType, tag));
          },
          "CX"_a, "CY"_a, "r"_a, "col"_a, "lType"_a, "Tag"_a)
      .def(
          "AddCircle2",
          [](Control& c, double CX, double CY, double r, double sa, double ea, std::int32_t col, std::int32_t lType,
             py::handle Tag) {
            const std::u16string tag = utf16Of(Tag, "Tag");
            Turn turn(c);
            check("AddCircle2", c.control().AddCircle2(CX, CY, r, sa, ea, col, lType, tag));
          },
          "CX"_a, "CY"_a, "r"_a, "sa"_a, "ea"_a, "col"_a, "lType"_a, "Tag"_a)
      .def(
          "AddText",
          [](Control& c, double TX, double TY, double TH, double Tang, std::int32_t col, py::handle cText,
             py::handle Tag) {
            const std::u16string text = utf16Of(cText, "cText");
            const std::u16string tag = utf16Of(Tag, "Tag");
            Turn turn(c);
            check("AddText", c.control().AddText(TX, TY, TH, Tang, col, text, tag));
          },
          "TX"_a, "TY"_a, "TH"_a, "Tang"_a, "col"_a, "cText"_a, "Tag"_a)
      .def_property_readonly("Count",
                             [](Control& c) {
                               Turn turn(c);
                               std::int32_t value = 0;
                               check("Count", c.control().Count(value));
                               return value;
                             })
      .def("Reflash", [](Control& c) { check("Reflash", withoutInterpreter(c, [](Trazo& t) { return t.Reflash(); })); })
      .def(
          "trace",
          [](Control& c, double width, double height) {
            if (!(width >= 0 && height >= 0 && width < kLargestTwips && height < kLargestTwips)) {
              throw py::value_error("the picture's inner area must be from 0 to 1e9 twips each way");
            }
            return withoutInterpreter(c, [&](Trazo& t) { return traceOfReflash(t, width, height); });
          },
          "width"_a = kDefaultWidthTwips, "height"_a = kDefaultHeightTwips)
      .def("_add_lines",
           [](Control& c, std::size_t rows, py::handle x1, py::handle y1, py::handle x2, py::handle y2, py::handle col,
              py::handle lType, py::handle tags) { bulkLines(c, false, rows, x1, y1, x2, y2, col, lType, tags); })
      .def("_add_boxes",
           [](Control& c, std::size_t rows, py::handle x1, py::handle y1, py::handle x2, py::handle y2, py::handle col,
              py::handle lType, py::handle tags) { bulkLines(c, true, rows, x1, y1, x2, y2, col, lType, tags); })
      .def("_add_circles", &bulkCircles)
      .def("_add_arcs", &bulkArcs)
      .def("_add_texts", &bulkTexts)
      .def("_render", &render)
      .def("_write", &writePicture)
      .def("_run_script", &runScript)
      .def("_entity_at", &entityAt)
      .def("_entities_in", &entitiesIn)
      .def("_records", &records)
      .def("_extents", &extents);

  m.def("_bound_calls", &boundCalls);
  m.def("_status_kind", [](std::uint32_t s) { return statusKind(static_cast<Status>(s)); });
}
