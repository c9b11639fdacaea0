#include "model/add_operations.hpp"

#include "model/checked_math.hpp"
#include "model/text_box.hpp"

namespace trazo {
namespace {

// Widens every bound by one point, never narrowing: MinX, MinY, MaxX, MaxY in that order.
void foldPoint(Extents& e, double x, double y) {
  e.MinX = MinValue(x, e.MinX);
  e.MinY = MinValue(y, e.MinY);
  e.MaxX = MaxValue(x, e.MaxX);
  e.MaxY = MaxValue(y, e.MaxY);
}

// The corners of a circle's bounding square, low corner first.
struct Square {
  double lowX, lowY, highX, highY;
};

bool computeSquare(double CX, double CY, double r, Square& sq) {
  CheckedMath m;
  sq.lowX = m.sub(CX, r);
  sq.lowY = m.sub(CY, r);
  sq.highX = m.add(CX, r);
  sq.highY = m.add(CY, r);
  return !m.failed();
}

// Flattened so that the store's add is inlined with the numbers in registers: an arc's add
// otherwise spends a fifth of its time passing them through memory.
[[gnu::flatten]] Status storeCircular(Store& store, std::int16_t kind, double CX, double CY, double r, double sa,
                                      double ea, std::int32_t col, std::int32_t lType, std::u16string_view Tag) {
  Square sq;
  if (!computeSquare(CX, CY, r, sq)) return status::floatError;
  if (const Status s = store.add({kind, CX, CY, r, sa, ea, col, lType}, {}, Tag); failed(s)) return s;

  Extents& e = store.extents();
  if (store.count() == 1) {
    e = {sq.lowX, sq.lowY, sq.highX, sq.highY};
  } else {
    e.MinX = MinValue(sq.lowX, e.MinX);
    e.MinY = MinValue(sq.lowY, e.MinY);
    e.MaxX = MaxValue(sq.highX, e.MaxX);
    e.MaxY = MaxValue(sq.highY, e.MaxY);
  }
  return status::ok;
}

}  // namespace

Status addLine(Store& store, double x1, double y1, double x2, double y2, std::int32_t col, std::int32_t lType,
               std::u16string_view Tag) {
  if (const Status s = store.add({kKindLine, x1, y1, x2, y2, 0, col, lType}, {}, Tag); failed(s)) return s;

  Extents& e = store.extents();
  if (store.count() == 1) {
    e = {MinValue(x1, x2), MinValue(y1, y2), MaxValue(x1, x2), MaxValue(y1, y2)};
  } else {
    foldPoint(e, x1, y1);
    foldPoint(e, x2, y2);
  }
  return status::ok;
}

Status addCircle(Store& store, double CX, double CY, double r, std::int32_t col, std::int32_t lType,
                 std::u16string_view Tag) {
  return storeCircular(store, kKindCircle, CX, CY, r, 0, 0, col, lType, Tag);
}

Status addArc(Store& store, double CX, double CY, double r, double sa, double ea, std::int32_t col, std::int32_t lType,
              std::u16string_view Tag) {
  return storeCircular(store, kKindArc, CX, CY, r, sa, ea, col, lType, Tag);
}

Status addText(Store& store, double TX, double TY, double TH, double Tang, std::int32_t col, std::u16string_view cText,
               std::u16string_view Tag) {
  TextBox box;
  if (!computeTextBox(TX, TY, TH, Tang, cText, box)) return status::floatError;
  // A text has no line type: LineType and Value5 keep the zero of a fresh slot.
  const Extents bounds{MinValue(MinValue(box.X1, box.X2), MinValue(box.X3, box.X4)),
                       MinValue(MinValue(box.Y1, box.Y2), MinValue(box.Y3, box.Y4)),
                       MaxValue(MaxValue(box.X1, box.X2), MaxValue(box.X3, box.X4)),
                       MaxValue(MaxValue(box.Y1, box.Y2), MaxValue(box.Y3, box.Y4))};
  if (const Status s = store.add({kKindText, TX, TY, TH, Tang, 0, col, 0}, cText, Tag, &bounds); failed(s)) return s;

  Extents& e = store.extents();
  if (store.count() == 1) {
    e = {box.X1, box.Y1, box.X1, box.Y1};
  } else {
    foldPoint(e, box.X1, box.Y1);
  }
  foldPoint(e, box.X2, box.Y2);
  foldPoint(e, box.X3, box.Y3);
  foldPoint(e, box.X4, box.Y4);
  return status::ok;
}

}  // namespace trazo
