// The add operations of the store. Each one works out its whole geometry and copies its
// strings before it takes a slot, so a call either stores its entity and widens the extents,
// or fails and changes nothing: a floating-point error, a full store or a failed allocation
// leaves no half-written record and no half-updated extents behind.
#pragma once

#include "base/status.hpp"
#include "model/store.hpp"

#include <cstdint>
#include <string_view>

namespace trazo {

Status addLine(Store& store, double x1, double y1, double x2, double y2, std::int32_t col, std::int32_t lType,
               std::u16string_view Tag);

Status addCircle(Store& store, double CX, double CY, double r, std::int32_t col, std::int32_t lType,
                 std::u16string_view Tag);

Status addArc(Store& store, double CX, double CY, double r, double sa, double ea, std::int32_t col, std::int32_t lType,
              std::u16string_view Tag);

Status addText(Store& store, double TX, double TY, double TH, double Tang, std::int32_t col, std::u16string_view cText,
               std::u16string_view Tag);

}  // namespace trazo
