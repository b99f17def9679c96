#include "service/json_validator.hpp"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace lumen {
namespace {

using namespace std::string_literals;

struct Case {
  std::string text;
  std::optional<JsonKind> kind;
};

void expect_cases(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.text));
    EXPECT_EQ(check_json(c.text), c.kind);
  }
}

TEST(CheckJson, AcceptsWellFormedDocumentsAndNamesTheirKind) {
  expect_cases({
      {R"({"code":1,"content":"ok","data":{"name":"StarlitPad","down_model":[{"value":[{"is_now":1}]}]}})",
       JsonKind::Object},
      {" \t\r\n{ \"a\" : [ 1 , -2.5e+3 , true , false , null , { } , [ ] ] } \n", JsonKind::Object},
      {"[]", JsonKind::Array},
      {"[[[[]]]]", JsonKind::Array},
      {R"("text")", JsonKind::String},
      {"0", JsonKind::Number},
      {"-0.0e-0", JsonKind::Number},
      {"123456789012345678901234567890", JsonKind::Number},
      {"1E400", JsonKind::Number},
      {"true", JsonKind::Literal},
      {"null", JsonKind::Literal},
      {R"({"":""})", JsonKind::Object},
      {R"({"a":1,"a":2})", JsonKind::Object},
      {R"({"constructor":{"prototype":1},"__proto__":null,"toString":"x"})", JsonKind::Object},
      {R"(["\"\\\/\b\f\n\r\t\u0000\uD83D\uDE00\u2028\uabcd"])", JsonKind::Array},
  });
}

TEST(CheckJson, RejectsWhatIsNotExactlyOneJsonValue) {
  expect_cases({
      {"", std::nullopt},
      {"   ", std::nullopt},
      {"{} {}", std::nullopt},
      {"[1] x", std::nullopt},
      {"{", std::nullopt},
      {"[1,2", std::nullopt},
      {R"({"a":1)", std::nullopt},
      {"]", std::nullopt},
      {"[1}", std::nullopt},
      {R"({"a":1])", std::nullopt},
      {"[1,]", std::nullopt},
      {"[,1]", std::nullopt},
      {R"({"a":1,})", std::nullopt},
      {R"({,"a":1})", std::nullopt},
      {R"({"a"})", std::nullopt},
      {R"({"a" 1})", std::nullopt},
      {R"({a:1})", std::nullopt},
      {R"({'a':1})", std::nullopt},
      {"[1 2]", std::nullopt},
      {"\xEF\xBB\xBF{}", std::nullopt},
      {"{}\0"s, std::nullopt},
      {"[1]\f", std::nullopt},
  });
}

TEST(CheckJson, RejectsScriptThatIsNotData) {
  expect_cases({
      {"new ActiveXObject('WScript.Shell').Run('calc')", std::nullopt},
      {R"({"a":1}; WScript.Quit())", std::nullopt},
      {R"({"a":constructor.constructor("return this")()})", std::nullopt},
      {R"({"a":(function(){return 1})()})", std::nullopt},
      {R"({"a":1} /* comment */)", std::nullopt},
      {"// comment\n{}", std::nullopt},
      {R"({"a":1+1})", std::nullopt},
      {R"({"a":undefined})", std::nullopt},
      {R"({"a":NaN})", std::nullopt},
      {R"({"a":Infinity})", std::nullopt},
      {"[/*@cc_on 1 @*/]", std::nullopt},
      {R"({"a":[1,2].length})", std::nullopt},
      {"da = 1", std::nullopt},
  });
}

TEST(CheckJson, NumbersFollowTheGrammar) {
  expect_cases({
      {"01", std::nullopt}, {"-", std::nullopt}, {"+1", std::nullopt}, {".5", std::nullopt},
      {"1.", std::nullopt}, {"1.e5", std::nullopt}, {"1e", std::nullopt}, {"1e+", std::nullopt},
      {"0x10", std::nullopt}, {"--1", std::nullopt}, {"1_000", std::nullopt}, {"tru", std::nullopt},
      {"nul", std::nullopt}, {"True", std::nullopt}, {"-01", std::nullopt},
      {"-1", JsonKind::Number}, {"10.25", JsonKind::Number}, {"1e5", JsonKind::Number},
  });
}

