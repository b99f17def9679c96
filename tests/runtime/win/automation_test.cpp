#include "runtime/win/automation.hpp"

#include <gtest/gtest.h>

#include <optional>

namespace lumen {
namespace {

constexpr const char* kDictionaryClass = "{EE09B103-97E0-11CF-978F-00A02463E06F}";

class Automation : public ::testing::Test {
 protected:
  [[nodiscard]] static ObjectRef script_engine() {
    ObjectRef engine;
    EXPECT_TRUE(create_object(engine, "MSScriptControl.ScriptControl"));
    EXPECT_TRUE(object_set(engine, "Language", "JavaScript"));
    return engine;
  }

  [[nodiscard]] static ObjectRef dictionary() {
    ObjectRef created;
    EXPECT_TRUE(create_object(created, kDictionaryClass));
    return created;
  }

  win::ComApartment apartment_;
};

// The engine's results come back as texts, numbers and truth values; what
// does not convert, or a script error, gives the neutral result.
TEST_F(Automation, CallResultsConvertToTextNumberAndBoolean) {
  struct Case { const char* expression; const char* text; double number; std::optional<bool> flag; };
  const Case cases[] = {
      {"1 + 2", "3", 3, true},
      {"0.5", "0.5", 0.5, true},
      {"-7", "-7", -7, true},
      {"1 == 1", "True", -1, true},
      {"1 == 2", "False", 0, false},
      {"'中文' + 'x'", "中文x", 0, false},
      {"'2.25'", "2.25", 2.25, std::nullopt},
      {"' +1e3 '", " +1e3 ", 1000, std::nullopt},
      {"'1,000'", "1,000", 0, std::nullopt},
      {"'0x10'", "0x10", 0, std::nullopt},
      {"'Infinity'", "Infinity", 0, std::nullopt},
      {"[2, 3]", "2,3", 0, std::nullopt},
      {"''", "", 0, false},
      {"undefined", "", 0, false},
      {"null", "", 0, false},
      {"no_such_name", "", 0, false},
      {"(", "", 0, false},
  };
  const ObjectRef engine = script_engine();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expression);
    EXPECT_EQ(object_call_text(engine, "Eval", {c.expression}), c.text);
    EXPECT_EQ(object_call_number(engine, "Eval", {c.expression}), c.number);
    if (c.flag) {
      EXPECT_EQ(object_call_bool(engine, "Eval", {c.expression}), *c.flag);
    }
  }
}

// Several arguments reach the method in the order given, with their types.
TEST_F(Automation, ArgumentsArriveInOrderWithTheirTypes) {
  const ObjectRef words = dictionary();
  EXPECT_TRUE(object_call_bool(words, "Exists", {"missing"}) == false);
  static_cast<void>(object_call_bool(words, "Add", {"name", "星光"}));
  static_cast<void>(object_call_bool(words, "Add", {"count", 42}));
  static_cast<void>(object_call_bool(words, "Add", {"ratio", 0.25}));
  static_cast<void>(object_call_bool(words, "Add", {"flag", true}));
  EXPECT_EQ(object_call_number(words, "Count"), 4);
  EXPECT_EQ(object_call_text(words, "Item", {"name"}), "星光");
  EXPECT_EQ(object_call_number(words, "Item", {"count"}), 42);
  EXPECT_EQ(object_call_number(words, "Item", {"ratio"}), 0.25);
  EXPECT_TRUE(object_call_bool(words, "Item", {"flag"}));
  EXPECT_TRUE(object_call_bool(words, "Exists", {"count"}));
}

TEST_F(Automation, PropertiesAreSetByName) {
  const ObjectRef words = dictionary();
  // Text comparison: keys then match without regard to case.
  EXPECT_TRUE(object_set(words, "CompareMode", 1));
  static_cast<void>(object_call_bool(words, "Add", {"Key", "v"}));
  EXPECT_TRUE(object_call_bool(words, "Exists", {"KEY"}));

  const ObjectRef engine = script_engine();
  EXPECT_TRUE(object_set(engine, "AllowUI", false));
  EXPECT_FALSE(object_set(engine, "NoSuchProperty", "x"));
  EXPECT_FALSE(object_set(ObjectRef(), "Language", "JavaScript"));
}

