#include <gtest/gtest.h>

#include <string>

#include "tests/service/win/json_document_support.hpp"

namespace lumen {
namespace {

constexpr std::string_view kAppInfo = R"({"code":1,"content":"成功","data":{"name":"StarlitPad","tryout_time":30,)"
                                      R"("ratio":1.9,"flag":true,"nothing":null,"obj":{"k":"v"},)"
                                      R"("list":[10,"二",{"x":7}],"path":"C:\\dir","empty":""}})";

using test::loaded;

struct Read {
  std::string_view path;
  std::string_view text;
  double number;
  int count;
  int type;
};

void expect_reads(const JsonDocument& document, std::initializer_list<Read> reads) {
  for (const Read& r : reads) {
    SCOPED_TRACE(testing::Message() << "path " << r.path);
    EXPECT_EQ(document.GetText(r.path), r.text);
    EXPECT_EQ(document.GetNumber(r.path), r.number);
    EXPECT_EQ(document.Count(r.path), r.count);
    EXPECT_EQ(document.TypeOf(r.path), r.type);
  }
}

TEST(JsonDocument, ReadsValuesByPath) {
  const JsonDocument document = loaded(kAppInfo);
  expect_reads(document, {
      {"code", "1", 1, 0, 2},
      {"content", "成功", 0, 0, 6},
      {"data.name", "StarlitPad", 0, 0, 6},
      {"data.tryout_time", "30", 30, 0, 2},
      {"data.ratio", "1.9", 1.9, 0, 2},
      {"data.flag", "true", -1, 0, 1},
      {"data.nothing", "", 0, 0, 0},
      {"data.missing", "", 0, 0, 0},
      {"data.missing.deeper", "", 0, 0, -1},
      {"nothing.at.all", "", 0, 0, -1},
      {"data.obj", "[object Object]", 0, 0, 4},
      {"data.obj.k", "v", 0, 0, 6},
      {"data.list", "10,二,[object Object]", 0, 3, 5},
      {"data.list[1]", "二", 0, 0, 6},
      {"data.list[2].x", "7", 7, 0, 2},
      {"data.list[9]", "", 0, 0, 0},
      {"data.path", "C:\\dir", 0, 0, 6},
      {"data.empty", "", 0, 0, 6},
      // The root, by an empty path and by the variable's own name.
      {"", "[object Object]", 0, 0, 4},
      {"da", "[object Object]", 0, 0, 4},
      {"da.code", "1", 1, 0, 2},
      // "data" begins with the variable's name but names no global: relative.
      {"data.tryout_time", "30", 30, 0, 2},
  });
  EXPECT_EQ(document.GetJson("data.obj"), R"({"k":"v"})");
  EXPECT_EQ(document.GetText("data.list", true), R"([10,"二",{"x":7}])");
  EXPECT_EQ(document.GetItemText(1, "data.list"), "二");
  EXPECT_EQ(document.GetItemText(2, "data.list", true), R"({"x":7})");
  EXPECT_EQ(document.GetItemText(0, "data.list"), "") << "only string elements give text";
}

TEST(JsonDocument, ArrayRootsAndAbsolutePaths) {
  const JsonDocument list = loaded(R"([1,[2,3],"x"])");
  expect_reads(list, {
      {"", "1,2,3,x", 0, 3, 5},
      {"[1]", "2,3", 0, 2, 5},
      {"[1][0]", "2", 2, 0, 2},
      {"[2]", "x", 0, 0, 6},
  });
  // "da" names the root even when the root has a member called da; a path
  // through it that is not present at the root is taken as relative.
  const JsonDocument named = loaded(R"({"da":{"x":1},"y":2})");
  EXPECT_EQ(named.GetJson("da"), R"({"da":{"x":1},"y":2})");
  EXPECT_EQ(named.GetNumber("da.y"), 2);
  EXPECT_EQ(named.GetNumber("da.x"), 1);
  Text path = "da.x";
  EXPECT_TRUE(named.ResolvePath(path));
  EXPECT_EQ(path, "da.da.x");
  path = "[0]";
  EXPECT_FALSE(named.ResolvePath(path));
  EXPECT_EQ(path, "da[0]");
  path = "";
  EXPECT_TRUE(named.ResolvePath(path));
  EXPECT_EQ(path, "da");
}

TEST(JsonDocument, ListsMemberNames) {
  const JsonDocument document = loaded(kAppInfo);
  Array<Text> names;
  EXPECT_EQ(document.MemberNames(names), 3);
  EXPECT_EQ(names.items(), (std::vector<Text>{"code", "content", "data"}));
  EXPECT_EQ(document.MemberNames(names, "data.obj"), 1);
  EXPECT_EQ(names[1], "k");
  // Arrays, strings and absent values have none; the list is replaced.
  for (std::string_view path : {"data.list", "data.name", "data.missing", "data.missing.deeper"}) {
    EXPECT_EQ(document.MemberNames(names, path), 0) << path;
    EXPECT_TRUE(names.empty());
  }
}

// What does not load leaves a null root, and every read is neutral.
TEST(JsonDocument, FailedLoadsGiveNeutralResults) {
  const std::string_view texts[] = {
      "", "   ", "not json", "{", R"({"a":1,})", "[1,2", "{'a':1}", "{a:1}", "1 2", "undefined",
      "function(){}", R"({"a":1}garbage)", "null", "\"StarlitPad\"", "\"1 + 1\"",
      "\"\x81\"", "[\"\xFF\"]",
  };
  for (std::string_view text : texts) {
    SCOPED_TRACE(testing::PrintToString(std::string(text)));
    JsonDocument document = test::new_document();
    EXPECT_FALSE(document.Load(text));
    expect_reads(document, {{"", "", 0, 0, 0}, {"code", "", 0, 0, -1}});
    EXPECT_EQ(document.ToText(), "null");
    Array<Text> names;
    EXPECT_EQ(document.MemberNames(names), 0);
  }
}

TEST(JsonDocument, ScalarAndNonAsciiDocumentsLoad) {
  struct Case { std::string_view json; std::string_view text; int type; };
  const Case cases[] = {
      {"42", "42", 2},
      {"-1.5e2", "-150", 2},
      {"true", "true", 1},
      {"false", "false", 1},
      {R"(["星光记事本","\u661f\u5149"])", "星光记事本,星光", 5},
      {"[\"\x95\\\"]", "\x95\\", 5},  // a character whose second byte is 0x5C
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.json));
    JsonDocument document = test::new_document();
    EXPECT_TRUE(document.Load(c.json));
    EXPECT_EQ(document.GetText(), c.text);
    EXPECT_EQ(document.TypeOf(), c.type);
  }
  // "false" is a value, not null, so it loads; "0" likewise.
  EXPECT_TRUE(loaded("0").TypeOf() == JsonDocument::kNumber);
}

}  // namespace
}  // namespace lumen
