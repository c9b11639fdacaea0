#include "shells/python/bulk_adds.hpp"

namespace trazo::python {
namespace {

// Out of memory takes the whole run back: the host is told of it as of a call that did
// nothing, and a drawing cut at a row the memory chose is of no use.
// `perRow` is how many entities a row adds.
template <typename AddRow>
RunResult eachRow(Trazo& control, std::size_t rows, AddRow add, std::int64_t perRow = 1) {
  const Store::Mark before = control.markAdds();
  RunResult result;
  auto rowsInOrder = [&] {
    for (std::size_t i = 0; i < rows; ++i) {
      if (const Status s = add(i); failed(s)) {
        if (s == status::outOfMemory) control.takeBackAdds(before);
        result = {s, i};
        return;
      }
    }
  };
  control.addInBulk(static_cast<std::int64_t>(rows) * perRow, rowsInOrder);
  return result;
}

}  // namespace

RunResult addLines(Trazo& control, std::size_t rows, const LineColumns& c, const TextColumn& tags) {
  return eachRow(control, rows, [&](std::size_t i) {
    return control.AddLine(c.x1[i], c.y1[i], c.x2[i], c.y2[i], c.col[i], c.lType[i], tags[i]);
  });
}

RunResult addBoxes(Trazo& control, std::size_t rows, const LineColumns& c, const TextColumn& tags) {
  return eachRow(
      control, rows,
      [&](std::size_t i) { return control.AddBox(c.x1[i], c.y1[i], c.x2[i], c.y2[i], c.col[i], c.lType[i], tags[i]); },
      4);
}

RunResult addCircles(Trazo& control, std::size_t rows, const CircleColumns& c, const TextColumn& tags) {
  return eachRow(control, rows, [&](std::size_t i) {
    return control.AddCircle(c.CX[i], c.CY[i], c.r[i], c.col[i], c.lType[i], tags[i]);
  });
}

RunResult addArcs(Trazo& control, std::size_t rows, const ArcColumns& c, const TextColumn& tags) {
  return eachRow(control, rows, [&](std::size_t i) {
    return control.AddCircle2(c.CX[i], c.CY[i], c.r[i], c.sa[i], c.ea[i], c.col[i], c.lType[i], tags[i]);
  });
}

RunResult addTexts(Trazo& control, std::size_t rows, const TextColumns& c, const TextColumn& texts,
                   const TextColumn& tags) {
  return eachRow(control, rows, [&](std::size_t i) {
    return control.AddText(c.TX[i], c.TY[i], c.TH[i], c.Tang[i], c.col[i], texts[i], tags[i]);
  });
}

}  // namespace trazo::python
