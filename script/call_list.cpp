#include "script/call_list.hpp"

#include <algorithm>
#include <cstring>

namespace trazo::script {
namespace {

// Statements are packed into blocks of this size; a larger statement gets a block of its own.
// Small enough for the C library to take them from its heap rather than map each: memory
// given back there is reused for the store's blocks.
constexpr std::size_t kBlockBytes = std::size_t{64} << 10;
// The member's index in the table takes the low byte of a statement's first field, its line
// the rest.
constexpr unsigned kMemberBits = 8;

template <typename T>
T load(const std::byte* bytes, std::size_t& at) {
  at = alignUp(at, alignof(T));
  T value;
  std::memcpy(&value, bytes + at, sizeof value);
  at += sizeof value;
  return value;
}

}  // namespace

CallList::Block& CallList::roomFor(std::size_t bytes) {
  if (blocks_.empty() || blocks_.back().capacity - blocks_.back().used < bytes) {
    Block block;
    block.capacity = std::max(kBlockBytes, bytes);
    block.bytes.reset(new std::byte[block.capacity]);  // left uninitialised: every byte is written before it is read
    blocks_.push_back(std::move(block));
  }
  return blocks_.back();
}

CallList::Writer CallList::begin(std::size_t line, const MemberInfo& member, std::size_t mostBytes) {
  Block& block = roomFor(mostBytes);
  Writer writer;
  writer.bytes_ = block.bytes.get();
  writer.at_ = block.used;
  const auto index = static_cast<std::uint64_t>(&member - kMembers.data());
  writer.put<std::uint64_t>((static_cast<std::uint64_t>(line) << kMemberBits) | index);
  return writer;
}

void CallList::append(CallList&& later) {
  blocks_.reserve(blocks_.size() + later.blocks_.size());
  for (Block& block : later.blocks_) blocks_.push_back(std::move(block));
  count_ += later.count_;
  later.blocks_.clear();
  later.count_ = 0;
}

void CallList::commit(const Writer& writer) {
  blocks_.back().used = alignUp(writer.at_, kAlignment);
  ++count_;
}

void CallList::add(std::size_t line, const MemberInfo& member, std::span<const BoundArgument> arguments,
                   std::size_t textUnits) {
  Writer writer = begin(line, member, mostBytes(member, textUnits));
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const BoundArgument& a = arguments[i];
    switch (member.params[i].type) {
      case VarType::Double: writer.put(a.number); break;
      case VarType::Long: writer.put(a.integer); break;
      default: {
        char16_t* text = writer.putText(a.text.size());
        if (!a.text.empty()) std::memcpy(text, a.text.data(), a.text.size() * sizeof(char16_t));
        break;
      }
    }
  }
  commit(writer);
}

CallList::Cursor::~Cursor() {
  list_.blocks_.clear();
  list_.count_ = 0;
}

bool CallList::Cursor::next(Call& call) {
  while (block_ < list_.blocks_.size() && at_ == list_.blocks_[block_].used) {
    list_.blocks_[block_].bytes.reset();
    ++block_, at_ = 0;
  }
  if (block_ == list_.blocks_.size()) return false;
  const std::byte* bytes = list_.blocks_[block_].bytes.get();
  const auto head = load<std::uint64_t>(bytes, at_);
  call.line = static_cast<std::size_t>(head >> kMemberBits);
  call.member = &kMembers[head & ((1u << kMemberBits) - 1)];
  const auto params = call.member->params;
  for (std::size_t i = 0; i < params.size(); ++i) {
    BoundArgument& a = call.arguments[i];
    switch (params[i].type) {
      case VarType::Double: a.number = load<double>(bytes, at_); break;
      case VarType::Long: a.integer = load<std::int32_t>(bytes, at_); break;
      default: {  // String; the table has no other parameter type
        const auto units = load<std::uint32_t>(bytes, at_);
        // The units were copied in as char16_t objects at an even offset of an aligned block.
        a.text = std::u16string_view(reinterpret_cast<const char16_t*>(bytes + at_), units);
        at_ += units * sizeof(char16_t);
        break;
      }
    }
  }
  at_ = alignUp(at_, kAlignment);
  return true;
}

}  // namespace trazo::script
