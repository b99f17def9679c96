#include "core/win/wizard_progress.hpp"

#include "core/wizard_design.hpp"
#include "runtime/win/message_loop.hpp"

namespace lumen::wizard {

void WizardProgressDisplay::show_status(std::string_view text) { form_.control(kStatusLabel).set_text(text); }

void WizardProgressDisplay::show_bar(int position) { form_.control(kProgressBar).set_progress(position); }

void WizardProgressDisplay::let_messages_run() { process_events(); }

}  // namespace lumen::wizard
