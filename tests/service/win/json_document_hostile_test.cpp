#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/text.hpp"
#include "runtime/win/files.hpp"
#include "tests/service/win/json_document_support.hpp"
#include "tests/support/win/scratch_folder.hpp"

namespace lumen {
namespace {

using test::loaded;

// Whether script given to the document ran: it would set this global or
// create this file.
[[nodiscard]] bool ran_in(const JsonDocument& document) {
  return document.ScriptObject()->eval_text("typeof pwned") != "undefined";
}

// Script that creates a file, written so that it can also stand inside a
// JSON string.
[[nodiscard]] std::string file_creating_script(const std::string& path) {
  const std::string escaped = replace_text(path, "\\", "\\\\\\\\", 1, kAllOccurrences, true);
  return "new ActiveXObject('Scripting.FileSystemObject').CreateTextFile('" + escaped + "').Close()";
}

// The engine does run these when given them directly, so the checks below
// see a real difference.
TEST(JsonDocumentHostile, TheEngineWouldRunThePayloads) {
  test::ScratchFolder folder;
  const JsonDocument document = test::new_document();
  document.ScriptObject()->add_code("var pwned = 1");
  EXPECT_TRUE(ran_in(document));
  const std::string script = replace_text(file_creating_script(folder / "control.txt"), "\\\\", "\\", 1,
                                          kAllOccurrences, true);
  document.ScriptObject()->add_code(script);
  EXPECT_TRUE(file_exists(folder / "control.txt"));
}

// Texts that are script rather than data never run, in whatever shape they
// come: statements after a value, a way out of the evaluation's brackets,
// calls, assignments, or unbalanced brackets.
TEST(JsonDocumentHostile, ScriptInTheTextNeverRuns) {
  const std::string_view texts[] = {
      R"({"a":1}; var pwned = 1)",
      R"({"a":1}) ; var pwned = (1)",
      "(pwned = 1)",
      R"({"a":(pwned = 1)})",
      R"([constructor.constructor("pwned = 1")()])",
      R"({"a":function(){ pwned = 1 }()})",
      "{\"a\":1}\n var pwned = 1",
      R"({"a":[1}; var pwned = 1; [{)",
      "]]]; var pwned = 1; [[[",
      R"({"a":1}}; var pwned = 1; {{)",
      R"("x", pwned = 1)",
  };
  for (std::string_view text : texts) {
    SCOPED_TRACE(std::string(text));
    JsonDocument document = test::new_document();
    EXPECT_FALSE(document.Load(text));
    EXPECT_FALSE(ran_in(document));
    EXPECT_EQ(document.ToText(), "null");
  }
}

// A JSON string is valid JSON, but the engine would run its content: neither
// as the whole answer nor as a member read as a sub-document does it run.
TEST(JsonDocumentHostile, StringsHoldingScriptNeverRun) {
  test::ScratchFolder folder;
  std::string whole = "\"";
  whole += file_creating_script(folder / "whole.txt");
  whole += "\"";
  JsonDocument document = test::new_document();
  EXPECT_FALSE(document.Load(whole));
  EXPECT_FALSE(document.Load(R"("var pwned = 1")"));
  EXPECT_FALSE(ran_in(document));

  const std::string answer = R"({"data":{"down_model":")" + file_creating_script(folder / "member.txt") +
                             R"(","list":["var pwned = 1"]}})";
  const JsonDocument reply = loaded(answer);
  ASSERT_EQ(reply.TypeOf("data.down_model"), JsonDocument::kString);
  const JsonDocument member = reply.GetObject("data.down_model");
  EXPECT_EQ(member.TypeOf(), JsonDocument::kNullOrAbsent);
  EXPECT_EQ(member.Count(), 0);
  const JsonDocument element = reply.GetItemObject(0, "data.list");
  EXPECT_FALSE(ran_in(element));

  EXPECT_FALSE(file_exists(folder / "whole.txt"));
  EXPECT_FALSE(file_exists(folder / "member.txt"));
  // The text itself is still readable as text.
  EXPECT_EQ(reply.GetItemText(0, "data.list"), "var pwned = 1");
}

// Deep, huge, truncated and malformed non-ASCII input give the neutral
// results quickly.
TEST(JsonDocumentHostile, BadInputGivesNeutralResults) {
  const JsonLimits limits;
  const auto nested = [](int depth) {
    return std::string(static_cast<std::size_t>(depth), '[') + "1" + std::string(static_cast<std::size_t>(depth), ']');
  };
  const JsonDocument deepest_allowed = loaded(nested(limits.max_depth));
  EXPECT_EQ(deepest_allowed.Count(), 1);
  EXPECT_EQ(deepest_allowed.ToText(), nested(limits.max_depth));

  std::string big = "[";
  while (big.size() < limits.max_bytes - 64) big += R"({"name":"星光","n":12345},)";
  big += "0]";
  const JsonDocument largest = loaded(big);
  EXPECT_GT(largest.Count(), 20000);
  EXPECT_EQ(largest.GetText("[0].name"), "星光");

  std::string several_megabytes(3u << 20, '1');
  several_megabytes.front() = '[';
  several_megabytes.back() = ']';
  const std::string truncated = R"({"code":1,"data":{"name":"星光","list":[1,2,{"x":"y"}]}})";
  std::vector<std::string> texts = {nested(limits.max_depth + 1), nested(100000), several_megabytes,
                                    big.substr(0, big.size() - 1) + ",1]" + std::string(64, ' ')};
  for (std::size_t length = 1; length < truncated.size(); length += 3) texts.push_back(truncated.substr(0, length));
  texts.push_back("{\"name\":\"\x81\"}");
  texts.push_back("{\"name\":\"\xD0\xC7\xFF\"}");
  texts.push_back("{\xD0\xC7:1}");
  for (const std::string& text : texts) {
    SCOPED_TRACE(text.substr(0, 60));
    JsonDocument document = test::new_document();
    EXPECT_FALSE(document.Load(text));
    EXPECT_EQ(document.GetText("code"), "");
    EXPECT_EQ(document.GetNumber("code"), 0);
    EXPECT_EQ(document.Count(), 0);
  }
}

}  // namespace
}  // namespace lumen