TEST_F(Automation, ObjectResultsCanBeCalledInTurn) {
  const ObjectRef engine = script_engine();
  const ObjectRef list = object_call_object(engine, "Eval", {"[10, 20, 30]"});
  ASSERT_FALSE(object_is_empty(list));
  EXPECT_EQ(object_call_number(list, "length"), 3);
  EXPECT_TRUE(object_is_empty(object_call_object(engine, "Eval", {"42"})));
  EXPECT_TRUE(object_is_empty(object_call_object(engine, "Eval", {"no_such_name"})));
}

TEST_F(Automation, UnknownClassesAndMembersFailWithoutHarm) {
  ObjectRef words = dictionary();
  EXPECT_FALSE(create_object(words, "No.Such.Class"));
  EXPECT_FALSE(create_object(words, "{00000000-0000-0000-0000-000000000001}"));
  EXPECT_FALSE(create_object(words, ""));
  // A failed creation leaves the variable's object in place.
  ASSERT_FALSE(object_is_empty(words));
  EXPECT_EQ(object_call_number(words, "Count"), 0);
  EXPECT_EQ(object_call_text(words, "NoSuchMethod"), "");
  EXPECT_FALSE(object_call_bool(words, "NoSuchMethod", {1, 2}));

  const ObjectRef nothing;
  EXPECT_EQ(object_call_text(nothing, "Item"), "");
  EXPECT_EQ(object_call_number(nothing, "Count"), 0);
  EXPECT_TRUE(object_is_empty(object_call_object(nothing, "Keys")));
}

// References are counted: a second variable keeps the object alive after the
// first lets go, and creating into a variable replaces its object.
TEST_F(Automation, VariablesShareReleaseAndReplaceObjects) {
  ObjectRef first = dictionary();
  static_cast<void>(object_call_bool(first, "Add", {"k", "v"}));
  ObjectRef second;
  object_assign(second, first);
  object_release(first);
  EXPECT_TRUE(object_is_empty(first));
  EXPECT_EQ(object_call_text(second, "Item", {"k"}), "v");

  ASSERT_TRUE(create_object(second, kDictionaryClass));
  EXPECT_EQ(object_call_number(second, "Count"), 0);
}

// A class found by its name in a type library file; a name the library lacks
// falls back to the ProgID, and a CLSID ignores the library.
TEST_F(Automation, ClassesComeFromTypeLibrariesOrTheirProgId) {
  char system_folder[MAX_PATH] = {};
  ASSERT_GT(GetSystemDirectoryA(system_folder, MAX_PATH), 0u);
  const std::string library_path = std::string(system_folder) + "\\wshom.ocx";
  struct Case { const char* name; std::string library; bool is_shell; };
  const Case cases[] = {
      {"WshShell", "wshom.ocx", true},
      {"wshshell", library_path, true},
      {"Scripting.Dictionary", "wshom.ocx", false},
      {kDictionaryClass, "wshom.ocx", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ObjectRef created;
    ASSERT_TRUE(create_object(created, c.name, c.library));
    if (c.is_shell) {
      EXPECT_NE(object_call_text(created, "ExpandEnvironmentStrings", {"%WINDIR%"}), "");
    } else {
      EXPECT_EQ(object_call_text(created, "Count"), "0");
    }
  }
  ObjectRef missing;
  EXPECT_FALSE(create_object(missing, "NoSuchClass", "wshom.ocx"));
  EXPECT_FALSE(create_object(missing, "WshShell", "no_such_library.tlb"));
  EXPECT_TRUE(object_is_empty(missing));
}

}  // namespace
}  // namespace lumen
