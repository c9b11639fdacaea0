// Told by Reflash which entity it is about to paint, before the entity's painter makes its
// first call on the picture. It changes nothing the picture is handed: a host that writes a
// file which keeps the drawing's data (each entity's tag and kind) learns from it which
// entity the following calls draw. It must not throw.
#pragma once

#include "model/entity.hpp"

#include <cstdint>

namespace trazo {

class PaintObserver {
 public:
  virtual ~PaintObserver() = default;
  // Entity number `index` (from 1) is painted next.
  virtual void paintingEntity(std::int32_t index, const Entity& entity) = 0;
};

}  // namespace trazo
