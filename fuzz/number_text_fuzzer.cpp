// Text read as a number by coercion (a String argument passed to a Double or Long
// parameter, and a script's strings for number parameters). Two kinds of input:
//  - a number put together from the input's choices of the grammar's parts (white space,
//    leading and trailing signs, a currency sign, parentheses, digits with separators, a
//    point, an exponent): it must read as strtod reads its plain digits, negated by a sign
//    or the parentheses, bit for bit, or overflow where strtod does;
//  - any text of the grammar's characters: white space around it changes nothing; where it
//    has the plain form [sign] digits [. digits] [e [sign] digits], it reads as strtod does;
//    and a Long parameter takes what a Double one takes, rounded; and while an allocation
//    fails (tests/hardening's allocator), it reads alike or gives up with std::bad_alloc.
#include "automation/variant.hpp"
#include "tests/hardening/failing_allocator.hpp"

#include <fuzzer/FuzzedDataProvider.h>

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

namespace {

using trazo::Status;

[[noreturn]] void violated(const char* what, const std::u16string& text) {
  std::fprintf(stderr, "invariant violated: %s for \"", what);
  for (const char16_t c : text) std::fprintf(stderr, c < 0x80 ? "%c" : "\\u%04x", static_cast<unsigned>(c));
  std::fprintf(stderr, "\"\n");
  std::abort();
}

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// What strtod makes of plain digits: ok with its value, or dispOverflow.
Status strtodOf(const std::string& plain, double& value) {
  errno = 0;
  value = std::strtod(plain.c_str(), nullptr);
  return errno == ERANGE && std::isinf(value) ? trazo::status::dispOverflow : trazo::status::ok;
}

void checkComposed(FuzzedDataProvider& in) {
  static constexpr const char* kWhite[] = {" ", "\t", "\u00A0", "\u3000", "\n"};
  std::string text, plain;
  const auto white = [&] {
    if (in.ConsumeBool()) text += kWhite[in.ConsumeIntegralInRange(0, 4)];
  };
  bool minus = false, plus = false, currency = false, paren = false;
  for (int i = in.ConsumeIntegralInRange(0, 4); i > 0; --i) {
    white();
    switch (in.ConsumeIntegralInRange(0, 3)) {
      case 0:
        if (!minus) text += '-', minus = true;
        break;
      case 1:
        if (!plus) text += '+', plus = true;
        break;
      case 2:
        if (!currency) text += '$', currency = true;
        break;
      default:
        if (!paren) text += '(', paren = true;
        break;
    }
  }
  white();
  const auto digits = [&](int most) {
    for (int i = in.ConsumeIntegralInRange(1, most); i > 0; --i) {
      const char d = static_cast<char>('0' + in.ConsumeIntegralInRange(0, 9));
      text += d, plain += d;
      if (in.ConsumeIntegralInRange(0, 5) == 0) text += ',';  // separators count for nothing
    }
  };
  digits(25);
  if (in.ConsumeBool()) {
    text += '.', plain += '.';
    if (in.ConsumeBool()) digits(25);
  }
  if (!currency && in.ConsumeBool()) {
    text += in.ConsumeBool() ? 'e' : 'E';
    plain += 'e';
    const int sign = in.ConsumeIntegralInRange(0, 2);
    if (sign > 0) text += sign == 1 ? '+' : '-';
    if (sign == 2) plain += '-';
    for (int i = in.ConsumeIntegralInRange(1, 4); i > 0; --i) {
      const char d = static_cast<char>('0' + in.ConsumeIntegralInRange(0, 9));
      text += d, plain += d;
    }
  }
  bool negative = minus || paren;
  for (int i = in.ConsumeIntegralInRange(0, 3); i > 0; --i) {
    white();
    switch (in.ConsumeIntegralInRange(0, 2)) {
      case 0:
        if (!minus) text += '-', negative = true;
        break;
      case 1: text += '+'; break;
      default:
        if (!currency) text += '$', currency = true;
        break;
    }
  }
  if (paren) text += ')';
  white();

  // The text was put together in UTF-8; the argument is UTF-16.
  std::u16string units;
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) units += lead, ++i;
    else if (lead < 0xE0) units += static_cast<char16_t>(((lead & 0x1F) << 6) | (text[i + 1] & 0x3F)), i += 2;
    else
      units += static_cast<char16_t>(((lead & 0x0F) << 12) | ((text[i + 1] & 0x3F) << 6) | (text[i + 2] & 0x3F)),
          i += 3;
  }
  double expected = 0, value = 0;
  const Status expectedStatus = strtodOf(plain, expected);
  if (negative) expected = -expected;
  const Status s = trazo::doubleFromText(units, value);
  if (s != expectedStatus) violated("a number of the grammar was read with another status", units);
  if (s == trazo::status::ok && !sameBits(value, expected))
    violated("a number of the grammar was read as another value", units);
}

// [sign] digits [. digits] [e [sign] digits], and nothing else.
bool plainForm(const std::u16string& s) {
  std::size_t i = 0, digits = 0;
  const auto digit = [&] { return i < s.size() && s[i] >= u'0' && s[i] <= u'9'; };
  if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) ++i;
  while (digit()) ++i, ++digits;
  if (i < s.size() && s[i] == u'.') {
    ++i;
    while (digit()) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < s.size() && (s[i] == u'e' || s[i] == u'E')) {
    ++i;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) ++i;
    if (!digit()) return false;
    while (digit()) ++i;
  }
  return i == s.size();
}

void checkFree(FuzzedDataProvider& in) {
  static constexpr char16_t kAlphabet[] = u"0123456789012345678900000.,eE+-$()&HhOoAf \t\u00A0\u3000x";
  std::u16string text;
  for (std::size_t n = in.ConsumeIntegralInRange<std::size_t>(0, 80); n > 0 && in.remaining_bytes() > 0; --n) {
    text += kAlphabet[in.ConsumeIntegralInRange<std::size_t>(0, std::size(kAlphabet) - 2)];
  }
  double value = 0, wrapped = 0;
  const Status s = trazo::doubleFromText(text, value);
  if (trazo::doubleFromText(u" \t" + text + u"\u3000", wrapped) != s ||
      (s == trazo::status::ok && !sameBits(value, wrapped))) {
    violated("white space around a text changed what it reads as", text);
  }
  if (plainForm(text)) {
    double expected = 0;
    const Status expectedStatus = strtodOf(std::string(text.begin(), text.end()), expected);
    if (s != expectedStatus || (s == trazo::status::ok && !sameBits(value, expected))) {
      violated("a plain number was not read as strtod reads it", text);
    }
  }
  double hindered = 0;
  Status underFailure = s;
  bool gaveUp = false;
  {
    trazo::testing::FailingAllocationScope failing(1 + text.size() % 3, trazo::testing::FailureMode::Once);
    try {
      underFailure = trazo::doubleFromText(text, hindered);
    } catch (const std::bad_alloc&) {
      gaveUp = true;
    }
  }
  if (!gaveUp && (underFailure != s || (s == trazo::status::ok && !sameBits(value, hindered)))) {
    violated("a failing allocation changed what a text reads as", text);
  }
  std::int32_t integer = 0, rounded = 0;
  const Status asLong = trazo::longFromText(text, integer);
  if (s == trazo::status::ok && text.find(u'&') == std::u16string::npos &&
      (asLong != trazo::roundToLong(value, rounded) || (asLong == trazo::status::ok && integer != rounded))) {
    violated("a Long does not take the Double's number, rounded", text);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  if (in.ConsumeBool()) {
    checkComposed(in);
  } else {
    checkFree(in);
  }
  return 0;
}