TEST(CheckJson, StringsAllowNoRawControlsOrUnknownEscapes) {
  expect_cases({
      {"\"a\nb\"", std::nullopt},
      {"\"a\tb\"", std::nullopt},
      {"\"a\x01b\"", std::nullopt},
      {"\"a\0b\""s, std::nullopt},
      {R"("\x41")", std::nullopt},
      {R"("\d")", std::nullopt},
      {R"("\u12")", std::nullopt},
      {R"("\u12G4")", std::nullopt},
      {R"("\)", std::nullopt},
      {R"("abc)", std::nullopt},
      {"\"\x7F\"", JsonKind::String},
  });
}

// Code page 936 inside strings: a lead byte takes the next byte as its
// partner, even a backslash or a quote; a lead byte without a valid partner,
// 0xFF, or any byte above ASCII outside a string is refused.
TEST(CheckJson, DoubleByteCharactersAreWholeCharacters) {
  expect_cases({
      {R"({"name":"星光记事本"})", JsonKind::Object},
      {"\"\x95\\\"", JsonKind::String},       // 0x95 0x5C is one character
      {"[\"\x81\x40\xFE\xFE\x80\"]", JsonKind::Array},
      {"\"\x95\"\"", std::nullopt},           // 0x22 is no partner
      {"\"\x81\x7F\"", std::nullopt},
      {"\"\x81\x30\x81\x30\"", std::nullopt},  // a four-byte sequence of a wider code page
      {"\"\x81\"", std::nullopt},
      {"\"\xFF\"", std::nullopt},
      {"[1]\xA1\xA1", std::nullopt},
      {"{\xD6\xD0:1}", std::nullopt},
  });
}

TEST(CheckJson, EnforcesDepthAndSizeLimits) {
  const JsonLimits limits{.max_bytes = 64, .max_depth = 4};
  EXPECT_EQ(check_json("[[[[1]]]]", limits), JsonKind::Array);
  EXPECT_EQ(check_json("[[[[[1]]]]]", limits), std::nullopt);
  EXPECT_EQ(check_json("[[[[[]]]]]", limits), std::nullopt);
  EXPECT_EQ(check_json(R"({"a":{"b":{"c":{"d":1}}}})", limits), JsonKind::Object);
  EXPECT_EQ(check_json(R"({"a":{"b":{"c":{"d":{}}}}})", limits), std::nullopt);
  // Depth counts containers open at once, not containers in total.
  EXPECT_EQ(check_json("[[[[1]]],[[[2]]],[[[3]]]]", limits), JsonKind::Array);
  EXPECT_EQ(check_json("[" + std::string(62, '1') + "]", limits), JsonKind::Array);
  EXPECT_EQ(check_json("[" + std::string(63, '1') + "]", limits), std::nullopt);

  // The defaults: deep or huge hostile input is refused quickly and without
  // exhausting the stack.
  EXPECT_EQ(check_json(std::string(1'000'000, '[') + std::string(1'000'000, ']')), std::nullopt);
  const JsonLimits defaults;
  EXPECT_EQ(check_json(std::string(static_cast<std::size_t>(defaults.max_depth), '[') +
                       std::string(static_cast<std::size_t>(defaults.max_depth), ']')),
            JsonKind::Array);
  std::string huge = "[\"" + std::string(defaults.max_bytes, 'x') + "\"]";
  EXPECT_EQ(check_json(huge), std::nullopt);
}

