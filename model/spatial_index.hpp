// Which entities may touch a rectangle of the drawing, in the order of addition: a repaint
// that shows part of the picture asks it for the entities worth handing to the painters.
//
// Entities sit in grids over the extents the drawing had when the index was built, each in
// the cell that holds the centre of its bounds, on the finest of a few levels whose cells
// are at least as large as the entity (so it reaches at most half a cell past its own). The
// entities too large for the coarsest level, and those whose bounds are not finite numbers,
// are candidates for every rectangle. Entities added since the build are looked at one by
// one until there are enough of them to build again, so that a host adding a few entities
// between repaints does not pay for the whole drawing each time.
#pragma once

#include "model/entity.hpp"
#include "model/store.hpp"

#include <cstdint>
#include <memory>
#include <vector>

namespace trazo {

class SpatialIndex {
 public:
  // Forgets every entity (the drawing was cleared).
  void clear();

  // Takes in the entities added since the last call; false, with the index emptied, when
  // there is no memory for it (a repaint then walks every entity).
  bool update(const Store& store);
  bool covers(const Store& store) const { return generation_ == store.generation() && indexed_ == store.count(); }

  // Every entity that may touch `area` (its bounds meet it, or they are not finite), in
  // rising order, into `found` (emptied first). The index must cover the store. False when
  // there is no memory for the answer.
  bool query(const Store& store, const Extents& area, std::vector<std::int32_t>& found);

  // Whether bounds `b` may touch `area`: they meet it, or they are not finite numbers.
  static bool meets(const Extents& b, const Extents& area);

 private:
  struct Level {
    std::int32_t side = 0;  // cells each way
    double cellWidth = 0, cellHeight = 0;
    double perWidth = 0, perHeight = 0;  // cells per unit of the drawing, each way
    std::size_t firstCell = 0;           // into cellStart_
    bool stepped = false;                // whether the entries' boxes can be read (finite cells)
  };
  // An entity in a cell with its bounds in coarse steps across the cell (cell_steps.hpp), so
  // that a query reads the cells one after the other and looks at the store only for an
  // entity whose box leaves it unsure.
  struct Entry {
    std::int32_t entity;
    std::uint8_t box[4];  // MinX, MinY, MaxX, MaxY
  };

  bool build(const Store& store);
  // Marks every candidate up to built_ whose bounds meet `area`.
  void mark(const Store& store, const Extents& area);

  Extents domain_;
  std::vector<Level> levels_;
  // Entries of cell c: [cellStart_[c], cellStart_[c + 1]). The last cell, past the grids',
  // holds the candidates for every rectangle.
  std::vector<std::uint32_t> cellStart_;
  // Rising entity numbers within each cell; made without being filled, each part of the
  // build touching the memory it fills first.
  std::unique_ptr<Entry[]> entries_;
  std::vector<std::uint64_t> marks_;  // one bit per entity up to built_
  std::size_t firstMarked_ = 0, lastMarked_ = 0;
  std::int32_t built_ = 0;        // entities 1..built_ are in the grids
  std::int32_t indexed_ = 0;      // entities past built_ up to this are looked at one by one
  std::uint64_t generation_ = 0;  // of the store's drawing
};

}  // namespace trazo
