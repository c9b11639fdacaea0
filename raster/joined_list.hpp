// A list held in two arrays, one after the other, so that a second list can be joined to
// the end of a first by taking over its memory instead of copying it: the raster's command
// list, whose later half another engine records while the first records the earlier one
// (raster_walk_split.hpp). Items are reached by their place in the whole list.
#pragma once

#include <cstddef>
#include <vector>

namespace trazo {

template <class T>
class JoinedList {
 public:
  std::size_t size() const { return head_.size() + tail_.size(); }
  bool empty() const { return head_.empty() && tail_.empty(); }
  const T& operator[](std::size_t n) const { return n < head_.size() ? head_[n] : tail_[n - head_.size()]; }
  T& operator[](std::size_t n) { return n < head_.size() ? head_[n] : tail_[n - head_.size()]; }

  // Items are added to the part at the end; the memory of both parts is kept for the next
  // list.
  void push_back(const T& item) { last().push_back(item); }
  void pop_back() { last().pop_back(); }
  void clear() {
    head_.clear();
    tail_.clear();
    joined_ = false;
  }
  // Room for `count` items in the whole list; asking for less than it holds changes nothing.
  void reserve(std::size_t count) {
    if (count > size()) last().reserve(count - (joined_ ? head_.size() : 0));
  }

  // Whether join() takes `other` over without copying it.
  bool joinsWithoutCopy(const JoinedList& other) const { return !joined_ && !other.joined_; }
  // Puts the items of `other` after these and leaves `other` empty. Without copying where
  // joinsWithoutCopy() says so, `other` then keeping the memory this list had spare;
  // otherwise copied, into room the caller has reserved. Returns the place of the first item
  // taken.
  std::size_t join(JoinedList& other) {
    const std::size_t from = size();
    if (joinsWithoutCopy(other)) {
      tail_.clear();
      tail_.swap(other.head_);
      joined_ = true;
    } else {
      last().insert(last().end(), other.head_.begin(), other.head_.end());
      last().insert(last().end(), other.tail_.begin(), other.tail_.end());
    }
    other.clear();
    return from;
  }

 private:
  std::vector<T>& last() { return joined_ ? tail_ : head_; }

  std::vector<T> head_, tail_;
  bool joined_ = false;  // whether tail_ holds a joined list
};

}  // namespace trazo
