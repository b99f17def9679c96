// Which running copies the installer offers to end: only programs outside
// the Windows folder, never the installer itself, never one whose path is
// unknown.

#include "core/offerable_copy.hpp"

#include <gtest/gtest.h>

namespace lumen {
namespace {

TEST(OfferableCopy, OnlyProgramsOutsideTheWindowsFolderThatAreNotTheInstaller) {
  constexpr std::string_view kWindows = "C:\\windows";
  constexpr std::string_view kOwn = "C:\\users\\me\\Downloads\\installer.exe";
  struct Case { const char* image_path; bool offered; };
  const Case cases[] = {
      {"C:\\StarlitPad\\StarlitPad.exe", true},
      {"D:\\Apps\\plugplay.exe", true},
      {"C:\\windowsapps\\plugplay.exe", true},  // a folder whose name merely starts the same
      {"C:\\windows\\system32\\winedevice.exe", false},
      {"C:\\windows\\system32\\plugplay.exe", false},
      {"c:\\WINDOWS\\explorer.exe", false},
      {"C:\\Windows\\SysWOW64\\svchost.exe", false},
      {"C:\\USERS\\me\\downloads\\INSTALLER.EXE", false},  // the installer's own file
      {"", false},                                       // a path that could not be read
  };
  for (const Case& c : cases) EXPECT_EQ(IsOfferableCopy(c.image_path, kWindows, kOwn), c.offered) << c.image_path;
  EXPECT_FALSE(IsOfferableCopy("C:\\windows\\plugplay.exe", "C:\\windows\\", kOwn)) << "a trailing backslash";
  EXPECT_FALSE(IsOfferableCopy("C:\\StarlitPad\\StarlitPad.exe", "", kOwn)) << "no Windows folder known";
}

}  // namespace
}  // namespace lumen
