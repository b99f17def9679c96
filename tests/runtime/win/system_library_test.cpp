#include "runtime/win/system_library.hpp"

#include <gtest/gtest.h>
#include <windows.h>
#include <dbghelp.h>
#include <shlwapi.h>

#include <string>

#include "runtime/win/files.hpp"
#include "runtime/win/late_system_libraries.hpp"

namespace lumen::win {
namespace {

std::string system_folder() {
  char folder[MAX_PATH];
  const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
  return std::string(folder, length);
}

TEST(SystemLibrary, LoadsSystemLibrariesAndNothingElse) {
  HMODULE kernel = load_system_library("kernel32.dll");
  ASSERT_NE(kernel, nullptr);
  EXPECT_NE(GetProcAddress(kernel, "GetTickCount"), nullptr);
  EXPECT_EQ(load_system_library("no_such_library.dll"), nullptr);
}

TEST(SystemLibrary, NeverLoadsALibraryLyingBesideTheProgram) {
  // A copy of a system library under a name the system folder lacks, put
  // where the ordinary search would find it first.
  const std::string planted = program_directory() + "\\planted_beside_program.dll";
  ASSERT_TRUE(CopyFileA((system_folder() + "\\version.dll").c_str(), planted.c_str(), FALSE));
  HMODULE ordinary = LoadLibraryA("planted_beside_program.dll");
  EXPECT_NE(ordinary, nullptr) << "the ordinary search finds it";
  if (ordinary != nullptr) FreeLibrary(ordinary);
  EXPECT_EQ(load_system_library("planted_beside_program.dll"), nullptr);
  DeleteFileA(planted.c_str());
}

TEST(SystemLibrary, NeverLoadsItsImportsFromBesideTheProgram) {
  // A system library that imports one the system folder lacks: the build
  // leaves plantme.dll beside this program, where the ordinary search for a
  // library's imports looks first (and the working folder, as the
  // installer's, is the program's own).
  const std::string host = system_folder() + "\\lumen_plant_host.dll";
  ASSERT_TRUE(CopyFileA((program_directory() + "\\lumen_plant_host.dll").c_str(), host.c_str(), FALSE));
  ASSERT_TRUE(PathFileExistsA((program_directory() + "\\plantme.dll").c_str()));
  ASSERT_TRUE(SetCurrentDirectoryA(program_directory().c_str()));

  HMODULE loaded = load_system_library("lumen_plant_host.dll");
  HMODULE planted = GetModuleHandleA("plantme.dll");
  EXPECT_EQ(planted, nullptr) << "the library planted beside the program was loaded";
  EXPECT_EQ(loaded, nullptr) << "loaded with an import the system folder lacks";
  if (loaded != nullptr) FreeLibrary(loaded);
  DeleteFileA(host.c_str());
}

TEST(LateSystemLibraries, LoadOnTheFirstCallFromTheSystemFolder) {
  // Without the hook linked in, the helper would load with the ordinary
  // search and nothing else would show it.
  EXPECT_EQ(__pfnDliNotifyHook2, &load_late_system_library);
  EXPECT_EQ(GetModuleHandleA("dbghelp.dll"), nullptr) << "nothing before the first call loads it";

  const std::string folder = program_directory() + "\\late_library_test\\inner\\";
  ASSERT_TRUE(MakeSureDirectoryPathExists(folder.c_str()));
  EXPECT_TRUE(PathIsDirectoryA(folder.c_str()));
  RemoveDirectoryA(folder.c_str());
  RemoveDirectoryA((program_directory() + "\\late_library_test").c_str());

  HMODULE loaded = GetModuleHandleA("dbghelp.dll");
  ASSERT_NE(loaded, nullptr);
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(loaded, path, MAX_PATH);
  const std::string expected = system_folder() + "\\dbghelp.dll";
  EXPECT_EQ(lstrcmpiA(std::string(path, length).c_str(), expected.c_str()), 0) << path;
}

}  // namespace
}  // namespace lumen::win
