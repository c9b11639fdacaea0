// Adds from columns of numbers and texts, one row at a time through the control's own
// members, in row order: a run of rows is the same as the single calls, with the same
// records, extents and statuses, and it stops at the first row that fails, keeping what the
// rows before it added; out of memory alone takes back the whole run. The columns are plain memory (a NumPy array's
// data and stride), so the adds run without the interpreter.
#pragma once

#include "control/trazo.hpp"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace trazo::python {

// One value per row, `stride` bytes apart; a stride of 0 gives every row the same value.
// Integers may be held in 64 bits (NumPy's own integers), their values known to fit T: read
// in place, they need no narrowed copy of a column of millions of rows.
template <typename T>
struct Column {
  const char* data = nullptr;
  std::ptrdiff_t stride = 0;
  bool wide = false;

  T operator[](std::size_t row) const {
    const char* const at = data + static_cast<std::ptrdiff_t>(row) * stride;
    if constexpr (std::is_integral_v<T>) {
      if (wide) {
        std::int64_t value;
        std::memcpy(&value, at, sizeof value);
        return static_cast<T>(value);
      }
    }
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
  }
};

// Texts of the rows packed into one run of UTF-16 code units: row i is units[starts[i]] up
// to units[starts[i + 1]]. Without starts, every row has the whole run (one text for all).
struct TextColumn {
  std::u16string units;
  std::vector<std::size_t> starts;

  std::u16string_view operator[](std::size_t row) const {
    if (starts.empty()) return units;
    return std::u16string_view(units).substr(starts[row], starts[row + 1] - starts[row]);
  }
};

// How a run of rows ended: every row added, or `status` from row `row`, the rows before it
// added (none of them when the status is out of memory).
struct RunResult {
  Status status = status::ok;
  std::size_t row = 0;
};

struct LineColumns {
  Column<double> x1, y1, x2, y2;
  Column<std::int32_t> col, lType;
};

struct CircleColumns {
  Column<double> CX, CY, r;
  Column<std::int32_t> col, lType;
};

struct ArcColumns {
  Column<double> CX, CY, r, sa, ea;
  Column<std::int32_t> col, lType;
};

struct TextColumns {
  Column<double> TX, TY, TH, Tang;
  Column<std::int32_t> col;
};

RunResult addLines(Trazo& control, std::size_t rows, const LineColumns& c, const TextColumn& tags);
RunResult addBoxes(Trazo& control, std::size_t rows, const LineColumns& c, const TextColumn& tags);
RunResult addCircles(Trazo& control, std::size_t rows, const CircleColumns& c, const TextColumn& tags);
RunResult addArcs(Trazo& control, std::size_t rows, const ArcColumns& c, const TextColumn& tags);
RunResult addTexts(Trazo& control, std::size_t rows, const TextColumns& c, const TextColumn& texts,
                   const TextColumn& tags);

}  // namespace trazo::python
