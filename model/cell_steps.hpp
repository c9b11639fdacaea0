// Bounds in coarse steps across a cell of the spatial index: a byte for each side, so that a
// query reads a cell's entities one after the other and not all over the store.
//
// An entity sits in the cell holding its centre and is no larger than the cell, so its
// bounds lie within half a cell around it; the steps cover those two cells in 256 parts,
// a bound further out being held at the first or last. Every operation on the way from a
// coordinate to its step rounds without ever reversing the order of two coordinates, so
// two bounds a step apart are apart in truth, and only a bound on the same step as an edge
// of the area leaves the answer open.
#pragma once

#include <cstdint>

namespace trazo {

inline constexpr double kStepsPerCell = 128;

// The step of `at` along one axis of cell `cell` of a grid from `origin` with `perCell`
// cells per unit (finite and positive). Not a number gives step 0: no bound in a cell is
// one, and an area with one is not stepped.
inline std::uint8_t stepInCell(double at, double origin, double perCell, std::int32_t cell) {
  const double s = ((at - origin) * perCell - cell + 0.5) * kStepsPerCell;
  if (!(s > 0)) return 0;
  return s >= 255 ? 255 : static_cast<std::uint8_t>(s);  // truncated: the floor, s being positive
}

enum class StepAnswer { misses, meets, unsure };

// Whether a box of steps (MinX, MinY, MaxX, MaxY) meets an area stepped in the same cell.
inline StepAnswer stepsMeet(const std::uint8_t box[4], const std::uint8_t area[4]) {
  if (box[0] > area[2] || box[2] < area[0] || box[1] > area[3] || box[3] < area[1]) return StepAnswer::misses;
  if (box[0] < area[2] && box[2] > area[0] && box[1] < area[3] && box[3] > area[1]) return StepAnswer::meets;
  return StepAnswer::unsure;
}

}  // namespace trazo
