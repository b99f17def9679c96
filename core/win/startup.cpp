#include "core/win/startup.hpp"

#include <future>
#include <utility>

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

// The service's answer and the stamp's text as the query left it (a stamp
// without a number becomes "1").
struct QueryOutcome {
  AppInfoAnswer answer;
  Text stamped_id_text;
};

// Asks the service on a thread of its own, which works on its own copy of the
// stamp and hands the outcome back whole: nothing is shared with the window's
// thread while it runs.
std::future<QueryOutcome> start_query(Text stamped_id_text, const ServiceEndpoint& service) {
  return std::async(std::launch::async, [id = std::move(stamped_id_text), &service]() mutable {
    win::WinInetTransport transport;
    AppInfoAnswer answer = QueryAppInfo(id, service, AppInfoChannels{transport, start_script_control});
    return QueryOutcome{std::move(answer), std::move(id)};
  });
}

}  // namespace

std::unique_ptr<wizard::WizardForm> StartUp(ProgramState& state, const ServiceEndpoint& service,
                                            install::Installer& installer, InstallDesktop& desktop) {
  ReadStampedId(state);
  // Three things at once: the query waits on the network, the decoding on the
  // processor, and this thread makes the window, hidden until both are done.
  std::future<wizard::DesignImages> images = wizard::start_decoding_design_images(state.Widgets);
  std::future<QueryOutcome> query = start_query(state.StampedIdText, service);
  auto window = std::make_unique<wizard::WizardForm>(state, installer, desktop);
  const bool created = window->Create();

  QueryOutcome outcome = query.get();
  state.StampedIdText = std::move(outcome.stamped_id_text);
  state.AppIconBytes = std::move(outcome.answer.icon);
  if (!outcome.answer.record || !created) return nullptr;
  state.AppInfo = std::move(*outcome.answer.record);

  Array<ProcessId> copies;
  if (FindRunningCopies(state, copies) >= 1 && !EndRunningCopies(copies)) return nullptr;

  window->Open(images.get());
  return window;
}

}  // namespace lumen
