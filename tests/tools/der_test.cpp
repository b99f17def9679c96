#include "tools/stamp/der.hpp"

#include <gtest/gtest.h>

#include "tests/tools/synthetic_signature.hpp"

namespace lumen::stamp {
namespace {

// Every form a length takes, on either side of where it needs one more byte.
TEST(Der, HeadersAreWrittenInTheShortestFormAndReadBack) {
  for (const std::size_t size : {0, 1, 127, 128, 255, 256, 65535, 65536, 16777215, 16777216}) {
    ByteBuffer element;
    der::append_header(element, der::kSequence, size);
    EXPECT_EQ(element.size(), der::header_size(size)) << size;
    element.resize(element.size() + size, 0x04);
    if (size < 16777216) {  // the tests' writer takes three length bytes at most
      EXPECT_EQ(element, test::der_element(der::kSequence, ByteBuffer(size, 0x04))) << size;
    }

    const Result<der::Element> read = der::read_element(element, 0, element.size());
    ASSERT_TRUE(read.ok()) << size << ": " << read.error();
    EXPECT_EQ(read.value().tag, der::kSequence);
    EXPECT_EQ(read.value().content, der::header_size(size)) << size;
    EXPECT_EQ(read.value().end, element.size()) << size;
  }
}

// DER's order for a SET OF: octet strings compared byte by byte, the
// shorter padded at its end with zero bytes.
TEST(Der, SetElementsAreOrderedAsZeroPaddedOctetStrings) {
  struct Case {
    const char* name;
    ByteBuffer a;
    ByteBuffer b;
    bool a_first;
    bool b_first;
  };
  const Case cases[] = {
      {"a smaller byte", {0x30, 0x35}, {0x30, 0x82, 0x06}, true, false},
      {"the same", {0x30, 0x01, 0x05}, {0x30, 0x01, 0x05}, false, false},
      {"a prefix, the rest zeros", {0x30, 0x01}, {0x30, 0x01, 0x00}, false, false},
      {"a prefix, the rest not zeros", {0x30, 0x01}, {0x30, 0x01, 0x00, 0x01}, true, false},
      {"empty", {}, {0x00}, false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(der::precedes_in_set(c.a, c.b), c.a_first) << c.name;
    EXPECT_EQ(der::precedes_in_set(c.b, c.a), c.b_first) << c.name;
  }
}

TEST(Der, RefusesElementsItCannotMeasure) {
  struct Case {
    const char* name;
    ByteBuffer der;
    const char* want;
  };
  const Case cases[] = {
      {"nothing", {}, "an element cut off at byte 0"},
      {"a tag alone", {0x30}, "an element cut off at byte 0"},
      {"a multi-byte tag", {0x3F, 0x81, 0x00}, "a multi-byte tag at byte 0"},
      {"an indefinite length", {0x30, 0x80, 0x00, 0x00}, "an indefinite length (BER, not DER) at byte 0"},
      {"a five-byte length", {0x04, 0x85, 0, 0, 0, 0, 1, 0}, "a length of 5 bytes at byte 0"},
      {"a long length cut off", {0x04, 0x82, 0x01}, "an element cut off at byte 0"},
      {"content cut off", {0x04, 0x03, 0x01, 0x02}, "an element of 3 bytes with only 2 left for it at byte 0"},
  };
  for (const Case& c : cases) {
    const Result<der::Element> read = der::read_element(c.der, 0, c.der.size());
    ASSERT_FALSE(read.ok()) << c.name;
    EXPECT_EQ(read.error(), c.want) << c.name;
  }
}

TEST(Der, NestingMustHoldWholeElementsAtEveryDepth) {
  using test::der_element;
  const auto nested = [](std::size_t depth, ByteBuffer inner) {
    for (std::size_t i = 0; i < depth; ++i) inner = der_element(der::kSequence, inner);
    return inner;
  };
  struct Case {
    const char* name;
    ByteBuffer der;
    const char* error;  // nullptr: good
  };
  const Case cases[] = {
      {"primitive content is not looked into", nested(3, der_element(der::kOctetString, {0x30, 0x7F})), nullptr},
      {"a hundred levels", nested(100, {}), nullptr},
      {"a hundred and one", nested(101, {}), "elements nested more than 100 deep at byte"},
      {"a stray byte deep inside", nested(5, {0x05}), "an element cut off at byte 10"},
      {"a child longer than its parent", nested(2, {0x02, 0x02, 0x01}), "an element of 2 bytes with only 1 left"},
  };
  for (const Case& c : cases) {
    const Result<der::Element> top = der::read_element(c.der, 0, c.der.size());
    ASSERT_TRUE(top.ok()) << c.name << ": " << top.error();
    const Status checked = der::check_nesting(c.der, top.value());
    if (c.error == nullptr) {
      EXPECT_TRUE(checked.ok()) << c.name << ": " << checked.error();
    } else {
      ASSERT_FALSE(checked.ok()) << c.name;
      EXPECT_NE(checked.error().find(c.error), std::string::npos) << c.name << ": " << checked.error();
    }
  }
}

}  // namespace
}  // namespace lumen::stamp
