#include "service/answer_text.hpp"

#include <gtest/gtest.h>

#include "runtime/byte_buffer.hpp"

namespace lumen {
namespace {

// "星光" in each encoding the service may answer in.
constexpr std::string_view kGbk = "\xD0\xC7\xB9\xE2";
constexpr std::string_view kUtf8 = "\xE6\x98\x9F\xE5\x85\x89";
constexpr std::string_view kBom = "\xEF\xBB\xBF";

// Only bytes that are UTF-8 are read as UTF-8, whatever the answer claims.
TEST(AnswerText, DecodesByTheDeclaredCharsetOrTheByteOrderMark) {
  struct Case { const char* name; Text body; std::string_view type; Text text; };
  const Text gbk(kGbk), utf8(kUtf8), bom(kBom);
  const Case cases[] = {
      {"GBK without charset", gbk, "application/json", gbk},
      {"GBK with charset", gbk, "application/json; charset=GBK", gbk},
      {"GB2312 with charset", gbk, "application/json; charset=gb2312", gbk},
      {"UTF-8 with charset", utf8, "application/json; charset=utf-8", gbk},
      {"UTF-8 with BOM and no charset", bom + utf8, "application/json", gbk},
      {"UTF-8 with BOM and charset", bom + utf8, "application/json; charset=UTF-8", gbk},
      {"UTF-8 with BOM under a GB charset", bom + utf8, "application/json; charset=gbk", gbk},
      {"UTF-8 without either, as today", utf8, "application/json", utf8},
      {"unknown charset, as today", utf8, "application/json; charset=x-unknown", utf8},
      {"no Content-Type", gbk, "", gbk},
      {"declared UTF-8 that is not", gbk, "application/json; charset=utf-8", gbk},
      {"declared UTF-8, cut inside a character", utf8.substr(0, 4), "application/json; charset=utf-8",
       utf8.substr(0, 4)},
      {"BOM before bytes that are not UTF-8", bom + gbk, "application/json", bom + gbk},
      {"BOM and label before bytes that are not UTF-8", bom + gbk, "application/json; charset=utf-8", bom + gbk},
      {"UTF-8 character the code page lacks", "\xE2\x9C\x93", "application/json; charset=utf-8", "?"},
      {"ends at the first zero byte", Text("{}\0x", 4), "application/json; charset=utf-8", "{}"},
  };
  for (const Case& c : cases) EXPECT_EQ(AnswerText(to_buffer(c.body), c.type), c.text) << c.name;
}

}  // namespace
}  // namespace lumen
