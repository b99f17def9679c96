#include "runtime/win/system_library.hpp"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "runtime/win/files.hpp"

namespace lumen::win {
namespace {

TEST(SystemFunction, FindsSystemFunctionsAndNothingElse) {
  auto* tick = system_function<decltype(GetTickCount)>("kernel32.dll", "GetTickCount");
  ASSERT_NE(tick, nullptr);
  EXPECT_GT(tick(), 0u);
  EXPECT_EQ((system_function<decltype(GetTickCount)>("kernel32.dll", "NoSuchFunction")), nullptr);
  EXPECT_EQ((system_function<decltype(GetTickCount)>("no_such_library.dll", "GetTickCount")), nullptr);
}

TEST(SystemFunction, NeverLoadsALibraryLyingBesideTheProgram) {
  // A copy of a system library under a name the system folder lacks, put
  // where the ordinary search would find it first.
  char system_folder[MAX_PATH];
  ASSERT_GT(GetSystemDirectoryA(system_folder, MAX_PATH), 0u);
  const std::string planted = program_directory() + "\\planted_beside_program.dll";
  ASSERT_TRUE(CopyFileA((std::string(system_folder) + "\\version.dll").c_str(), planted.c_str(), FALSE));
  HMODULE ordinary = LoadLibraryA("planted_beside_program.dll");
  EXPECT_NE(ordinary, nullptr) << "the ordinary search finds it";
  if (ordinary != nullptr) FreeLibrary(ordinary);
  EXPECT_EQ((system_function<decltype(GetTickCount)>("planted_beside_program.dll", "GetFileVersionInfoSizeA")),
            nullptr);
  DeleteFileA(planted.c_str());
}

}  // namespace
}  // namespace lumen::win
