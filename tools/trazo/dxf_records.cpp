// Reading the records of trazo/_records.py: the counts, then each part where the counts put
// it, every index and count checked against what there is before it is used.
#include "tools/trazo/dxf_records.hpp"

#include "automation/member_table.hpp"
#include "script/call_list.hpp"

#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

namespace trazo::cli {
namespace {

constexpr std::string_view kMagic = "TRZADDS1";
enum Kind : std::uint8_t { kLine, kCircle, kArc, kText, kChain };

const MemberInfo& member(std::string_view name) {
  for (const MemberInfo& m : kMembers) {
    if (m.name == name) return m;
  }
  return kMembers.front();  // not reached: the names below are the table's
}

// A part of `count` values of T at `at`; `at` moves on past it to the next multiple of 8.
template <typename T>
bool part(std::string_view data, std::size_t& at, std::uint64_t count, std::vector<T>& values) {
  if (at > data.size() || count > (data.size() - at) / sizeof(T)) return false;
  values.resize(static_cast<std::size_t>(count));
  if (count != 0) std::memcpy(values.data(), data.data() + at, values.size() * sizeof(T));
  at = script::alignUp(at + values.size() * sizeof(T), 8);
  return true;
}

// Hands out the ints and doubles of the records in turn.
struct Reader {
  const std::vector<std::int32_t>& ints;
  const std::vector<double>& doubles;
  std::size_t nextInt = 0, nextDouble = 0;

  bool has(std::size_t intCount, std::size_t doubleCount) const {
    return intCount <= ints.size() - nextInt && doubleCount <= doubles.size() - nextDouble;
  }
  std::int32_t integer() { return ints[nextInt++]; }
  double number() { return doubles[nextDouble++]; }
};

}  // namespace

std::optional<script::Script> scriptFromRecords(std::string_view data) {
  std::array<std::uint64_t, 5> counts{};
  if (data.size() < kMagic.size() + sizeof counts || data.substr(0, kMagic.size()) != kMagic) return std::nullopt;
  std::memcpy(counts.data(), data.data() + kMagic.size(), sizeof counts);
  const auto [recordCount, intCount, doubleCount, stringCount, unitCount] = counts;
  std::size_t at = kMagic.size() + sizeof counts;
  std::vector<std::uint8_t> kinds;
  std::vector<std::int32_t> ints;
  std::vector<double> doubles;
  std::vector<std::uint64_t> starts;
  std::vector<char16_t> units;
  if (stringCount >= data.size() || !part(data, at, recordCount, kinds) || !part(data, at, intCount, ints) ||
      !part(data, at, doubleCount, doubles) || !part(data, at, stringCount + 1, starts) ||
      !part(data, at, unitCount, units) || at != data.size()) {
    return std::nullopt;
  }
  if (starts.front() != 0 || starts.back() != unitCount) return std::nullopt;
  for (std::size_t i = 1; i < starts.size(); ++i) {
    if (starts[i] < starts[i - 1]) return std::nullopt;
  }
  const auto string = [&](std::int32_t index, std::u16string_view& text) {
    if (index < 0 || static_cast<std::uint64_t>(index) >= stringCount) return false;
    const auto i = static_cast<std::size_t>(index);
    // Within the units, which are within `data`: each start fits a size_t.
    const auto from = static_cast<std::size_t>(starts[i]), to = static_cast<std::size_t>(starts[i + 1]);
    text = std::u16string_view(units.data() + from, to - from);
    return true;
  };

  const MemberInfo& addLine = member("AddLine");
  const MemberInfo& addCircle = member("AddCircle");
  const MemberInfo& addArc = member("AddCircle2");
  const MemberInfo& addText = member("AddText");
  script::CallList calls;
  std::size_t line = 1;  // the script's first line is a comment
  Reader in{ints, doubles};
  std::array<BoundArgument, kMostParams> a{};
  // `numbers` doubles, `longs` integers, then a string: a line's, a circle's or an arc's.
  const auto take = [&](std::size_t numbers, std::size_t longs) {
    for (std::size_t i = 0; i < numbers; ++i) a[i].number = in.number();
    for (std::size_t i = numbers; i < numbers + longs; ++i) a[i].integer = in.integer();
    return string(in.integer(), a[numbers + longs].text);
  };
  const auto put = [&](const MemberInfo& m) {
    std::size_t textUnits = 0;
    for (std::size_t i = 0; i < m.params.size(); ++i) {
      if (m.params[i].type == VarType::String) textUnits += a[i].text.size();
    }
    calls.add(++line, m, std::span(a).first(m.params.size()), textUnits);
  };
  for (const std::uint8_t kind : kinds) {
    switch (kind) {
      case kLine:
        if (!in.has(3, 4) || !take(4, 2)) return std::nullopt;
        put(addLine);
        break;
      case kCircle:
        if (!in.has(3, 3) || !take(3, 2)) return std::nullopt;
        put(addCircle);
        break;
      case kArc:
        if (!in.has(3, 5) || !take(5, 2)) return std::nullopt;
        put(addArc);
        break;
      case kText:  // x y h angle, then col, the text and the tag
        if (!in.has(3, 4)) return std::nullopt;
        for (std::size_t i = 0; i < 4; ++i) a[i].number = in.number();
        a[4].integer = in.integer();
        if (!string(in.integer(), a[5].text) || !string(in.integer(), a[6].text)) return std::nullopt;
        put(addText);
        break;
      case kChain: {
        if (!in.has(4, 0)) return std::nullopt;
        const std::int32_t col = in.integer(), lType = in.integer();
        std::u16string_view tag;
        if (!string(in.integer(), tag)) return std::nullopt;
        const std::int32_t points = in.integer();
        if (points < 2 || static_cast<std::size_t>(points) > (doubles.size() - in.nextDouble) / 2) return std::nullopt;
        double x = in.number(), y = in.number();
        for (std::int32_t k = 1; k < points; ++k) {
          a[0].number = x, a[1].number = y;
          x = a[2].number = in.number();
          y = a[3].number = in.number();
          a[4].integer = col, a[5].integer = lType, a[6].text = tag;
          put(addLine);
        }
        break;
      }
      default: return std::nullopt;
    }
  }
  if (in.nextInt != ints.size() || in.nextDouble != doubles.size()) return std::nullopt;
  const std::array<BoundArgument, 0> none{};
  calls.add(++line, member("Reflash"), none, 0);
  return script::Script::fromCalls(std::move(calls), line);
}

}  // namespace trazo::cli
