#include "model/add_operations.hpp"

#include "model/checked_math.hpp"
#include "model/text_box.hpp"

#include <new>

namespace trazo {
namespace {

// Widens every bound by one point, never narrowing: MinX, MinY, MaxX, MaxY in that order.
void foldPoint(Extents& e, double x, double y) {
  e.MinX = MinValue(x, e.MinX);
  e.MinY = MinValue(y, e.MinY);
  e.MaxX = MaxValue(x, e.MaxX);
  e.MaxY = MaxValue(y, e.MaxY);
}

// Copies the caller's strings into a fresh record; false when memory runs out.
bool copyStrings(Entity& record, std::u16string_view text, std::u16string_view tag) {
  try {
    record.Text.assign(text);
    record.Tag.assign(tag);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
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

Status storeCircular(Store& store, std::int16_t kind, double CX, double CY, double r, double sa, double ea,
                     std::int32_t col, std::int32_t lType, std::u16string_view Tag) {
  Square sq;
  if (!computeSquare(CX, CY, r, sq)) return status::floatError;
  Entity record;
  record.Kind = kind;
  record.Value1 = CX;
  record.Value2 = CY;
  record.Value3 = r;
  record.Value4 = sa;
  record.Value5 = ea;
  record.Col = col;
  record.LineType = lType;
  if (!copyStrings(record, {}, Tag)) return status::outOfMemory;
  if (const Status s = store.append(std::move(record)); failed(s)) return s;

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
  Entity record;
  record.Kind = kKindLine;
  record.Value1 = x1;
  record.Value2 = y1;
  record.Value3 = x2;
  record.Value4 = y2;
  record.Col = col;
  record.LineType = lType;
  if (!copyStrings(record, {}, Tag)) return status::outOfMemory;
  if (const Status s = store.append(std::move(record)); failed(s)) return s;

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

Status addArc(Store& store, double CX, double CY, double r, double sa, double ea, std::int32_t col,
              std::int32_t lType, std::u16string_view Tag) {
  return storeCircular(store, kKindArc, CX, CY, r, sa, ea, col, lType, Tag);
}

Status addText(Store& store, double TX, double TY, double TH, double Tang, std::int32_t col,
               std::u16string_view cText, std::u16string_view Tag) {
  TextBox box;
  if (!computeTextBox(TX, TY, TH, Tang, cText, box)) return status::floatError;
  Entity record;
  record.Kind = kKindText;
  record.Value1 = TX;
  record.Value2 = TY;
  record.Value3 = TH;
  record.Value4 = Tang;
  record.Col = col;
  if (!copyStrings(record, cText, Tag)) return status::outOfMemory;
  if (const Status s = store.append(std::move(record)); failed(s)) return s;

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
