// Taking back the adds made after a mark: what a bulk add that ran out of memory part way
// does, so that the drawing is as it was before the call.
#include "model/store.hpp"

namespace trazo {

Store::Mark Store::mark() const {
  Mark m;
  m.count = count_;
  m.capacity = capacity_;
  m.nextInBlock = nextInBlock_;
  m.firstStyled = firstStyled_;
  m.blocks = blocks_.size();
  m.arcEnds = arcEnds_.size();
  m.strings = strings_.size();
  m.generation = generation_;
  m.extents = extents_;
  return m;
}

void Store::takeBack(const Mark& m) {
  if (m.generation != generation_ || m.count > count_) return;
  // The blocks made since go back to the spares where there is room, else to the system.
  while (blocks_.size() > m.blocks) {
    if (spare_.size() < spare_.capacity()) spare_.push_back(std::move(blocks_.back()));
    blocks_.pop_back();
  }
  arcEnds_.dropFrom(m.arcEnds);
  stringsIndex_.dropFrom(m.strings);
  strings_.dropFrom(m.strings);
  count_ = m.count;
  capacity_ = m.capacity;
  nextInBlock_ = m.nextInBlock;
  firstStyled_ = m.firstStyled;
  extents_ = m.extents;
}

}  // namespace trazo
