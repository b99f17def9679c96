#include "core/oem_marker.hpp"

#include <gtest/gtest.h>

namespace lumen {
namespace {

// A stand-in digest whose 3rd to 11th digits are easy to spot.
Text fixed_digest(std::span<const std::uint8_t>) { return "01234567890abcdef0123456789abcde"; }
Text failing_digest(std::span<const std::uint8_t>) { return {}; }

constexpr const char* kDigestPart = "234567890";

TEST(OemMarker, EncodesEveryIdByteWithBitFourFlipped) {
  struct Case { const char* name; std::string_view id; Text first_part; };
  const Case cases[] = {
      {"stamped digits", "00000038", "2020202020202328"},
      {"replaced stamp", "1", "21"},
      {"byte 0x0F", "\x0F", "1F"},
      {"byte 0x10 keeps its leading zero", "\x10", "00"},
      {"lower-case letter", "a", "71"},
      {"upper-case letter", "A", "51"},
      {"high byte", "\xFF\x80", "EF90"},
      {"empty id", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Text marker = MakeOemMarker(c.id, kOemKey, fixed_digest);
    EXPECT_EQ(marker, c.first_part + kDigestPart);
    EXPECT_EQ(marker.size(), 2 * c.id.size() + 9);
  }
}

TEST(OemMarker, IsOnlyTheFirstPartWithoutADigest) {
  EXPECT_EQ(MakeOemMarker("00000038", kOemKey, failing_digest), "2020202020202328");
  EXPECT_EQ(MakeOemMarker("", kOemKey, failing_digest), "");
}

TEST(OemMarker, DigestsTheKeyNotTheId) {
  static std::string seen;
  const auto recording_digest = [](std::span<const std::uint8_t> bytes) {
    seen.assign(bytes.begin(), bytes.end());
    return fixed_digest(bytes);
  };
  (void)MakeOemMarker("00000038", "abc", recording_digest);
  EXPECT_EQ(seen, "abc");
}

TEST(HexByte, HasTwoUpperCaseDigits) {
  struct Case { std::uint8_t byte; const char* hex; };
  const Case cases[] = {{0x00, "00"}, {0x05, "05"}, {0x0A, "0A"}, {0x10, "10"}, {0xAB, "AB"}, {0xFF, "FF"}};
  for (const Case& c : cases) EXPECT_EQ(HexByte(c.byte), c.hex) << int(c.byte);
  const std::uint8_t bytes[] = {0x00, 0x7F, 0xC3};
  EXPECT_EQ(HexOfBytes(bytes), "007FC3");
  EXPECT_EQ(HexOfBytes({}), "");
}

}  // namespace
}  // namespace lumen
