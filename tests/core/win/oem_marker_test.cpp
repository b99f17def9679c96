#include "core/oem_marker.hpp"

#include <gtest/gtest.h>

#include "core/win/hash_bytes.hpp"
#include "runtime/byte_buffer.hpp"

namespace lumen {
namespace {

// Test vectors of the MD5 definition.
TEST(DigestHex, IsTheStandardMd5) {
  struct Case { const char* input; const char* digest; };
  const Case cases[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57edf4a22be3c955ac49da2e2107b67a"},
  };
  for (const Case& c : cases) EXPECT_EQ(DigestHex(to_buffer(c.input)), c.digest) << c.input;
}

TEST(HashBytes, IsUpperCaseAndEmptyForAnUnknownAlgorithm) {
  EXPECT_EQ(HashBytes(to_buffer("abc"), CALG_MD5, 16), "900150983CD24FB0D6963F7D28E17F72");
  EXPECT_EQ(HashBytes(to_buffer("abc"), 0x7FFF, 16), "");
}

TEST(OemMarker, HoldsTheStampAndTheBuiltInKeysDigest) {
  // md5("vex") = 89e3150706fadb5be2ac7ecd81fdaa16: its 3rd to 11th digits.
  // The installed application reads this text, so it is pinned literally.
  EXPECT_EQ(MakeOemMarker("00000038", kOemKey, DigestHex), "2020202020202328E3150706F");
  EXPECT_EQ(MakeOemMarker("1", kOemKey, DigestHex), "21E3150706F");
}

}  // namespace
}  // namespace lumen