TEST(CheckJson, EnforcesTheArrayElementsOfTheWholeDocument) {
  const JsonLimits limits{.max_array_elements = 4};
  struct ElementsCase { const char* json; bool accepted; };
  const ElementsCase cases[] = {
      {"[1,2,3,4]", true},
      {"[1,2,3,4,5]", false},
      {"[]", true},
      {"[[]]", true},
      // Members are not elements.
      {R"({"a":1,"b":2,"c":3,"d":4,"e":5})", true},
      // Counted over every array of the document.
      {"[[1],[2]]", true},
      {"[[1,2],[3]]", false},
      {R"({"a":[1,2],"b":[3,4,5]})", false},
  };
  for (const ElementsCase& c : cases) EXPECT_EQ(check_json(c.json, limits).has_value(), c.accepted) << c.json;
  // The defaults take the longest list a test answer holds, and refuse a
  // megabyte of tiny elements, in one list or spread over several.
  std::string many = "[";
  for (int i = 0; i < 60'000; ++i) many += i ? ",{}" : "{}";
  EXPECT_EQ(check_json(many + "]"), JsonKind::Array);
  std::string tiny = "[0";
  while (tiny.size() < 300'000) tiny += ",0";
  EXPECT_EQ(check_json(tiny + "]"), std::nullopt);
  std::string two_lists = "[[0";
  for (int i = 1; i < 40'000; ++i) two_lists += ",0";
  two_lists += "],[0";
  for (int i = 1; i < 40'000; ++i) two_lists += ",0";
  EXPECT_EQ(check_json(two_lists + "]]"), std::nullopt);
}

// Truncating a valid document anywhere, or flipping any one byte of it, gives
// a result without a crash; truncation never gives a complete document.
TEST(CheckJson, TruncatedAndAlteredDocumentsAreHandled) {
  const std::string document =
      R"({"code":1,"content":"成功","data":{"name":"x","tryout_time":30,"agent_app":{"app_icon":"http://h/i.ico"},)"
      R"("down_model":[{"model_id":1,"value":[{"address":"C:\\d\\a.exe","is_now":1,"version":"1.0e2"}]}]}})";
  ASSERT_EQ(check_json(document), JsonKind::Object);
  for (std::size_t length = 0; length < document.size(); ++length) {
    EXPECT_EQ(check_json(std::string_view(document).substr(0, length)), std::nullopt) << length;
  }
  for (std::size_t at = 0; at < document.size(); ++at) {
    for (int byte : {0x00, 0x22, 0x5C, 0x7B, 0x7D, 0x5B, 0x5D, 0x2C, 0x3A, 0x81, 0xFF}) {
      std::string altered = document;
      altered[at] = static_cast<char>(byte);
      static_cast<void>(check_json(altered));
    }
  }
}

// A bounded fuzz run: random bytes drawn mostly from JSON's own alphabet, and
// random splices of valid documents, with small limits so that the depth and
// size rules are reached too. Run under the sanitizers, any out-of-bounds
// read or undefined step fails the test.
TEST(CheckJson, RandomInputNeverCrashes) {
  static constexpr std::string_view alphabet = "{}[]\",:\\/0123456789-+.eEtrufalsn \t\r\nbu\x81\x40\xFF\x5C";
  const std::vector<std::string> seeds = {
      R"({"a":[1,2,{"b":"c\u0041"}],"d":true,"e":null,"f":-1.5e3})", R"([[],[{}],"星光"])", R"("\"\\")",
  };
  std::mt19937 random(20240611);
  const JsonLimits small{.max_bytes = 200, .max_depth = 6};
  int accepted = 0;
  for (int round = 0; round < 200'000; ++round) {
    std::string input;
    if (round % 2 == 0) {
      const std::size_t length = random() % 48;
      for (std::size_t i = 0; i < length; ++i) {
        input += random() % 8 == 0 ? static_cast<char>(random() % 256) : alphabet[random() % alphabet.size()];
      }
    } else {
      const std::string& a = seeds[random() % seeds.size()];
      const std::string& b = seeds[random() % seeds.size()];
      input = a.substr(0, random() % (a.size() + 1)) + b.substr(random() % (b.size() + 1));
    }
    const auto kind = check_json(input, small);
    if (kind) {
      ++accepted;
      // Whatever passed must also pass with the default, wider limits.
      EXPECT_EQ(check_json(input), kind) << testing::PrintToString(input);
    }
  }
  EXPECT_GT(accepted, 0);
}

}  // namespace
}  // namespace lumen
