#include "service/app_info_query.hpp"

#include <gtest/gtest.h>

#include "http/win/wininet_transport.hpp"
#include "service/app_query.hpp"
#include "runtime/win/files.hpp"
#include "service/win/script_control.hpp"
#include "tests/support/sha256.hpp"
#include "tests/support/win/programs.hpp"
#include "tests/support/win/service.hpp"

namespace lumen {
namespace {

constexpr std::string_view kKey = "Lx7Qp2Zr9Wm4Tn6Vb1Hc8Jd3Ks5Yf0Ga";

// What the start-up keeps of the query.
struct Query {
  Text StampedIdText;
  AppInfoRecord AppInfo;
  ByteBuffer AppIconBytes;
  bool ok = false;
};

// Runs the start-up query against the reference service, optionally through
// one of its scenarios.
Query query(std::string_view scenario, std::string_view stamp = "00000038", std::string_view key = kKey,
            std::string_view prefix = "") {
  const std::string base = test::service_url() + std::string(prefix) +
                           (scenario.empty() ? "" : "/scenario/" + std::string(scenario));
  win::WinInetTransport transport;
  Query q;
  q.StampedIdText = stamp;
  AppInfoAnswer answer =
      QueryAppInfo(q.StampedIdText, ServiceEndpoint{base, key}, AppInfoChannels{transport, start_script_control});
  q.ok = answer.record.has_value();
  if (answer.record) q.AppInfo = std::move(*answer.record);
  q.AppIconBytes = std::move(answer.icon);
  return q;
}

struct Picked {
  bool found;
  Text version;
  Text address;
};

Picked pick(const Query& q) {
  Picked p{};
  Text log;
  p.found = PickCurrentVersion(q.AppInfo, p.version, p.address, log);
  return p;
}

Text file_address(std::string_view file) { return test::service_url() + "/files/" + std::string(file); }

class AppInfoQuery : public testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(test::service_url().empty()) << "the rig runs no reference service"; }
};

TEST_F(AppInfoQuery, FillsTheRecordFromTheSampleApplication) {
  const Query q = query("");
  ASSERT_TRUE(q.ok);
  const AppInfoRecord& info = q.AppInfo;
  EXPECT_EQ(info.name, "StarlitPad");
  EXPECT_EQ(info.tryout_time, "30");
  EXPECT_EQ(info.icon, file_address("logo.ico"));
  EXPECT_EQ(info.agent_app.app_name, "星光记事本");
  ASSERT_EQ(info.agent_app.agent_model.size(), 2u);
  EXPECT_EQ(info.agent_app.agent_model[1].id, 2);
  EXPECT_EQ(info.agent_app.agent_model[0].name, "客服电话");
  ASSERT_EQ(info.file_model.size(), 1u);
  EXPECT_EQ(info.file_model[0].value, "打开即可使用。");
  ASSERT_EQ(info.down_model.size(), 1u);
  EXPECT_EQ(info.down_model[0].model_id, 1);
  ASSERT_EQ(info.down_model[0].value.size(), 1u);
  const DownVersionInfo& version = info.down_model[0].value[0];
  EXPECT_EQ(version.id, 11);
  EXPECT_EQ(version.is_up, 1);
  EXPECT_EQ(version.up_log, "新增夜间模式；修复保存时的崩溃。");

  const Picked p = pick(q);
  EXPECT_TRUE(p.found);
  EXPECT_EQ(p.version, "1.2.0");
  EXPECT_EQ(p.address, file_address("StarlitPad.exe"));

  // The icon is the distributor's icon file, byte for byte an ICO.
  ASSERT_GE(q.AppIconBytes.size(), 6u);
  EXPECT_EQ(ByteBuffer(q.AppIconBytes.begin(), q.AppIconBytes.begin() + 4), (ByteBuffer{0, 0, 1, 0}));
}

