#include "service/json_document.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "service/json_support_script.hpp"

namespace lumen {
namespace {

// What a document hands to its engines, in order, one entry per call:
// "run:" for statements, "eval:" for evaluations. Evaluations answer with
// the neutral results, as an engine does after a script error.
struct Transcript {
  std::vector<std::string> calls;
  int engines_started = 0;

  [[nodiscard]] bool mentions(std::string_view text) const {
    for (const std::string& call : calls) {
      if (call.find(text) != std::string::npos) return true;
    }
    return false;
  }
};

class RecordingEngine final : public ScriptEngine {
 public:
  explicit RecordingEngine(Transcript& transcript) : transcript_(transcript) {}
  void add_code(std::string_view statements) override { transcript_.calls.push_back("run:" + std::string(statements)); }
  bool eval_bool(std::string_view expression) override { return record(expression), false; }
  Text eval_text(std::string_view expression) override { return record(expression), Text{}; }
  double eval_number(std::string_view expression) override { return record(expression), 0.0; }

 private:
  void record(std::string_view expression) { transcript_.calls.push_back("eval:" + std::string(expression)); }
  Transcript& transcript_;
};

[[nodiscard]] ScriptEngineStarter recording_into(Transcript& transcript) {
  return [&transcript]() -> std::unique_ptr<ScriptEngine> {
    ++transcript.engines_started;
    return std::make_unique<RecordingEngine>(transcript);
  };
}

constexpr std::string_view kDeclarations =
    "eval:var da = {}, str_Code = String.fromCharCode(9216), str_reg = new RegExp(str_Code, 'g')";

TEST(JsonDocumentContract, AnEngineStartsWithTheSupportScriptAndTheDeclarations) {
  Transcript transcript;
  const JsonDocument document(recording_into(transcript));
  ASSERT_EQ(transcript.calls.size(), 2u);
  EXPECT_EQ(transcript.calls[0], "run:" + std::string(json_support_script()));
  EXPECT_EQ(transcript.calls[1], kDeclarations);
  EXPECT_TRUE(json_support_script().starts_with("function get__count(c){"));
}

// Every load starts a fresh engine and evaluates well-formed JSON in it;
// any other text never reaches the engine at all.
TEST(JsonDocumentContract, OnlyCheckedJsonReachesTheEngine) {
  Transcript transcript;
  JsonDocument document(recording_into(transcript));
  transcript.calls.clear();
  static_cast<void>(document.Load(R"({"a":[1,"x"]})"));
  EXPECT_EQ(transcript.engines_started, 2);
  const std::vector<std::string> expected = {
      "run:" + std::string(json_support_script()), std::string(kDeclarations), "eval:var da = null",
      R"(run:var da = eval({"a":[1,"x"]}))", "eval:da != null",
  };
  EXPECT_EQ(transcript.calls, expected);

  for (std::string_view hostile : {R"j({"a":1}; pwned())j", R"j("pwned()")j", "pwned()", "[[[[", ""}) {
    transcript.calls.clear();
    EXPECT_FALSE(document.Load(hostile));
    EXPECT_FALSE(transcript.mentions("var da = eval(")) << hostile;
    EXPECT_EQ(transcript.calls.back(), "eval:da != null");
  }
}

// Texts are escaped for the script in a fixed order (backslashes first, so
// no escape is doubled), and the second byte of a double-byte character is
// never mistaken for a backslash.
TEST(JsonDocumentContract, TextValuesAreEscapedForTheScript) {
  Transcript transcript;
  JsonDocument document(recording_into(transcript));
  transcript.calls.clear();
  document.SetValue("v", "a\\b'c\"d\r\ne\x95\\");
  ASSERT_FALSE(transcript.calls.empty());
  EXPECT_EQ(transcript.calls.back(), "eval:da.v = 'a\\\\b\\'c\\\"d\\r\\ne\x95\\'.replace(/\\\\/g, str_Code)");
}

// A document whose engine cannot be started stays usable: every operation
// gives its neutral result, and loading does not try again.
TEST(JsonDocumentContract, WithoutAnEngineEverythingIsNeutral) {
  int attempts = 0;
  JsonDocument document([&attempts]() -> std::unique_ptr<ScriptEngine> {
    ++attempts;
    return nullptr;
  });
  EXPECT_FALSE(document.Load(R"({"a":1})"));
  EXPECT_EQ(attempts, 1);
  EXPECT_EQ(document.GetText("a"), "");
  EXPECT_EQ(document.GetNumber("a"), 0);
  EXPECT_EQ(document.Count(), 0);
  EXPECT_EQ(document.TypeOf("a"), JsonDocument::kOther);
  EXPECT_EQ(document.ToText(), "");
  EXPECT_FALSE(document.SetValue("a", "x"));
  EXPECT_FALSE(document.Push("x"));
  Array<Text> names;
  EXPECT_EQ(document.MemberNames(names), 0);
  EXPECT_EQ(document.GetObject("a").ScriptObject(), nullptr);
  EXPECT_EQ(document.ScriptObject(), nullptr);
}

}  // namespace
}  // namespace lumen
