#include "core/win/startup.hpp"

#include "core/install_messages.hpp"
#include "core/win/design_images.hpp"
#include "core/win/read_stamped_id.hpp"
#include "core/win/running_copies.hpp"
#include "http/win/wininet_transport.hpp"
#include "runtime/win/message_box.hpp"
#include "service/app_info_query.hpp"
#include "service/win/script_control.hpp"

namespace lumen {
namespace {

// Asks whether to end the running copies; true when they were to be ended
// (and were asked to end), false when the user declined.
[[nodiscard]] bool EndRunningCopies(const Array<ProcessId>& copies) {
  const MessageBoxAnswer answer = message_box(kEndRunningCopiesQuestion.text, kEndRunningCopiesQuestion.style,
                                              kEndRunningCopiesQuestion.title);
  if (answer == MessageBoxAnswer::No) return false;
  // The installer does not wait for them: the install itself comes much later.
  for (const ProcessId id : copies) (void)TerminateProcessById(id, true);
  return true;
}

}  // namespace

std::unique_ptr<wizard::WizardForm> StartUp(ProgramState& state, const ServiceEndpoint& service) {
  ReadStampedId(state);
  // Decoded meanwhile: the query waits on the network, the decoding on the
  // processor.
  std::future<wizard::DesignImages> images = wizard::start_decoding_design_images(state.Widgets);

  win::WinInetTransport transport;
  AppInfoAnswer answer = QueryAppInfo(state.StampedIdText, service, AppInfoChannels{transport, start_script_control});
  state.AppIconBytes = std::move(answer.icon);
  if (!answer.record) return nullptr;
  state.AppInfo = std::move(*answer.record);

  Array<ProcessId> copies;
  if (FindRunningCopies(state, copies) >= 1 && !EndRunningCopies(copies)) return nullptr;

  return wizard::LoadWizardWindow(state, images.get());
}

}  // namespace lumen
