#include "runtime/convert.hpp"

#include <gtest/gtest.h>

#include <limits>

namespace lumen {
namespace {

TEST(ToText, UsesTheRuntimeTextForms) {
  struct Case { const char* name; Text got; Text want; };
  const ByteBuffer with_zero{'a', 'b', 0, 'c', 'd'};
  const Case cases[] = {
      {"int", to_text(std::int32_t{-42}), "-42"},
      {"int64", to_text(std::int64_t{5000000000}), "5000000000"},
      {"byte", to_text(std::uint8_t{200}), "200"},
      {"single", to_text(45.5f), "45.5"},
      {"single whole", to_text(100.0f), "100"},
      {"single 33.33", to_text(static_cast<float>(33.33)), "33.33"},
      {"double", to_text(0.1), "0.1"},
      {"double 13 digits", to_text(1.0 / 3.0), "0.3333333333333"},
      {"true", to_text(true), "真"},
      {"false", to_text(false), "假"},
      {"buffer up to zero", to_text(with_zero), "ab"},
      {"hex", to_hex_text(255), "FF"},
      {"hex zero", to_hex_text(0), "0"},
      {"hex negative", to_hex_text(-1), "FFFFFFFF"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.want) << c.name;
}

TEST(ToInt, ReadsLeadingDigitsIncludingFullWidthOnes) {
  struct Case { const char* text; std::int32_t want; };
  const Case cases[] = {
      {"  42abc", 42},
      {"3.99", 3},
      {"-3.99", -3},
      {"+7", 7},
      {"", 0},
      {"abc", 0},
      {"00000038", 38},
      {"\xA3\xB4\xA3\xB2", 42},          // full-width 4 2
      {"\xA1\xA1\xA3\xAD\xA3\xB5", -5},  // ideographic space, full-width minus 5
      {"\t\r\n12", 12},
      {"99999999999", std::numeric_limits<std::int32_t>::max()},
      {"-99999999999", std::numeric_limits<std::int32_t>::min()},
  };
  for (const Case& c : cases) EXPECT_EQ(to_int(c.text), c.want) << c.text;
  EXPECT_EQ(to_long("5000000000"), 5000000000);
  EXPECT_EQ(to_int(-3.99), -3);
  EXPECT_EQ(to_int(1e20), std::numeric_limits<std::int32_t>::max());
}

TEST(RoundTo, RoundsHalfAwayFromZero) {
  struct Case { double x; int digits; double want; };
  const Case cases[] = {
      {2.345, 2, 2.35}, {-2.5, 0, -3.0}, {2.5, 0, 3.0}, {2.4, 0, 2.0},
      {100.0 / 3.0, 2, 33.33}, {1250.0, -2, 1300.0}, {0.0, 2, 0.0},
  };
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(round_to(c.x, c.digits), c.want) << c.x << " " << c.digits;
}

}  // namespace
}  // namespace lumen
