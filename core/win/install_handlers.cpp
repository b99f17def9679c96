// The install action's handlers: bound in the design, not written yet. Each
// does nothing until the install action fills it in.

#include "core/win/wizard_form.hpp"

namespace lumen::wizard {

void WizardForm::OnBrowseClicked() {}
void WizardForm::OnInstallClicked() {}
void WizardForm::OnRunClicked() {}
void WizardForm::OnChooseClicked() {}
void WizardForm::OnManualInstallClicked() {}
void WizardForm::OnCloseClicked() {}

}  // namespace lumen::wizard
