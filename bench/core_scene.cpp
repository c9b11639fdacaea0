#include "core_scene.hpp"

#include "core_inputs.hpp"

namespace trazo::bench {

Status fillMixedScene(Trazo& control, std::int32_t count) {
  if (const Status s = control.Clear(); failed(s)) return s;
  const auto& inputs = addInputs();
  for (std::int32_t i = 0; i < count; ++i) {
    const AddArgs& a = inputs[static_cast<std::size_t>(i) & kInputMask];
    Status s = status::ok;
    switch (i % 4) {
      case 0: s = control.AddLine(a.x1, a.y1, a.x2, a.y2, a.col, a.lType, {}); break;
      case 1: s = control.AddCircle(a.x1, a.y1, a.r, a.col, a.lType, {}); break;
      case 2: s = control.AddCircle2(a.x1, a.y1, a.r, a.sa, a.ea, a.col, a.lType, {}); break;
      default: s = control.AddText(a.x1, a.y1, a.th, a.ang, a.col, kShortText, {}); break;
    }
    if (failed(s)) return s;
  }
  return status::ok;
}

std::vector<Entity> copyRecords(const Trazo& control) {
  const Store& store = control.store();
  std::vector<Entity> records;
  records.reserve(static_cast<std::size_t>(store.count()));
  for (std::int32_t i = 1; i <= store.count(); ++i) records.push_back(*store.at(i));
  return records;
}

}  // namespace trazo::bench