// Answers that fail the query leave the record exactly as it was created and
// fetch the (empty) icon address of that record.
TEST_F(AppInfoQuery, RefusedAndBrokenAnswersLeaveTheRecordAlone) {
  struct Case { const char* name; std::string_view scenario; std::string_view key; };
  const Case cases[] = {
      {"wrong secret key", "", "WrongKey"},
      {"refused by the service", "refused", kKey},
      {"not JSON", "malformed", kKey},
      {"no data, so no name", "no_data", kKey},
      {"unknown scenario (404 page)", "no_such_scenario", kKey},
  };
  for (const Case& c : cases) {
    const Query q = query(c.scenario, "00000038", c.key);
    EXPECT_FALSE(q.ok) << c.name;
    EXPECT_EQ(q.AppInfo.name, "") << c.name;
    EXPECT_EQ(q.AppInfo.down_model.size(), 1u) << c.name;
    EXPECT_TRUE(q.AppIconBytes.empty()) << c.name;
  }
}

TEST_F(AppInfoQuery, NamesThatWouldLeaveTheFolderOrEndSystemProcessesFailTheQuery) {
  for (const char* scenario : {"hostile_name_traversal", "hostile_name_slash", "hostile_name_drive",
                               "hostile_name_device", "hostile_name_system_process", "hostile_name_quote",
                               "hostile_name_line_break", "hostile_name_trailing_dot", "hostile_name_empty"}) {
    const Query q = query(scenario);
    EXPECT_FALSE(q.ok) << scenario;
    EXPECT_EQ(q.AppInfo.name, "") << scenario;
    EXPECT_EQ(q.AppInfo.agent_app.app_name, "") << scenario;
  }
}

// A broken or hostile icon address gives the empty icon, and the query's
// record stands; one refused for what it holds is never requested at all.
TEST_F(AppInfoQuery, ABrokenIconAddressGivesTheEmptyIcon) {
  for (const char* scenario : {"loop_icon", "stall_icon", "crlf_icon"}) {
    const Query q = query(scenario);
    EXPECT_TRUE(q.ok) << scenario;
    EXPECT_EQ(q.AppInfo.name, "StarlitPad") << scenario;
    EXPECT_TRUE(q.AppIconBytes.empty()) << scenario;
  }
}

// A query that redirects to itself, or whose server accepts and never
// answers, ends like a failed query instead of never.
TEST_F(AppInfoQuery, AQueryThatLoopsOrStallsFails) {
  for (const char* prefix : {"/loop", "/stall"}) {
    const Query q = query("", "00000038", kKey, prefix);
    EXPECT_FALSE(q.ok) << prefix;
    EXPECT_EQ(q.AppInfo.name, "") << prefix;
    EXPECT_TRUE(q.AppIconBytes.empty()) << prefix;
  }
}

TEST_F(AppInfoQuery, TextsKeepEveryControlCharacter) {
  const Query q = query("control_characters");
  ASSERT_TRUE(q.ok);
  ASSERT_EQ(q.AppInfo.down_model[0].value.size(), 1u);
  EXPECT_EQ(q.AppInfo.down_model[0].value[0].up_log, "a\x01" "b\x02" "c\x02\x01");
  EXPECT_EQ(q.AppInfo.down_model[0].value[0].version, "1.2.0");
  ASSERT_EQ(q.AppInfo.file_model.size(), 1u);
  EXPECT_EQ(q.AppInfo.file_model[0].value, "\x01");
  EXPECT_EQ(q.AppInfo.file_model[0].id, 1);
}

TEST_F(AppInfoQuery, ReadsAnAnswerWithSixtyThousandVersions) {
  const Query q = query("many_versions");
  ASSERT_TRUE(q.ok);
  ASSERT_EQ(q.AppInfo.down_model.size(), 1u);
  ASSERT_EQ(q.AppInfo.down_model[0].value.size(), 60000u);
  EXPECT_EQ(q.AppInfo.down_model[0].value[59998].id, 59998);
  const Picked p = pick(q);
  EXPECT_TRUE(p.found);
  EXPECT_EQ(p.version, "1.2.0");
  EXPECT_EQ(p.address, file_address("StarlitPad.exe"));
}

