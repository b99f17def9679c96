#pragma once
// The download's progress on the installing page: the status label and the bar.

#include "http/download_progress.hpp"
#include "runtime/win/forms/form.hpp"

namespace lumen::wizard {

class WizardProgressDisplay final : public ProgressDisplay {
 public:
  WizardProgressDisplay(forms::ControlRef status_label, forms::ControlRef progress_bar) noexcept
      : status_label_(status_label), progress_bar_(progress_bar) {}

  void show_status(std::string_view text) override;
  void show_bar(int position) override;

 private:
  forms::ControlRef status_label_;
  forms::ControlRef progress_bar_;
};

}  // namespace lumen::wizard
