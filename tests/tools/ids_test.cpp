#include <gtest/gtest.h>

#include "tools/stamp/agent_id.hpp"
#include "tools/stamp/id_list.hpp"

namespace lumen::stamp {
namespace {

using namespace std::string_view_literals;

TEST(AgentId, IsExactlyEightAsciiDigits) {
  for (const char* id : {"00000038", "00000001", "99999999", "12345678"}) {
    const Result<Stamp> stamp = Stamp::from_agent_id(id);
    ASSERT_TRUE(stamp.ok()) << id << ": " << stamp.error();
    EXPECT_EQ(stamp.value().digits(), id);
  }
}

TEST(AgentId, RefusesEverythingElseSayingWhy) {
  struct Case {
    std::string_view id;
    const char* want;
  };
  const Case cases[] = {
      {""sv, "agent id \"\" is not exactly 8 ASCII digits"},
      {"1234567"sv, "is not exactly 8 ASCII digits (zero-padded: 01234567)"},
      {"38"sv, "(zero-padded: 00000038)"},
      {"123456789"sv, "is not exactly 8 ASCII digits"},
      {"1234567a"sv, "is not exactly 8 ASCII digits"},
      {" 1234567"sv, "is not exactly 8 ASCII digits"},
      {"1234567 "sv, "is not exactly 8 ASCII digits"},
      {"+1234567"sv, "is not exactly 8 ASCII digits"},
      {"-1234567"sv, "is not exactly 8 ASCII digits"},
      {"0x123456"sv, "is not exactly 8 ASCII digits"},
      {"1234\0" "567"sv, "is not exactly 8 ASCII digits"},
      // Full-width digits, which the installer's number conversion would accept.
      {"\xEF\xBC\x91\xEF\xBC\x92\xEF\xBC\x93\xEF\xBC\x94"sv, "is not exactly 8 ASCII digits"},
      // Shown escaped, so a list cannot send control sequences to the terminal.
      {"\x1B[31m1234"sv, "agent id \"\\x1B[31m1234\" is not exactly 8 ASCII digits"},
      {"00000000"sv, "is all zeros: the installer reads that as no id and asks the service for agent 1"},
  };
  for (const Case& c : cases) {
    const Result<Stamp> stamp = Stamp::from_agent_id(c.id);
    ASSERT_FALSE(stamp.ok()) << c.id;
    EXPECT_NE(stamp.error().find(c.want), std::string::npos) << stamp.error();
  }
  EXPECT_EQ(Stamp::from_agent_id("0").error().find("zero-padded"), std::string::npos) << "0 is no id to pad";
}

TEST(StampBytes, AreAnyEightDigitsIncludingZeros) {
  const auto stamp_of = [](std::string_view text) {
    return Stamp::from_bytes({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
  };
  EXPECT_EQ(stamp_of("00000038")->digits(), "00000038");
  EXPECT_EQ(stamp_of("00000000")->digits(), "00000000");
  EXPECT_FALSE(stamp_of("0000003a"));
  EXPECT_FALSE(stamp_of("0000038"));
  EXPECT_FALSE(stamp_of("000\0" "0038"sv));
}

[[nodiscard]] std::vector<std::string> digits_of(const std::vector<Stamp>& ids) {
  std::vector<std::string> digits;
  for (const Stamp& id : ids) digits.emplace_back(id.digits());
  return digits;
}

TEST(IdList, TakesOneIdPerLineAsEditorsWriteThem) {
  const Result<std::vector<Stamp>> ids = parse_id_list(
      "\xEF\xBB\xBF"  // byte order mark
      "# agents of the north region\n"
      "00000038\r\n"
      "\n"
      "  00000039\t\n"
      "   # retired: 00000040\n"
      "00000041");  // no final line feed
  ASSERT_TRUE(ids.ok()) << ids.error();
  EXPECT_EQ(digits_of(ids.value()), (std::vector<std::string>{"00000038", "00000039", "00000041"}));
}

TEST(IdList, NamesEveryBadLineAtOnce) {
  struct Case {
    const char* name;
    const char* content;
    const char* want;
  };
  const Case cases[] = {
      {"bad ids among good ones", "00000038\n\n38\n# x\n0000003x\n00000040\n",
       "line 3: agent id \"38\" is not exactly 8 ASCII digits (zero-padded: 00000038)\n"
       "line 5: agent id \"0000003x\" is not exactly 8 ASCII digits"},
      {"a repeated id", "00000038\n00000039\r\n00000038\n", "line 3: 00000038 repeats line 1"},
      {"two ids on one line", "00000038 00000039\n",
       "line 1: agent id \"00000038 00000039\" is not exactly 8 ASCII digits"},
      {"the zero id", "00000000\n",
       "line 1: agent id \"00000000\" is all zeros: the installer reads that as no id and asks the service for agent 1"},
      {"empty", "", "lists no agent ids"},
      {"only comments and blanks", "# none yet\n\n  \r\n", "lists no agent ids"},
  };
  for (const Case& c : cases) {
    const Result<std::vector<Stamp>> ids = parse_id_list(c.content);
    ASSERT_FALSE(ids.ok()) << c.name;
    EXPECT_EQ(ids.error(), c.want) << c.name;
  }
}

}  // namespace
}  // namespace lumen::stamp