TEST_F(AppInfoQuery, ChoosesTheCurrentVersionAsTheServiceMarksIt) {
  struct Case { const char* scenario; bool found; Text version; Text address; std::size_t models; };
  const Case cases[] = {
      {"several_versions", true, "1.1", file_address("StarlitPad-1.1.exe"), 2},
      {"no_versions", false, "", "", 0},
      {"empty_versions", false, "", "", 1},
      {"empty_current_version", false, "", file_address("StarlitPad.exe?empty"), 1},
      {"fractional_code", true, "1.2.0", file_address("StarlitPad.exe"), 1},
  };
  for (const Case& c : cases) {
    const Query q = query(c.scenario);
    ASSERT_TRUE(q.ok) << c.scenario;
    EXPECT_EQ(q.AppInfo.down_model.size(), c.models) << c.scenario;
    const Picked p = pick(q);
    EXPECT_EQ(p.found, c.found) << c.scenario;
    EXPECT_EQ(p.version, c.version) << c.scenario;
    EXPECT_EQ(p.address, c.address) << c.scenario;
  }
}

TEST_F(AppInfoQuery, MembersOfTheWrongTypeGiveTheirTextFormsOrEmptyLists) {
  const Query q = query("wrong_types");
  ASSERT_TRUE(q.ok);
  const AppInfoRecord& info = q.AppInfo;
  EXPECT_EQ(info.tryout_time, "[object Object]");
  EXPECT_TRUE(info.file_model.empty());
  EXPECT_TRUE(info.agent_app.agent_model.empty());
  ASSERT_EQ(info.down_model.size(), 1u);
  EXPECT_EQ(info.down_model[0].value[0].id, 11) << "fractions are dropped";
}

TEST_F(AppInfoQuery, TheAgentIdComesFromTheStamp) {
  struct Case { const char* stamp; const char* app_name; const char* stamp_after; };
  const Case cases[] = {
      {"00000038", "agent 38", "00000038"},
      {"abcdefgh", "agent 1", "1"},
      {"", "agent 1", "1"},
  };
  for (const Case& c : cases) {
    const Query q = query("agent_as_app_name", c.stamp);
    ASSERT_TRUE(q.ok) << c.stamp;
    EXPECT_EQ(q.AppInfo.agent_app.app_name, c.app_name) << c.stamp;
    EXPECT_EQ(q.StampedIdText, c.stamp_after) << c.stamp;
  }
}

// The service publishes the checksum and size of the program it serves; the
// record keeps them as given, wrong ones included: judging them is the
// install's part.
TEST_F(AppInfoQuery, ReadsThePublishedChecksumAndSize) {
  const ByteBuffer served = read_file(test::built_program("StarlitPad.exe"));
  ASSERT_FALSE(served.empty());
  const std::string right = test::sha256_hex(served);
  const auto size = std::ssize(served);
  struct Case { const char* scenario; std::string sha256; std::optional<double> size; };
  const Case cases[] = {
      {"", right, size},
      {"wrong_size", right, size + 1},
      {"malformed_checksum", right.substr(0, 63), size},
      {"unchecked", "", std::nullopt},
      // A field of that name meaning something else: no number, and the
      // record still reads.
      {"text_size", right, std::nullopt},
      {"fractional_size", right, 35.2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.scenario);
    const Query q = query(c.scenario);
    ASSERT_TRUE(q.ok);
    const DownVersionInfo& version = q.AppInfo.down_model[0].value[0];
    EXPECT_EQ(version.sha256, c.sha256);
    EXPECT_EQ(version.size, c.size);
  }
  const Query wrong = query("wrong_checksum");
  const Text& published = wrong.AppInfo.down_model[0].value[0].sha256;
  EXPECT_EQ(published.size(), 64u);
  EXPECT_NE(published, right);
}

TEST(AppInfoQueryOffline, AServiceThatDoesNotAnswerFailsTheQuery) {
  win::WinInetTransport transport;
  Text stamp = "00000038";
  const AppInfoAnswer answer =
      QueryAppInfo(stamp, ServiceEndpoint{"http://127.0.0.1:9", kKey}, AppInfoChannels{transport, start_script_control});
  EXPECT_FALSE(answer.record.has_value());
}

}  // namespace
}  // namespace lumen
