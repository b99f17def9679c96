#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "tests/service/win/json_document_support.hpp"

namespace lumen {
namespace {

using test::loaded;

// Texts go in through the escaping of SetValue and come back unchanged; a
// backslash is held as the backslash mark and serialised bare.
TEST(JsonDocumentWrite, TextValuesReadBackUnchanged) {
  struct Case { std::string value; std::string json; };
  const Case cases[] = {
      {"C:\\dir", R"({"v":"C:\dir"})"},
      {"it's \"quoted\"", R"({"v":"it's \"quoted\""})"},
      {"line1\r\nline2", R"({"v":"line1\r\nline2"})"},
      {"tab\there", R"({"v":"tab\there"})"},
      {"星光\x95\\", "{\"v\":\"星光\x95\\\"}"},  // 0x95 0x5C is one character, not a backslash
      {"", R"({"v":""})"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    JsonDocument document = test::new_document();
    document.SetValue("v", c.value);
    EXPECT_EQ(document.GetText("v"), c.value);
    EXPECT_EQ(document.TypeOf("v"), JsonDocument::kString);
    EXPECT_EQ(document.ToText(), c.json);
  }
}

TEST(JsonDocumentWrite, JsonValuesAreStoredOrMerged) {
  struct Case { std::string_view before; std::string_view path; std::string_view value; std::string_view after; };
  const Case cases[] = {
      {"{}", "cfg", "", R"({"cfg":{}})"},
      {"{}", "arr", "[1,2]", R"({"arr":[1,2]})"},
      {R"({"o":{"k":"v"}})", "o", "", R"({"o":{"k":"v"}})"},
      {R"({"o":{"k":"v"}})", "o", R"({"k":"w","n":1})", R"({"o":{"k":"w","n":1}})"},
      {R"({"o":{"in":{"a":1}}})", "o", R"({"in":{"b":2}})", R"({"o":{"in":{"a":1,"b":2}}})"},
      {R"({"a":[1]})", "a", "[2,3]", R"({"a":[1,2,3]})"},
      {R"({"a":1})", "", R"({"b":true})", R"({"a":1,"b":true})"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.before << " " << c.path << " " << c.value);
    JsonDocument document = loaded(c.before);
    document.SetValue(c.path, c.value, true);
    EXPECT_EQ(document.ToText(), c.after);
  }
}

TEST(JsonDocumentWrite, NumbersExpressionsAndDeletion) {
  JsonDocument document = loaded(R"({"k":"v","n":1})");
  document.SetNumber("n", 2.5);
  EXPECT_EQ(document.GetNumber("n"), 2.5);
  document.SetNumber("small", -1e-7);
  EXPECT_EQ(document.GetNumber("small"), -1e-7);
  // Not a number the script can read: nothing changes.
  document.SetNumber("n", std::numeric_limits<double>::infinity());
  EXPECT_EQ(document.GetNumber("n"), 2.5);

  document.SetExpression("sum", "1 + 2");
  EXPECT_EQ(document.GetNumber("sum"), 3);

  document.Delete("k");
  EXPECT_EQ(document.TypeOf("k"), JsonDocument::kNullOrAbsent);
  Array<Text> names;
  EXPECT_EQ(document.MemberNames(names), 3);
  EXPECT_EQ(names.items(), (std::vector<Text>{"n", "small", "sum"}));

  document.Clear();
  EXPECT_EQ(document.ToText(), "{}");
}

TEST(JsonDocumentWrite, ArraysGrowShrinkAndChange) {
  JsonDocument document = loaded(R"({"s":"text"})");
  document.Push("a", "list");
  document.Push(R"({"x":1})", "list", true);
  EXPECT_EQ(document.GetJson("list"), R"(["a",{"x":1}])");
  // A text with a quote is spliced as it is: a script error, and no change.
  EXPECT_FALSE(document.Push("it's", "list"));
  EXPECT_EQ(document.Count("list"), 2);

  // What is not an array becomes one.
  document.Push("b", "s");
  EXPECT_EQ(document.GetJson("s"), R"(["b"])");

  document.SetItem(0, "list", "z");
  document.SetItem(2, "list", "[true]", true);
  EXPECT_EQ(document.GetJson("list"), R"(["z",{"x":1},[true]])");
  document.RemoveItem(1, "list");
  EXPECT_EQ(document.GetJson("list"), R"(["z",[true]])");
  EXPECT_EQ(document.GetItemText(0, "list"), "z");
  EXPECT_EQ(document.GetItemText(1, "list", true), "[true]");
}

// Serialising what was loaded gives compact JSON that loads to the same text.
TEST(JsonDocumentWrite, SerialisingRoundTrips) {
  struct Case { std::string_view json; std::string_view text; };
  const Case cases[] = {
      {R"( { "a" : [ 1 , 2 ] , "b" : { } } )", R"({"a":[1,2],"b":{}})"},
      {R"(["\"\\\/\b\f\n\r\t\u0001\u001f\u007f\u00ad\u2028\ufeff"])",
       R"(["\"\\/\b\f\n\r\t\u0001\u001f\u007f\u00ad\u2028\ufeff"])"},
      {"[0.1,-0,100,-2.5,123456789012]", "[0.1,0,100,-2.5,123456789012]"},
      {R"({"名称":"星光记事本","a\"b":null,"":true})", R"({"名称":"星光记事本","a\"b":null,"":true})"},
      {R"([[],{},[[{}]],""])", R"([[],{},[[{}]],""])"},
      {R"({"constructor":1,"toString":"x","valueOf":[]})", R"({"constructor":1,"toString":"x","valueOf":[]})"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.json));
    const JsonDocument first = loaded(c.json);
    EXPECT_EQ(first.ToText(), c.text);
    EXPECT_EQ(loaded(first.ToText()).ToText(), c.text);
  }
  // The engine writes exponents its own way ("1E+21"); what counts is that the
  // text is JSON again and keeps the values.
  const JsonDocument exponents = loaded(loaded("[1e21,-2.5e-7]").ToText());
  EXPECT_EQ(exponents.GetNumber("[0]"), 1e21);
  EXPECT_EQ(exponents.GetNumber("[1]"), -2.5e-7);
}

