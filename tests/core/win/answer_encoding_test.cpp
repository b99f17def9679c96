// The app-info answer in each encoding a service may use, queried from the
// rig's service as the start-up queries it, and the desktop shortcut the
// record's name then gives.

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>

#include "desktop/win/folder_of_kind.hpp"
#include "desktop/win/system_shortcut_routes.hpp"
#include "http/win/wininet_transport.hpp"
#include "runtime/win/files.hpp"
#include "service/app_info_query.hpp"
#include "service/win/script_control.hpp"
#include "tests/support/win/scratch_folder.hpp"
#include "tests/support/win/service.hpp"

namespace lumen {
namespace {

constexpr std::string_view kKey = "Lx7Qp2Zr9Wm4Tn6Vb1Hc8Jd3Ks5Yf0Ga";

std::optional<AppInfoRecord> query(std::string_view scenario) {
  const std::string base = test::service_url() + (scenario.empty() ? "" : "/scenario/" + std::string(scenario));
  win::WinInetTransport transport;
  Text stamp = "00000038";
  return QueryAppInfo(stamp, ServiceEndpoint{base, kKey}, AppInfoChannels{transport, start_script_control}).record;
}

// The links on the desktop whose names start like the sample's distributor
// name; removed before each case and at the end.
struct DesktopLinks {
  std::string desktop = FolderOfKind(0);
  ~DesktopLinks() { clear(); }

  [[nodiscard]] std::set<std::string> names() const {
    std::set<std::string> found;
    WIN32_FIND_DATAA entry{};
    HANDLE find = FindFirstFileA((desktop + "星光*.lnk").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return found;
    do found.insert(entry.cFileName);
    while (FindNextFileA(find, &entry));
    FindClose(find);
    return found;
  }
  void clear() const {
    for (const std::string& name : names()) DeleteFileA((desktop + name).c_str());
  }
};

TEST(AnswerEncoding, GivesTheSameRecordAndShortcutWhateverTheDeclaredEncoding) {
  ASSERT_FALSE(test::service_url().empty()) << "the rig runs no reference service";
  test::ScratchFolder scratch;
  const std::string program = scratch / "StarlitPad.exe";
  ASSERT_TRUE(write_file(program, to_buffer("MZ")));
  DesktopLinks links;
  ASSERT_FALSE(links.desktop.empty());

  struct Case { const char* scenario; bool record; const char* app_name; const char* link; };
  const Case cases[] = {
      {"", true, "星光记事本", "星光记事本.lnk"},  // GBK with its charset
      {"gbk_without_charset", true, "星光记事本", "星光记事本.lnk"},
      {"utf8_with_charset", true, "星光记事本", "星光记事本.lnk"},
      {"utf8_with_bom", true, "星光记事本", "星光记事本.lnk"},
      // Undeclared UTF-8 is read as code page 936, whose strict check refuses it.
      {"utf8_without_charset", false, "", nullptr},
      // An unknown charset is read as code page 936: these bytes are GBK.
      {"unknown_charset", true, "星光记事本", "星光记事本.lnk"},
      // A label that is wrong: the bytes are no UTF-8, so they are read as
      // they are, as code page 936.
      {"gbk_labelled_utf8", true, "星光记事本", "星光记事本.lnk"},
      // So are bytes after a byte-order mark that are no UTF-8, the mark
      // included, which the strict check then refuses.
      {"gbk_after_utf8_bom", false, "", nullptr},
      // A character code page 936 lacks becomes "?", which no file name takes.
      {"utf8_name_beyond_gbk", true, "星光?记事本", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(*c.scenario ? c.scenario : "GBK with charset");
    links.clear();
    const std::optional<AppInfoRecord> record = query(c.scenario);
    ASSERT_EQ(record.has_value(), c.record);
    if (!record) continue;
    EXPECT_EQ(record->name, "StarlitPad");
    EXPECT_EQ(record->agent_app.app_name, c.app_name);
    ASSERT_EQ(record->down_model.size(), 1u);
    ASSERT_EQ(record->down_model[0].value.size(), 1u);
    EXPECT_EQ(record->down_model[0].value[0].up_log, "新增夜间模式；修复保存时的崩溃。");

    MakeAppShortcut(record->agent_app.app_name, program, scratch / "logo.ico");
    EXPECT_EQ(links.names(), c.link ? std::set<std::string>{c.link} : std::set<std::string>{});
  }
}

}  // namespace
}  // namespace lumen
