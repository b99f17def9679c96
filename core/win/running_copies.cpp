#include "core/win/running_copies.hpp"

#include <windows.h>
#include <tlhelp32.h>

#include "runtime/win/unique_handle.hpp"

namespace lumen {

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
  for (const ProcessId id : all) {
    if (id != own) ids.append(id);
  }
  return ids.count();
}

bool TerminateProcessById(ProcessId id, bool other) {
  if (!other) id = GetCurrentProcessId();
  const win::KernelHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, id));
  return process && TerminateProcess(process.get(), 0);
}

}  // namespace lumen
