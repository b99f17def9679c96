#include "core/stamp.hpp"

#include <gtest/gtest.h>

namespace lumen {
namespace {

TEST(Stamp, IsTheLastEightBytesCutAtAZero) {
  struct Case { const char* name; ByteBuffer content; Text want; };
  const Case cases[] = {
      {"digits", {'M', 'Z', 0, 0, '0', '0', '0', '0', '0', '0', '3', '8'}, "00000038"},
      {"zero among the last eight", {'x', 'x', 'x', 'x', 'a', 'b', '3', '8', 0, '1'}, "xxab38"},
      {"shorter than eight", {'1', '2', '3'}, "123"},
      {"empty file", {}, ""},
      {"letters", {'M', 'Z', 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h'}, "abcdefgh"},
  };
  for (const Case& c : cases) EXPECT_EQ(StampFromFileContent(c.content), c.want) << c.name;
}

TEST(ProgramState, StartsWithOneEmptyEntryInEveryList) {
  const ProgramState state;
  EXPECT_EQ(state.StampedIdText, "");
  EXPECT_FALSE(state.downloadCancelled.StopRequested());
  ASSERT_EQ(state.AppInfo.down_model.size(), 1u);
  ASSERT_EQ(state.AppInfo.down_model[0].value.size(), 1u);
  EXPECT_EQ(state.AppInfo.down_model[0].value[0].is_now, 0);
  EXPECT_EQ(state.AppInfo.down_model[0].value[0].version, "");
  EXPECT_EQ(state.AppInfo.agent_app.agent_model.size(), 1u);
  EXPECT_EQ(state.AppInfo.file_model.size(), 1u);
}

}  // namespace
}  // namespace lumen
