#include "core/win/wizard_progress.hpp"

#include "runtime/win/message_loop.hpp"

namespace lumen::wizard {

void WizardProgressDisplay::show_status(std::string_view text) { status_label_.set_text(text); }

void WizardProgressDisplay::show_bar(int position) { progress_bar_.set_progress(position); }

void WizardProgressDisplay::let_messages_run() { process_events(); }

}  // namespace lumen::wizard
