#include "runtime/byte_buffer.hpp"

#include <gtest/gtest.h>

#include "runtime/array.hpp"

namespace lumen {
namespace {

TEST(ByteBuffer, SlicesClampToTheBuffer) {
  const ByteBuffer b{1, 2, 3, 4};
  EXPECT_EQ(buffer_left(b, 2), (ByteBuffer{1, 2}));
  EXPECT_EQ(buffer_left(b, 9), b);
  EXPECT_EQ(buffer_right(b, 3), (ByteBuffer{2, 3, 4}));
  EXPECT_EQ(buffer_right(b, -1), ByteBuffer{});
  EXPECT_EQ(buffer_mid(b, 2, 2), (ByteBuffer{2, 3}));
  EXPECT_EQ(buffer_mid(b, 0, 1), (ByteBuffer{1}));
  EXPECT_EQ(buffer_mid(b, 9, 1), ByteBuffer{});
  EXPECT_EQ(zeroed_buffer(3), (ByteBuffer{0, 0, 0}));
  EXPECT_EQ(zeroed_buffer(-1), ByteBuffer{});
  EXPECT_EQ(to_buffer("ab"), (ByteBuffer{'a', 'b'}));
  EXPECT_EQ(to_buffer(std::int32_t{0x01020304}), (ByteBuffer{4, 3, 2, 1}));
}

// On Windows the report is a message box; a probe program covers it there.
#if !defined(_WIN32)
TEST(ArrayDeathTest, IndexOutsideTheElementsIsAFatalRuntimeError) {
  Array<int> a(std::vector<int>{7});
  EXPECT_EQ(a[1], 7);
  EXPECT_EXIT((void)a[0], testing::ExitedWithCode(255), "");
  EXPECT_EXIT((void)a[2], testing::ExitedWithCode(255), "");
}
#endif

}  // namespace
}  // namespace lumen
