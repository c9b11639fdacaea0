// An append-only list in chunks that never move: appending stays constant time however long
// the list grows, without the copy and the doubled peak of a growing array. Room for the
// next element is made apart from the append itself, so that a caller can make sure of the
// memory before it changes anything else.
#pragma once

#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

namespace trazo {

// Makes room in `v` for one more element, doubling its capacity when it is full so that a
// long run of appends copies each element a few times at most; may throw std::bad_alloc,
// and then `v` is left as it was.
template <typename T>
void makeRoomForOne(std::vector<T>& v) {
  if (v.size() < v.capacity()) return;
  v.reserve(v.capacity() < 16 ? 16 : v.capacity() * 2);
}

template <typename T, std::size_t ChunkSize = 4096>
class ChunkedList {
 public:
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

  const T& operator[](std::size_t i) const { return chunks_[i / ChunkSize][i % ChunkSize]; }
  T& operator[](std::size_t i) { return chunks_[i / ChunkSize][i % ChunkSize]; }

  // Whether the next append has room without a new chunk.
  bool hasRoom() const { return size_ < chunks_.size() * ChunkSize; }
  // Makes room for one more element; may throw std::bad_alloc, and then nothing changes.
  void reserveOne() {
    if (size_ < chunks_.size() * ChunkSize) [[likely]]
      return;
    addChunk();
  }
  // Appends into the room reserveOne made: never fails.
  void pushReserved(T value) {
    (*this)[size_] = std::move(value);
    ++size_;
  }

  // Drops the elements from `size` on, each emptied (its memory given back), keeping the
  // chunks for the appends that follow.
  void dropFrom(std::size_t size) {
    while (size_ > size) (*this)[--size_] = T();
  }

  // Drops every element, keeping up to `chunks` chunks for the appends that follow.
  void clearKeeping(std::size_t chunks) {
    if (chunks_.size() > chunks) chunks_.resize(chunks);
    size_ = 0;
  }

  // Drops every element and gives the chunks' memory back.
  void release() {
    std::vector<std::unique_ptr<T[]>>().swap(chunks_);
    size_ = 0;
  }

  // The first position whose element is not less than `key` by `less(element, key)`, from
  // `from` on: a gallop, then a binary search, so that reading keys in rising order costs
  // little more than a step each.
  template <typename Key, typename Less>
  std::size_t lowerBound(const Key& key, Less less, std::size_t from = 0) const {
    std::size_t low = from, step = 1, high = from;
    while (high < size_ && less((*this)[high], key)) {
      low = high + 1;
      high += step;
      step *= 2;
    }
    if (high > size_) high = size_;
    while (low < high) {
      const std::size_t mid = low + (high - low) / 2;
      if (less((*this)[mid], key)) {
        low = mid + 1;
      } else {
        high = mid;
      }
    }
    return low;
  }

 private:
  // Out of line, so that the common case of reserveOne stays a compare. A chunk is not
  // initialised first: an element is read only once it has been appended.
  [[gnu::noinline]] void addChunk() {
    makeRoomForOne(chunks_);
    // new T[] without braces leaves the elements as they are (the header stays C++17). The
    // room was made above, so the chunk is built in place and nothing can throw after new.
    chunks_.emplace_back(new T[ChunkSize]);
  }

  std::vector<std::unique_ptr<T[]>> chunks_;
  std::size_t size_ = 0;
};

}  // namespace trazo
