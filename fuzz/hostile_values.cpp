#include "fuzz/hostile_values.hpp"

#include "automation/member_table.hpp"
#include "tests/support/value_object.hpp"

#include <array>
#include <bit>
#include <cfloat>
#include <limits>
#include <string_view>

namespace trazo::fuzz {
namespace {

template <typename T, std::size_t N>
const T& pick(FuzzedDataProvider& in, const std::array<T, N>& table) {
  return table[in.ConsumeIntegralInRange<std::size_t>(0, N - 1)];
}

// clang-format off
constexpr std::array<double, 44> kDoubles{{
    0.0, -0.0, 1, -1, 0.5, -0.5, 1.5, 2.5, -2.5, 3.5, 10, 90, 180, -90, 270, 360,
    0.00001, 0.0000099999, 1e15, 1e16, 1e300, -1e300, DBL_MAX, -DBL_MAX, DBL_MIN, -DBL_MIN,
    std::numeric_limits<double>::denorm_min(), -std::numeric_limits<double>::denorm_min(),
    std::bit_cast<double>(0x000FFFFFFFFFFFFFull),   // largest denormal
    std::numeric_limits<double>::quiet_NaN(), -std::numeric_limits<double>::quiet_NaN(),
    std::bit_cast<double>(0x7FF0000000000001ull),   // signalling NaN
    std::bit_cast<double>(0x7FF8000000000123ull),   // NaN with a payload
    std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
    2147483647, 2147483647.5, 2147483648.0, -2147483648.0, -2147483648.5, -2147483649.0,
    FLT_MAX, 2.0 * FLT_MAX, 1e-46,
}};

constexpr std::array<float, 14> kSingles{{
    0.0f, -0.0f, 1, -1, 0.5f, 15, 1e30f, -1e30f, FLT_MAX, FLT_MIN,
    std::numeric_limits<float>::denorm_min(), std::numeric_limits<float>::quiet_NaN(),
    std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
}};

constexpr std::array<std::int32_t, 12> kLongs{{
    0, 1, -1, 2, 3, 4, 5, 6, 7, 16, INT32_MIN, INT32_MAX,
}};

constexpr std::array<std::u16string_view, 46> kStrings{{
    u"", u"ABC", std::u16string_view(u"\0", 1), std::u16string_view(u"A\0B", 3), u"\xD800", u"\xDC00",
    u"A\xD800", u"\xDBFF\xDFFF", u"\x3042\x3044\x3046", u"\xFF71", u"\xFEFF", u"\xFFFF", u"\x00E9",
    u"1", u"-2.5", u" 7 ", u"\t3\t", u"1e309", u"-1e309", u"1e-400", u"2147483647.5", u"2147483648",
    u"-2147483648.5", u"-2147483649", u"NaN", u"Infinity", u"&H10", u"1,5", u"1.5.5", u"+", u"-", u".",
    u"e5", u"1e", u"\x0661", u"0x10", u"4.94065645841246544e-324", u"1.7976931348623157e308",
    u"00000000000000000000000000000000000000001", u"-0", u"(5)", u"$1,000.50", u"&HFFFFFFFF", u"&O777", u"5-",
    u"\u3000" u"1e5$",
}};
// clang-format on

// Lengths around the limits of ordinary buffers and of 16-bit counts.
// A million units and more is left to tests/hardening: copied into four sides of a box it is
// megabytes of fresh memory, which would cost more than all the calls of an input.
constexpr std::array<std::size_t, 5> kGreatLengths{{4096, 65535, 65536, 65537, 100000}};

}  // namespace

double hostileDouble(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0: return pick(in, kDoubles);
    case 1: return std::bit_cast<double>(in.ConsumeIntegral<std::uint64_t>());
    case 2: return static_cast<double>(in.ConsumeIntegralInRange(-1000, 1000));
    default: return in.ConsumeFloatingPoint<double>();
  }
}

float hostileSingle(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange(0, 2)) {
    case 0: return pick(in, kSingles);
    case 1: return std::bit_cast<float>(in.ConsumeIntegral<std::uint32_t>());
    default: return static_cast<float>(in.ConsumeIntegralInRange(-1000, 1000));
  }
}

std::int32_t hostileLong(FuzzedDataProvider& in) {
  return in.ConsumeBool() ? pick(in, kLongs) : in.ConsumeIntegral<std::int32_t>();
}

