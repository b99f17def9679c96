// What Windows itself reads of the installer's version information (the
// file's Properties, the security prompt), against what the build was
// configured with; also from a signed copy stamped afterwards, whose stamp
// lies outside the image and its resources.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/core/configured_resources.hpp"
#include "tests/support/win/programs.hpp"

namespace lumen::test {
namespace {

std::wstring Wide(const std::string& text, UINT code_page) {
  std::wstring wide(MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), nullptr, 0), L'\0');
  MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                      static_cast<int>(wide.size()));
  return wide;
}

std::string Utf8(std::wstring_view text) {
  std::string narrow(
      WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), narrow.data(),
                      static_cast<int>(narrow.size()), nullptr, nullptr);
  return narrow;
}

// A program's version block as GetFileVersionInfo gives it.
struct VersionBlock {
  std::vector<char> bytes;

  explicit VersionBlock(const std::wstring& program) {
    DWORD ignored = 0;
    bytes.resize(GetFileVersionInfoSizeW(program.c_str(), &ignored));
    if (!bytes.empty() && !GetFileVersionInfoW(program.c_str(), 0, static_cast<DWORD>(bytes.size()), bytes.data())) {
      bytes.clear();
    }
  }
  // The value at `path`, or nothing.
  [[nodiscard]] std::pair<const void*, UINT> query(const std::wstring& path) {
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(bytes.data(), path.c_str(), &value, &length)) return {nullptr, 0};
    return {value, length};
  }
};

TEST(InstallerVersionInfo, WindowsReadsTheConfiguredTexts) {
  struct Case {
    const char* program;
    const char* built_as;  // whose configured texts it carries
  };
  const Case cases[] = {
      {"installer.exe", "installer.exe"},
      {"installer_rig_agent_name-signed-00004242.exe", "installer_rig_agent_name.exe"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.program);
    const std::optional<ConfiguredResources> configured =
        ReadConfiguredResources(ConfiguredResourcesPath(built_program(c.built_as)));
    ASSERT_TRUE(configured);
    VersionBlock block(Wide(built_program(c.program), CP_ACP));
    ASSERT_FALSE(block.bytes.empty()) << "no version information";

    for (const auto& [name, text] : configured->texts) {
      SCOPED_TRACE(name);
      const auto [value, length] = block.query(L"\\StringFileInfo\\080404b0\\" + Wide(name, CP_UTF8));
      ASSERT_NE(value, nullptr);
      // The length counts the terminating zero, when there is one.
      std::wstring_view found(static_cast<const wchar_t*>(value), length);
      if (!found.empty() && found.back() == L'\0') found.remove_suffix(1);
      EXPECT_EQ(Utf8(found), text);
    }

    const auto [translation, translation_length] = block.query(L"\\VarFileInfo\\Translation");
    ASSERT_EQ(translation_length, 4u);
    const auto* pair = static_cast<const WORD*>(translation);
    EXPECT_EQ(pair[0], 0x0804);  // Chinese (Simplified)
    EXPECT_EQ(pair[1], 1200);    // UTF-16

    const auto [fixed, fixed_length] = block.query(L"\\");
    ASSERT_EQ(fixed_length, sizeof(VS_FIXEDFILEINFO));
    const auto* info = static_cast<const VS_FIXEDFILEINFO*>(fixed);
    const std::string version = std::to_string(HIWORD(info->dwFileVersionMS)) + "." +
                                std::to_string(LOWORD(info->dwFileVersionMS)) + "." +
                                std::to_string(HIWORD(info->dwFileVersionLS)) + "." +
                                std::to_string(LOWORD(info->dwFileVersionLS));
    EXPECT_EQ(version, configured->texts.at("FileVersion"));
    EXPECT_EQ(info->dwProductVersionMS, info->dwFileVersionMS);
    EXPECT_EQ(info->dwProductVersionLS, info->dwFileVersionLS);
  }
}

}  // namespace
}  // namespace lumen::test
