#include "http/download_response.hpp"

#include <gtest/gtest.h>

namespace lumen {
namespace {

TEST(ParseContentRange, ReadsFirstLastAndCompleteLength) {
  struct Case { const char* value; std::optional<ContentRange> range; };
  const Case cases[] = {
      {"bytes 1000-2999/3000", ContentRange{1000, 2999, 3000}},
      {" bytes 0-0/1 ", ContentRange{0, 0, 1}},
      {"bytes 5-9/*", ContentRange{5, 9, std::nullopt}},
      {"bytes 4294967296-4294967297/4294967298", ContentRange{4294967296, 4294967297, 4294967298}},
      {"bytes */3000", std::nullopt},
      {"bytes 9-5/10", std::nullopt},
      {"bytes 0-10/10", std::nullopt},
      {"bytes -1-5/10", std::nullopt},
      {"items 0-1/2", std::nullopt},
      {"bytes 0-1", std::nullopt},
      {"", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    const auto range = ParseContentRange(c.value);
    ASSERT_EQ(range.has_value(), c.range.has_value());
    if (!range) continue;
    EXPECT_EQ(range->first, c.range->first);
    EXPECT_EQ(range->last, c.range->last);
    EXPECT_EQ(range->complete_length, c.range->complete_length);
  }
}

TEST(ParseContentLength, TakesWholeNumbersOnly) {
  EXPECT_EQ(ParseContentLength("2000"), 2000);
  EXPECT_EQ(ParseContentLength(" 0 "), 0);
  EXPECT_EQ(ParseContentLength("209715200"), 209715200);
  EXPECT_EQ(ParseContentLength("5000000000"), 5000000000);
  EXPECT_EQ(ParseContentLength(""), std::nullopt);
  EXPECT_EQ(ParseContentLength("12abc"), std::nullopt);
  EXPECT_EQ(ParseContentLength("-5"), std::nullopt);
}

// An error page is never written as the program, and a body that is not the
// continuation of the temporary file is never appended to it.
TEST(PlanForResponse, WritesOnlyBodiesThatFitTheFile) {
  struct Case { const char* name; int status; std::int64_t offset; const char* range; ResponsePlan plan; };
  const Case cases[] = {
      {"whole file, nothing asked", 200, 0, "", ResponsePlan::StartOver},
      {"range ignored", 200, 1000, "", ResponsePlan::StartOver},
      {"range served", 206, 1000, "bytes 1000-2999/3000", ResponsePlan::Append},
      {"range served, size unknown", 206, 1000, "bytes 1000-2999/*", ResponsePlan::Append},
      // A range not served as asked: the whole file is asked for once.
      {"part starts elsewhere", 206, 1000, "bytes 0-2999/3000", ResponsePlan::AskForWhole},
      {"part stops short of the end", 206, 1000, "bytes 1000-1999/3000", ResponsePlan::AskForWhole},
      {"part without a range header", 206, 1000, "", ResponsePlan::AskForWhole},
      {"offset beyond the file", 416, 1000, "bytes */900", ResponsePlan::AskForWhole},
      {"server error while resuming", 500, 1000, "", ResponsePlan::AskForWhole},
      // Asked for the whole file, nothing but the whole file is written.
      {"part without a range asked", 206, 0, "", ResponsePlan::Refuse},
      {"part of the middle without a range asked", 206, 0, "bytes 1000-2999/3000", ResponsePlan::Refuse},
      {"416 without a range asked", 416, 0, "", ResponsePlan::Refuse},
      {"not found", 404, 0, "", ResponsePlan::Refuse},
      {"no content", 204, 0, "", ResponsePlan::Refuse},
      {"no status", 0, 0, "", ResponsePlan::Refuse},
  };
  for (const Case& c : cases) EXPECT_EQ(PlanForResponse(c.status, c.offset, c.range), c.plan) << c.name;
}

}  // namespace
}  // namespace lumen