std::u16string hostileString(FuzzedDataProvider& in) {
  // Great lengths are costly to copy, so they come rarely (one string in 64); the fuzzer
  // still finds them.
  const int kind = in.ConsumeIntegralInRange(0, 63);
  switch (kind == 63 ? 15 : kind % 15) {
    case 0: return std::u16string(pick(in, kStrings));
    case 1: {
      // code units straight from the input, two bytes each
      const std::string bytes = in.ConsumeRandomLengthString(64);
      std::u16string units;
      for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        units +=
            static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8);
      }
      return units;
    }
    case 15: {
      // Copied out of one filled buffer: a character-by-character fill would be traced by
      // the fuzzer's instrumentation and cost more than the call under test.
      static const std::u16string filler(kGreatLengths.back(), u'W');
      const std::size_t length = pick(in, kGreatLengths);
      std::u16string great(filler.data(), length);
      great.front() = great.back() = static_cast<char16_t>(in.ConsumeIntegral<std::uint16_t>());
      return great;
    }
    case 2:
    case 3: {
      // a number in text, digits and signs in any order
      const std::string bytes = in.ConsumeRandomLengthString(24);
      std::u16string text;
      for (const char c : bytes) text += u"0123456789.eE+- "[static_cast<unsigned char>(c) % 16];
      return text;
    }
    case 4: return std::u16string(pick(in, kStrings)) + std::u16string(pick(in, kStrings));
    default: return std::u16string(pick(in, kStrings));
  }
}

// Objects worth a number, a text, Null or a date, one without a value, Nothing, and one
// whose value is an object.
const AutomationObject* hostileObject(FuzzedDataProvider& in) {
  using testing::ValueObject;
  static const ValueObject objects[] = {
      ValueObject(2.5),       ValueObject(std::u16string(u"&HFFFF")),
      ValueObject(Null{}),    ValueObject(Variant{}, status::memberNotFound),
      ValueObject(Date{1e7}),
  };
  static const ValueObject ofObject{&objects[0]};
  const int which = in.ConsumeIntegralInRange(0, 6);
  return which == 5 ? nullptr : which == 6 ? &ofObject : &objects[which];
}

Variant hostileVariant(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange(0, 10)) {
    case 0: return std::monostate{};
    case 1: return in.ConsumeBool();
    case 2: return in.ConsumeIntegral<std::int16_t>();
    case 3: return hostileLong(in);
    case 4: return hostileSingle(in);
    case 5: return hostileDouble(in);
    case 6: return Null{};
    case 7: return Date{hostileDouble(in)};
    case 8: return Array{};
    case 9: return hostileObject(in);
    default: return hostileString(in);
  }
}

std::int32_t hostileDispId(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0: return kMembers[in.ConsumeIntegralInRange<std::size_t>(0, kMembers.size() - 1)].dispId;
    case 1: {
      const std::int32_t id = kMembers[in.ConsumeIntegralInRange<std::size_t>(0, kMembers.size() - 1)].dispId;
      return id + in.ConsumeIntegralInRange(-2, 2);
    }
    case 2: {
      // DISPID_VALUE, DISPID_UNKNOWN, DISPID_PROPERTYPUT, the event's id, the extremes
      static constexpr std::array<std::int32_t, 6> reserved{{0, -1, -3, dispid::MouseMove, INT32_MIN, INT32_MAX}};
      return pick(in, reserved);
    }
    default: return in.ConsumeIntegral<std::int32_t>();
  }
}

std::int32_t hostileParamIndex(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange(0, 2)) {
    case 0: return in.ConsumeIntegralInRange(0, 7);
    case 1: return in.ConsumeIntegralInRange(-2, 9);
    default: return in.ConsumeIntegral<std::int32_t>();
  }
}

std::string hostileName(FuzzedDataProvider& in) {
  std::string name;
  switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0: name = kMembers[in.ConsumeIntegralInRange<std::size_t>(0, kMembers.size() - 1)].name; break;
    case 1: name = params::arc[in.ConsumeIntegralInRange<std::size_t>(0, params::arc.size() - 1)].name; break;
    case 2: name = params::text[in.ConsumeIntegralInRange<std::size_t>(0, params::text.size() - 1)].name; break;
    default: return in.ConsumeRandomLengthString(40);
  }
  // flip the case of some letters, and now and then cut, extend or poison the name
  for (char& c : name) {
    if (in.ConsumeBool()) c = static_cast<char>(c ^ 0x20);
  }
  switch (in.ConsumeIntegralInRange(0, 5)) {
    case 0: name.push_back('\0'); break;
    case 1: name.insert(0, 1, '\0'); break;
    case 2:
      if (!name.empty()) name.pop_back();
      break;
    case 3: name += ' '; break;
    default: break;
  }
  return name;
}

}  // namespace trazo::fuzz
