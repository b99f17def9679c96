#include "runtime/file.hpp"

#include <gtest/gtest.h>

namespace lumen {
namespace {

Text whole(File& file) {
  EXPECT_TRUE(seek_to_start(file));
  return read_text(file);
}

TEST(MemoryFile, TextIsWrittenAndInsertedAtThePosition) {
  FileNumber file = open_memory_file();
  ASSERT_TRUE(write_text(*file, "hello ", std::int32_t{42}, true));
  EXPECT_EQ(whole(*file), "hello 42真");

  ASSERT_TRUE(file->seek(5));
  ASSERT_TRUE(insert_text(*file, ","));
  EXPECT_EQ(file->position(), 6);
  EXPECT_EQ(whole(*file), "hello, 42真");
}

TEST(MemoryFile, InsertMovesTailsLongerThanOneBlock) {
  FileNumber file = open_memory_file();
  Text tail;
  for (int i = 0; i < 10000; ++i) tail += static_cast<char>('a' + i % 26);
  ASSERT_TRUE(write_text(*file, tail));
  ASSERT_TRUE(seek_to_start(*file));
  ASSERT_TRUE(insert_text(*file, "XYZ"));
  EXPECT_EQ(whole(*file), "XYZ" + tail);
}

TEST(MemoryFile, ReadTextStopsAtZeroOrCtrlZAndLeavesThePositionThere) {
  FileNumber file = open_memory_file();
  const ByteBuffer bytes{'a', 'b', 0x1A, 'c', 0, 'd'};
  ASSERT_TRUE(write_data(*file, bytes));
  ASSERT_TRUE(seek_to_start(*file));
  EXPECT_EQ(read_text(*file), "ab");
  EXPECT_EQ(file->position(), 2);
  ASSERT_TRUE(file->seek(3));
  EXPECT_EQ(read_text(*file, 1), "c");
  EXPECT_EQ(file->position(), 4);
  ASSERT_TRUE(seek_to_end(*file));
  EXPECT_EQ(read_text(*file), "");
}

TEST(MemoryFile, ClosingForgetsTheFile) {
  FileNumber file = open_memory_file();
  close_file(file);
  EXPECT_EQ(file, nullptr);
}

}  // namespace
}  // namespace lumen
