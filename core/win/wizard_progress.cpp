#include "core/win/wizard_progress.hpp"


namespace lumen::wizard {

void WizardProgressDisplay::show_status(std::string_view text) { status_label_.set_text(text); }

void WizardProgressDisplay::show_bar(int position) { progress_bar_.set_progress(position); }


}  // namespace lumen::wizard
