#include "tests/tools/strict_der.hpp"

#include <gtest/gtest.h>

#include "tests/tools/synthetic_pe.hpp"
#include "tests/tools/synthetic_signature.hpp"

namespace lumen::test {
namespace {

// The check the signing tests lean on finds what it must, and no more.
TEST(StrictDer, FindsWhatALenientParserLetsThrough) {
  const ByteBuffer nested_type = {0x2B, 0x06, 0x01, 0x04, 0x01, 0x82, 0x37, 0x02, 0x04, 0x01};
  // An id attribute written after a longer attribute, as time-stamped
  // signatures were stamped: a SET OF out of order behind a [1] tag.
  const SyntheticSignature id_after_time_stamp{
      .unauthenticated = {nested_signature_attribute(200), id_attribute("00000038", 0)}};
  const ByteBuffer two = der_element(0x02, {2});
  const ByteBuffer one = der_element(0x02, {1});
  struct Case {
    const char* name;
    ByteBuffer der;
    std::optional<std::string> fault;
  };
  const Case cases[] = {
      {"a signature as signing tools write it",
       SyntheticSignature{.unauthenticated = {nested_signature_attribute(200)}}.build(), std::nullopt},
      {"the id attribute sorted last",
       SyntheticSignature{.unauthenticated = {nested_signature_attribute(20), id_attribute("00000038", 0)}}.build(),
       std::nullopt},
      {"the id attribute before a longer one", id_after_time_stamp.build(),
       "a SET OF element out of DER order at byte"},
      {"the same inside a nested signature",
       SyntheticSignature{.unauthenticated = {attribute(nested_type, id_after_time_stamp.build())}}.build(),
       "a SET OF element out of DER order at byte"},
      {"a SET out of order", der_element(0x31, joined({two, one})), "a SET OF element out of DER order at byte 5"},
      {"a [1] that is no SET OF", der_element(0x30, der_element(0xA1, joined({two, one}))), std::nullopt},
      {"a long-form length for a short one", {0x30, 0x81, 0x03, 0x02, 0x01, 0x05},
       "a long-form length for a short one"},
      {"a constructed OCTET STRING", der_element(0x24, der_element(0x04, {1})), "a constructed encoding of a type"},
      {"an INTEGER with a leading zero", der_element(0x02, {0x00, 0x05}), "an INTEGER longer than it needs at byte 0"},
      {"a byte after the encoding", concat(two, "x"), "bytes after the encoding at byte 3"},
  };
  for (const Case& c : cases) {
    const std::optional<std::string> fault = strict_der_fault(c.der);
    if (!c.fault) {
      EXPECT_EQ(fault, std::nullopt) << c.name;
    } else {
      ASSERT_TRUE(fault) << c.name;
      EXPECT_TRUE(fault->starts_with(*c.fault)) << c.name << ": " << *fault;
    }
  }
}

}  // namespace
}  // namespace lumen::test
