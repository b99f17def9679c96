#include "tools/stamp/signature.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "tests/tools/strict_der.hpp"
#include "tests/tools/synthetic_signature.hpp"

namespace lumen::stamp {
namespace {

using test::der_element;
using test::id_attribute;
using test::nested_signature_attribute;
using test::SyntheticSignature;

[[nodiscard]] Stamp stamp_of(std::string_view id) { return Stamp::from_agent_id(id).value(); }

// What the stamped signature must be, built whole by the tests' own writer:
// the same signature with `kept` in DER order (all of different sizes here,
// so that plain byte order is DER's) and then the id attribute, with the
// least filler that makes it longer than each of them, so that it sorts
// last, and the whole a multiple of 8 bytes.
[[nodiscard]] ByteBuffer expected_stamped(SyntheticSignature signature, std::vector<ByteBuffer> kept,
                                          std::string_view digits) {
  std::ranges::sort(kept);
  const auto shorter = [](const ByteBuffer& a, const ByteBuffer& b) { return a.size() < b.size(); };
  const std::size_t longest = kept.empty() ? 0 : std::ranges::max(kept, shorter).size();
  for (std::size_t filler = 0;; ++filler) {
    const ByteBuffer id = id_attribute(digits, filler);
    if (id.size() <= longest) continue;
    signature.unauthenticated = kept;
    signature.unauthenticated.push_back(id);
    ByteBuffer whole = signature.build();
    if (whole.size() % 8 == 0) return whole;
  }
}

[[nodiscard]] std::string_view last_eight(const ByteBuffer& bytes) {
  return {reinterpret_cast<const char*>(bytes.data()) + bytes.size() - 8, 8};
}

// Stamps a signature for each size of its signature value in [first, last]
// and compares the result with the expected encoding.
void expect_stamped_as_built(SyntheticSignature signature, const std::vector<ByteBuffer>& kept, std::size_t first,
                             std::size_t last) {
  for (std::size_t value_size = first; value_size <= last; ++value_size) {
    signature.signature_value_size = value_size;
    SCOPED_TRACE("signature value of " + std::to_string(value_size) + " bytes");
    const Result<Signature> read = Signature::read(signature.build());
    ASSERT_TRUE(read.ok()) << read.error();
    const ByteBuffer stamped = read.value().stamped_with(stamp_of("00000038"));
    ASSERT_EQ(stamped, expected_stamped(signature, kept, "00000038"));
    EXPECT_EQ(test::strict_der_fault(stamped), std::nullopt);
    EXPECT_EQ(last_eight(stamped), "00000038");
    const Result<Signature> reread = Signature::read(stamped);
    ASSERT_TRUE(reread.ok()) << reread.error();
    EXPECT_EQ(reread.value().stamp(), stamp_of("00000038"));
  }
}

// Sizes on either side of where the lengths of the signer info, the signer
// infos, the SignedData and the ContentInfo need a second and a third byte,
// with none, other and stale id attributes already there, and others out of
// DER order.
TEST(Signature, StampEndsItWithEveryLengthFixedAndNoPaddingNeeded) {
  const ByteBuffer nested = nested_signature_attribute(40);
  struct Case {
    const char* name;
    std::vector<ByteBuffer> unauthenticated;
    std::vector<ByteBuffer> kept;
  };
  const Case cases[] = {
      {"no unauthenticated attributes", {}, {}},
      {"a nested signature", {nested}, {nested}},
      {"stamped before", {nested, id_attribute("00000077", 5)}, {nested}},
      {"a stale stamp before a nested signature", {id_attribute("00000077", 0), nested}, {nested}},
      {"attributes out of DER order",
       {nested_signature_attribute(300), nested},
       {nested_signature_attribute(300), nested}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    expect_stamped_as_built({.certificate_size = 40, .unauthenticated = c.unauthenticated}, c.kept, 20, 240);
  }
}

// The id attribute sorts after the longest attribute beside it whatever
// its length, where its own length needs a second and a third byte too.
TEST(Signature, TheIdAttributeSortsAfterTheLongestOtherAttribute) {
  for (std::size_t size = 90; size <= 280; ++size) {
    SCOPED_TRACE("an attribute of " + std::to_string(size) + " bytes beside it");
    const ByteBuffer other = nested_signature_attribute(size);
    const SyntheticSignature signature{.unauthenticated = {other}};
    const Result<Signature> read = Signature::read(signature.build());
    ASSERT_TRUE(read.ok()) << read.error();
    const ByteBuffer stamped = read.value().stamped_with(stamp_of("00000038"));
    ASSERT_EQ(stamped, expected_stamped(signature, {other}, "00000038"));
    EXPECT_EQ(test::strict_der_fault(stamped), std::nullopt);
  }
}

// The SignedData, its [0] and the ContentInfo needing a fourth length byte.
TEST(Signature, LengthsGrowingPast64KiBAreFixedToo) {
  expect_stamped_as_built({.certificate_size = 65250}, {}, 40, 80);
}

TEST(Signature, TheStampIsTheIdAttributeEndingTheLastSigner) {
  const ByteBuffer nested = nested_signature_attribute(90);
  struct Case {
    const char* name;
    SyntheticSignature signature;
    std::optional<std::string_view> want;
  };
  const Case cases[] = {
      {"none", {}, std::nullopt},
      {"other attributes only", {.unauthenticated = {nested}}, std::nullopt},
      {"last", {.unauthenticated = {nested, id_attribute("00000038", 3)}}, "00000038"},
      {"the zero id, written by other means", {.unauthenticated = {id_attribute("00000000", 0)}}, "00000000"},
      // Re-encoded by a tool that sorts attributes: not where the installer reads.
      {"before a nested signature", {.unauthenticated = {id_attribute("00000038", 0), nested}}, std::nullopt},
  };
  for (const Case& c : cases) {
    const Result<Signature> read = Signature::read(c.signature.build());
    ASSERT_TRUE(read.ok()) << c.name << ": " << read.error();
    const std::optional<Stamp>& stamp = read.value().stamp();
    EXPECT_EQ(stamp ? std::optional(stamp->digits()) : std::nullopt, c.want) << c.name;
  }
}

TEST(Signature, TheLastOfSeveralSignersCarriesTheStamp) {
  const SyntheticSignature signature{.signer_count = 3, .unauthenticated = {nested_signature_attribute(30)}};
  const Result<Signature> read = Signature::read(signature.build());
  ASSERT_TRUE(read.ok()) << read.error();
  EXPECT_EQ(read.value().stamped_with(stamp_of("00000038")),
            expected_stamped(signature, signature.unauthenticated, "00000038"));
}

// Encodings a stamp could not be put into with any certainty that the
// signature stays whole.
TEST(Signature, RefusesWhatIsNotAnIntactSignedData) {
  const ByteBuffer good = SyntheticSignature{}.build();
  // The first occurrence of a byte string, for damage at a known element.
  const auto at = [&](ByteBuffer& der, const ByteBuffer& needle) {
    return std::search(der.begin(), der.end(), needle.begin(), needle.end());
  };
  struct Case {
    const char* name;
    SyntheticSignature signature;
    std::function<void(ByteBuffer&)> damage;
    const char* want;
  };
  const auto none = [](ByteBuffer&) {};
  const Case cases[] = {
      {"empty", {}, [](ByteBuffer& d) { d.clear(); }, "the signature does not parse: an element cut off at byte 0"},
      {"cut short", {}, [](ByteBuffer& d) { d.pop_back(); }, "the signature does not parse: an element of"},
      {"a byte after it", {}, [](ByteBuffer& d) { d.push_back(0); }, "does not parse: 1 bytes follow its encoding"},
      {"a length inside grown by one", {},
       [&](ByteBuffer& d) { ++at(d, {0x04, 0x82, 0x02, 0x58, 0xCE})[3]; },  // the made-up certificate
       "the signature does not parse: an element of 601 bytes with only 600 left for it"},
      {"an indefinite length", {}, [](ByteBuffer& d) { d[1] = 0x80; }, "an indefinite length (BER, not DER) at byte 0"},
      {"not a SEQUENCE", {}, [](ByteBuffer& d) { d[0] = 0x31; }, "not an Authenticode PKCS#7 SignedData: it is not a"},
      {"enveloped data", {}, [](ByteBuffer& d) { d[14] = 0x03; }, "its content type is not signedData"},
      {"no signer info", {.signer_count = 0}, none, "it has no signer info"},
      {"no signature value", {}, [&](ByteBuffer& d) { *at(d, {0x04, 0x82, 0x01, 0x00, 0x5A}) = 0x03; },
       "its last signer info does not end in a signature value and unauthenticated attributes"},
      {"an attribute without values", {.unauthenticated = {der_element(0x30, der_element(0x06, {0x2A}))}}, none,
       "an unauthenticated attribute is not a type and a SET of values"},
      {"an id of letters", {.unauthenticated = {id_attribute("0000003x", 0)}}, none,
       "the signature's agent id attribute is not as this tool writes it: its value does not end in 8 digits"},
      {"an id too short", {.unauthenticated = {id_attribute("0038", 0)}}, none, "its value has fewer than 8 bytes"},
      {"filler that is not zeros", {.unauthenticated = {id_attribute("00000038", 2)}},
       [](ByteBuffer& d) { d[d.size() - 9] = '+'; }, "its value has other than zero bytes before the id"},
  };
  ASSERT_EQ(good[14], 0x02) << "the last byte of the content type";
  for (const Case& c : cases) {
    ByteBuffer der = c.signature.build();
    c.damage(der);
    const Result<Signature> read = Signature::read(der);
    ASSERT_FALSE(read.ok()) << c.name;
    EXPECT_NE(read.error().find(c.want), std::string::npos) << c.name << ": " << read.error();
  }
}

}  // namespace
}  // namespace lumen::stamp
