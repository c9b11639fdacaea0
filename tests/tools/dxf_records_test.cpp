// The DXF converter's records made into a script: each record the statement it stands
// for, on its line of the call script, and anything malformed refused rather than read
// past its end.
#include "tools/trazo/dxf_records.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace trazo::cli {
namespace {

// Records as trazo/_records.py writes them.
struct Records {
  std::vector<std::uint8_t> kinds;
  std::vector<std::int32_t> ints;
  std::vector<double> doubles;
  std::vector<std::u16string> strings;

  template <typename T>
  static void put(std::string& out, const T* values, std::size_t count) {
    out.append(reinterpret_cast<const char*>(values), count * sizeof(T));
    out.append((8 - out.size() % 8) % 8, '\0');
  }
  std::string bytes() const {
    std::vector<std::uint64_t> starts = {0};
    std::u16string units;
    for (const auto& s : strings) starts.push_back((units += s).size());
    const std::uint64_t counts[] = {kinds.size(), ints.size(), doubles.size(), strings.size(), units.size()};
    std::string out = "TRZADDS1";
    put(out, counts, 5);
    put(out, kinds.data(), kinds.size());
    put(out, ints.data(), ints.size());
    put(out, doubles.data(), doubles.size());
    put(out, starts.data(), starts.size());
    put(out, units.data(), units.size());
    return out;
  }
};

Records sample() {
  Records r;
  r.strings = {u"1F:WALLS", u"R\u00e9 1"};
  r.kinds = {0, 4, 3, 1, 2};  // a line, a chain of three points, a text, a circle, an arc
  r.ints = {1, 2, 0, /*chain*/ 3, 0, 0, 3, /*text*/ 2, 1, 0, /*circle*/ 4, 1, 0, /*arc*/ 5, 3, 0};
  r.doubles = {0,         0, 10, 5,   /*chain*/ 1, 1, 2, 2, 3, 1, /*text*/ 4, 5, 2.5, 30, /*circle*/ 6, 7, 8,
               /*arc*/ 0, 0, 1,  0.5, 1.5};
  return r;
}

std::string described(script::Script& s) {
  std::string out;
  s.walk([&](const script::BoundCall& call) {
    out += std::to_string(call.line) + " " + std::string(call.member->name);
    for (std::size_t i = 0; i < call.arguments.size(); ++i) {
      const BoundArgument& a = call.arguments[i];
      switch (call.member->params[i].type) {
        case VarType::Double: out += " " + std::to_string(a.number).substr(0, 4); break;
        case VarType::Long: out += " " + std::to_string(a.integer); break;
        default: out += " '" + std::string(a.text.begin(), a.text.end()) + "'"; break;  // ASCII alone
      }
    }
    out += "\n";
  });
  return out;
}

TEST(DxfRecords, EachRecordIsItsStatementOnItsLine) {
  Records r = sample();
  r.strings[1] = u"Re 1";
  std::optional<script::Script> s = scriptFromRecords(r.bytes());
  ASSERT_TRUE(s);
  EXPECT_EQ(s->lineCount(), 8u);  // a comment, six adds, Reflash
  EXPECT_EQ(described(*s),
            "2 AddLine 0.00 0.00 10.0 5.00 1 2 '1F:WALLS'\n"
            "3 AddLine 1.00 1.00 2.00 2.00 3 0 '1F:WALLS'\n"
            "4 AddLine 2.00 2.00 3.00 1.00 3 0 '1F:WALLS'\n"
            "5 AddText 4.00 5.00 2.50 30.0 2 'Re 1' '1F:WALLS'\n"
            "6 AddCircle 6.00 7.00 8.00 4 1 '1F:WALLS'\n"
            "7 AddCircle2 0.00 0.00 1.00 0.50 1.50 5 3 '1F:WALLS'\n"
            "8 Reflash\n");
}

TEST(DxfRecords, RefusesWhatIsMalformed) {
  const std::string whole = sample().bytes();
  ASSERT_TRUE(scriptFromRecords(whole));
  for (std::size_t cut = 0; cut < whole.size(); ++cut) {
    EXPECT_FALSE(scriptFromRecords(whole.substr(0, cut))) << "cut at " << cut;
  }
  EXPECT_FALSE(scriptFromRecords(whole + std::string(8, '\0')));
  std::string other = whole;
  other[0] = 'X';
  EXPECT_FALSE(scriptFromRecords(other));

  const auto spoilt = [](auto change) {
    Records r = sample();
    change(r);
    return scriptFromRecords(r.bytes()).has_value();
  };
  EXPECT_FALSE(spoilt([](Records& r) { r.ints[2] = 2; }));  // a tag past the strings
  EXPECT_FALSE(spoilt([](Records& r) { r.ints[2] = -1; }));
  EXPECT_FALSE(spoilt([](Records& r) { r.ints[6] = 1; }));           // a chain of one point
  EXPECT_FALSE(spoilt([](Records& r) { r.ints[6] = 1 << 30; }));     // more points than numbers
  EXPECT_FALSE(spoilt([](Records& r) { r.kinds.push_back(0); }));    // a record without numbers
  EXPECT_FALSE(spoilt([](Records& r) { r.kinds.back() = 9; }));      // no such kind
  EXPECT_FALSE(spoilt([](Records& r) { r.doubles.push_back(0); }));  // numbers left over
}

}  // namespace
}  // namespace trazo::cli
