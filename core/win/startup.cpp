#include "core/win/startup.hpp"

#include "core/win/read_stamped_id.hpp"
#include "core/win/running_copies.hpp"
#include "http/win/wininet_transport.hpp"
#include "runtime/win/message_box.hpp"
#include "service/app_info_query.hpp"
#include "service/win/script_control.hpp"

namespace lumen {
namespace {

constexpr std::uint32_t kYesNoQuestion = MB_YESNO | MB_ICONQUESTION;

// Asks whether to end the running copies; true when they were to be ended
// (and were asked to end), false when the user declined.
[[nodiscard]] bool EndRunningCopies(const Array<ProcessId>& copies) {
  const MessageBoxAnswer answer =
      message_box("发现软件正在运行中，请问是否关闭软件立即安装？", kYesNoQuestion, "安装向导");
  if (answer == MessageBoxAnswer::No) return false;
  // The installer does not wait for them: the install itself comes much later.
  for (const ProcessId id : copies) (void)TerminateProcessById(id, true);
  return true;
}

}  // namespace

std::unique_ptr<wizard::WizardForm> StartUp(ProgramState& state, const ServiceEndpoint& service) {
  ReadStampedId(state);

  win::WinInetTransport transport;
  if (!QueryAppInfo(state, service, AppInfoChannels{transport, start_script_control})) return nullptr;

  Array<ProcessId> copies;
  if (FindRunningCopies(state, copies) >= 1 && !EndRunningCopies(copies)) return nullptr;

  return wizard::LoadWizardWindow(state);
}

}  // namespace lumen
