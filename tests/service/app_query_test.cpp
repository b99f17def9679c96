#include "service/app_query.hpp"

#include <gtest/gtest.h>

namespace lumen {
namespace {

TEST(AgentId, ComesFromTheStampAndIsNeverZero) {
  struct Case { const char* stamp; std::int32_t id; const char* stamp_after; };
  const Case cases[] = {
      {"00000038", 38, "00000038"},
      {"12345678", 12345678, "12345678"},
      {"00000000", 1, "1"},
      {"abcdefgh", 1, "1"},
      {"", 1, "1"},
      {"38abc", 38, "38abc"},
  };
  for (const Case& c : cases) {
    Text stamp = c.stamp;
    EXPECT_EQ(AgentIdFromStamp(stamp), c.id) << c.stamp;
    EXPECT_EQ(stamp, c.stamp_after) << c.stamp;
  }
}

TEST(QueryUrl, JoinsTheFixedPartsWithoutEncoding) {
  EXPECT_EQ(AppInfoQueryUrl("http://svc.example", kAppId, "KEY", 38),
            "http://svc.example/app_api/getapp_1?app_id=1&secret_key=KEY&agent_id=38");
}

DownVersionInfo version(std::int32_t is_now, const char* name, const char* address) {
  DownVersionInfo v;
  v.is_now = is_now;
  v.version = name;
  v.address = address;
  v.up_log = std::string("log ") + name;
  return v;
}

AppInfoRecord record_with(std::vector<std::vector<DownVersionInfo>> models) {
  AppInfoRecord info;
  info.down_model.clear();
  for (auto& versions : models) {
    DownModelInfo model;
    model.value = std::move(versions);
    info.down_model.push_back(std::move(model));
  }
  return info;
}

TEST(PickCurrentVersion, TakesTheLastCurrentEntryOfTheFirstModel) {
  struct Case {
    const char* name;
    AppInfoRecord info;
    bool found;
    const char* version;
    const char* address;
  };
  const Case cases[] = {
      {"fresh record", AppInfoRecord{}, false, "", ""},
      {"no models", record_with({}), false, "", ""},
      {"last current wins", record_with({{version(1, "1.0", "A"), version(1, "1.1", "B")}}), true, "1.1", "B"},
      {"other values are not current", record_with({{version(0, "1.0", "A"), version(2, "2.0", "B")}}), false, "", ""},
      {"empty version of the last current", record_with({{version(1, "1.0", "A"), version(1, "", "B")}}), false, "", "B"},
      {"current without address", record_with({{version(1, "1.0", "")}}), true, "1.0", ""},
      {"second model ignored", record_with({{version(0, "1.0", "A")}, {version(1, "9.9", "Z")}}), false, "", ""},
  };
  for (const Case& c : cases) {
    Text v, address, log;
    EXPECT_EQ(PickCurrentVersion(c.info, v, address, log), c.found) << c.name;
    EXPECT_EQ(v, c.version) << c.name;
    EXPECT_EQ(address, c.address) << c.name;
  }
}

TEST(PickCurrentVersion, LeavesTheOutValuesAloneWhenNothingIsCurrent) {
  const AppInfoRecord info = record_with({{version(0, "1.0", "A")}});
  Text v = "kept", address = "kept", log = "kept";
  EXPECT_TRUE(PickCurrentVersion(info, v, address, log));
  EXPECT_EQ(address, "kept");
}

TEST(InstallableName, AcceptsPlainFileNamesOnly) {
  struct Case { std::string_view name; bool ok; };
  const Case cases[] = {
      {"StarlitPad", true},
      {"Star Pad 2.0", true},
      {"a..b", true},
      {"星光", true},
      {"\x95\x5C", true},  // a character whose second byte is a backslash
      {"", false},
      {"..", false},
      {".", false},
      {"..\\..\\Windows\\explorer", false},
      {"sub/dir", false},
      {"C:evil", false},
      {"a\"b", false},
      {"line\r\nbreak", false},
      {"pipe|", false},
      {"star*", false},
      {"trailing.", false},
      {"trailing ", false},
      {"CON", false},
      {"com1", false},
      {"nul.txt", false},
      {"console", true},
      {"explorer", false},
      {"SvcHost", false},
      {"\x95", false},  // half a character
  };
  for (const Case& c : cases) EXPECT_EQ(IsInstallableName(c.name), c.ok) << c.name;
}

// C:\<name>\<name>.exe.tmp and its terminating zero fill at most 260 UTF-16
// units: 13 around two names of at most 123 characters each.
TEST(InstallableName, IsRefusedWhenTheDownloadsPathWouldNotFitInMaxPath) {
  struct Case { const char* name; Text text; bool ok; };
  const Text han = "\xD0\xC7";  // one character, two bytes
  const auto times = [](const Text& unit, int n) {
    Text text;
    for (int i = 0; i < n; ++i) text += unit;
    return text;
  };
  const Case cases[] = {
      {"122 letters", times("a", 122), true},
      {"123 letters: 258 units and the zero", times("a", 123), true},
      {"124 letters", times("a", 124), false},
      {"123 double-byte characters in 246 bytes", times(han, 123), true},
      {"124 double-byte characters", times(han, 124), false},
      {"mixed, 123 characters", times(han, 60) + times("a", 63), true},
      {"mixed, 124 characters", times(han, 60) + times("a", 64), false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsInstallableName(c.text), c.ok) << c.name;
}

// An address from the service that could carry header lines of its own into
// the request is never asked; a space is no such thing.
TEST(RequestableAddress, RefusesControlCharactersOnly) {
  struct Case { std::string_view address; bool requestable; };
  const Case cases[] = {
      {"http://127.0.0.1:18480/files/logo.ico", true},
      {"https://cdn.example/a%20b.exe?x=1&y=2", true},
      {"http://cdn.example/files/My App.exe", true},
      {"http://cdn.example/files/a.exe?name=My App ", true},
      {"http://cdn.example/\xD0\xC7\xB9\xE2.exe", true},  // code page 936 text
      {"http://cdn.example/~a!$'()*+,;=@[].exe", true},
      {"", true},  // fails later, like any address that cannot be opened
      {"http://cdn.example/logo.ico\r\nX-Injected: yes", false},
      {"http://cdn.example/logo.ico\n", false},
      {"http://cdn.example/a\tb.exe", false},
      {"http://cdn.example/a\x1f.exe", false},
      {"http://cdn.example/a\x7f.exe", false},
      {std::string_view("http://cdn.example/a\0.exe", 25), false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsRequestableAddress(c.address), c.requestable) << c.address;
}

}  // namespace
}  // namespace lumen
