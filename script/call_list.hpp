// The statements of a checked script, bound once and packed one after another in large
// blocks: no heap object per statement. Each holds its line and member, then each argument
// in parameter order as the member's call takes it: a Double as 8 bytes, a Long as 4, a
// String as its count of UTF-16 code units and the units; every field at its natural
// alignment, every statement starting at a multiple of 8.
#pragma once

#include "automation/member_table.hpp"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

namespace trazo::script {

constexpr std::size_t alignUp(std::size_t at, std::size_t alignment) { return (at + alignment - 1) & ~(alignment - 1); }

// One statement as it is played.
struct Call {
  std::size_t line = 0;
  const MemberInfo* member = nullptr;
  std::array<BoundArgument, kMostParams> arguments;  // the first member->params.size() are set
};

class CallList {
 public:
  // Adds a statement: its line, its member and an argument for each of the member's
  // parameters, whose String arguments hold `textUnits` code units in all.
  void add(std::size_t line, const MemberInfo& member, std::span<const BoundArgument> arguments, std::size_t textUnits);

  // Writing a statement field by field where it will stay: begin with room for at most
  // `mostBytes`, then one put per parameter in order, then commit. A statement not
  // committed leaves the list as it was.
  class Writer {
   public:
    template <typename T>
    void put(T value) {
      at_ = alignUp(at_, alignof(T));
      std::memcpy(bytes_ + at_, &value, sizeof value);
      at_ += sizeof value;
    }
    // A String argument: room for `units` code units, to be filled at once.
    char16_t* putText(std::size_t units) {
      put(static_cast<std::uint32_t>(units));
      auto* text = reinterpret_cast<char16_t*>(bytes_ + at_);
      at_ += units * sizeof(char16_t);
      return text;
    }

   private:
    friend class CallList;
    std::byte* bytes_ = nullptr;
    std::size_t at_ = 0;
  };
  Writer begin(std::size_t line, const MemberInfo& member, std::size_t mostBytes);
  void commit(const Writer& writer);
  // The most bytes a statement of `member` can take whose texts have `textUnits` units in all.
  static std::size_t mostBytes(const MemberInfo& member, std::size_t textUnits) {
    return 8 + member.params.size() * 13 + textUnits * sizeof(char16_t) + 8;
  }

  std::size_t size() const { return count_; }
  // Moves the statements of `later` to the end of this list.
  void append(CallList&& later);

  // Walks the statements in the order they were added and gives back the memory of each
  // block once it is done with it, so that what the statements store can reuse it; the
  // texts it hands out live until the next call. The list is empty afterwards.
  class Cursor {
   public:
    explicit Cursor(CallList& list) : list_(list) {}
    ~Cursor();
    bool next(Call& call);

   private:
    CallList& list_;
    std::size_t block_ = 0;
    std::size_t at_ = 0;
  };

 private:
  static constexpr std::size_t kAlignment = 8;  // of every statement

  struct Block {
    std::unique_ptr<std::byte[]> bytes;
    std::size_t used = 0;
    std::size_t capacity = 0;
  };

  // The block with room for `bytes` more.
  Block& roomFor(std::size_t bytes);

  std::vector<Block> blocks_;
  std::size_t count_ = 0;
};

}  // namespace trazo::script
