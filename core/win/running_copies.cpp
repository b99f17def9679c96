#include "core/win/running_copies.hpp"

#include <windows.h>
#include <tlhelp32.h>

#include "core/offerable_copy.hpp"
#include "runtime/win/unique_handle.hpp"

namespace lumen {
namespace {

// The full path of the process's program; empty when the process cannot be
// asked: gone, or another user's or a more privileged one. Such a process
// could not be ended either: this query is the least right there is to a
// process, granted wherever ending it is, and across integrity levels where
// ending it is not.
[[nodiscard]] Text ImagePathOf(ProcessId id) {
  const win::KernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
  if (!process) return {};
  Text path(MAX_PATH, '\0');
  auto length = static_cast<DWORD>(path.size());
  if (!QueryFullProcessImageNameA(process.get(), 0, path.data(), &length)) return {};
  path.resize(length);
  return path;
}

[[nodiscard]] Text WindowsFolder() {
  Text folder(MAX_PATH, '\0');
  const UINT length = GetSystemWindowsDirectoryA(folder.data(), static_cast<UINT>(folder.size()));
  folder.resize(length < folder.size() ? length : 0);
  return folder;
}

[[nodiscard]] Text OwnImagePath() {
  Text path(MAX_PATH, '\0');
  const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
  path.resize(length < path.size() ? length : 0);
  return path;
}

}  // namespace

std::int32_t FindProcessesByName(std::string_view executable_name, Array<ProcessId>& ids) {
  ids.clear();
  const win::FileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPALL, 0));
  if (!snapshot) return -1;
  const Text sought = to_lower(executable_name);
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot.get(), &entry); more; more = Process32Next(snapshot.get(), &entry)) {
    const std::string_view file_name(entry.szExeFile, strnlen(entry.szExeFile, sizeof entry.szExeFile));
    if (to_lower(file_name) == sought) ids.append(entry.th32ProcessID);
  }
  return ids.count();
}

std::int32_t FindRunningCopies(const ProgramState& state, Array<ProcessId>& ids) {
  ids.clear();
  Array<ProcessId> all;
  if (FindProcessesByName(state.AppInfo.name + ".exe", all) < 1) return 0;
  const ProcessId own = GetCurrentProcessId();
  const Text windows_folder = WindowsFolder();
  const Text own_image = OwnImagePath();
  for (const ProcessId id : all) {
    if (id != own && IsOfferableCopy(ImagePathOf(id), windows_folder, own_image)) ids.append(id);
  }
  return ids.count();
}

bool TerminateProcessById(ProcessId id, bool other) {
  if (!other) id = GetCurrentProcessId();
  const win::KernelHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, id));
  return process && TerminateProcess(process.get(), 0);
}

}  // namespace lumen
