// One painter per entity kind. Each draws one stored entity on the picture in drawing units,
// through the surface operations alone; the first failure ends the painter and is returned.
// Reflash looks the entity up (an index outside the array fails there, before any drawing)
// and picks the painter by kind.
#pragma once

#include "base/status.hpp"
#include "picture/surface.hpp"
#include "model/entity.hpp"

namespace trazo {

Status DrawLineEntity(const Entity& e, Surface& p1);
Status DrawCircleEntity(const Entity& e, Surface& p1);
Status DrawArcEntity(const Entity& e, Surface& p1);
Status DrawTextEntity(const Entity& e, Surface& p1);

}  // namespace trazo