// Values JSON cannot hold: non-finite numbers become null, functions and
// undefined are left out (null in arrays), dates give their UTC form, and only
// own members count. A cycle gives no text instead of endless recursion.
TEST(JsonDocumentWrite, SerialisingValuesBeyondJson) {
  struct Case { std::string_view expression; std::string_view json; };
  const Case cases[] = {
      {"1/0", "null"},
      {"-1/0", "null"},
      {"0/0", "null"},
      {"[undefined, function(){}, 1/0]", "[null,null,null]"},
      {"({f: function(){}, u: undefined, k: 1})", R"({"k":1})"},
      {"new Date(Date.UTC(2024, 0, 2, 3, 4, 5))", R"("2024-01-02T03:04:05Z")"},
      {"new String('x')", R"("x")"},
      {"new Number(4)", "4"},
      {"(function(){function F(){this.own=1} F.prototype.inherited=2; return new F()})()", R"({"own":1})"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.expression));
    JsonDocument document = test::new_document();
    document.SetExpression("x", c.expression);
    EXPECT_EQ(document.GetJson("x"), c.json);
  }
  JsonDocument cyclic = loaded(R"({"a":1})");
  cyclic.SetExpression("self", "da");
  EXPECT_EQ(cyclic.ToText(), "");
  EXPECT_EQ(cyclic.GetNumber("self.self.a"), 1);
}

// A sub-document is a copy in its own engine; a copy of a document shares
// its engine until it is loaded again.
TEST(JsonDocumentWrite, SubDocumentsAndCopies) {
  const JsonDocument document = loaded(R"({"data":{"name":"x","list":[{"v":1},{"v":2}]}})");
  JsonDocument data = document.GetObject("data");
  EXPECT_EQ(data.GetText("name"), "x");
  data.SetValue("name", "changed");
  EXPECT_EQ(document.GetText("data.name"), "x");
  EXPECT_NE(data.ScriptObject(), document.ScriptObject());

  EXPECT_EQ(document.GetItemObject(1, "data.list").GetNumber("v"), 2);
  EXPECT_EQ(data.GetItemObject(0, "list").ToText(), R"({"v":1})");
  for (const JsonDocument& missing : {document.GetObject("data.none"), document.GetItemObject(5, "data.list")}) {
    EXPECT_EQ(missing.TypeOf(), JsonDocument::kNullOrAbsent);
    EXPECT_EQ(missing.ToText(), "null");
  }

  JsonDocument copy = data.Copy();
  EXPECT_EQ(copy.ScriptObject(), data.ScriptObject());
  copy.SetNumber("n", 5);
  EXPECT_EQ(data.GetNumber("n"), 5);
  ASSERT_TRUE(copy.Load(R"({"n":6})"));
  EXPECT_EQ(data.GetNumber("n"), 5);
  EXPECT_EQ(copy.GetNumber("n"), 6);
}

}  // namespace
}  // namespace lumen
