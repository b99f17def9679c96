#include "runtime/win/forms/form.hpp"

#include <commdlg.h>

#include "runtime/file_dialog_filter.hpp"

namespace lumen::forms {

bool run_file_dialog(const ControlRef& dialog) {
  if (!dialog.exists()) return false;
  Form::ControlState& settings = dialog.form_->states_[*dialog.index_];
  const Text filter = platform_filter(settings.dialog_filter);
  Text file_name(MAX_PATH, '\0');
  OPENFILENAMEA request{};
  request.lStructSize = sizeof request;
  request.hwndOwner = dialog.form_->native_handle();
  request.lpstrFilter = settings.dialog_filter.empty() ? nullptr : filter.c_str();
  request.nFilterIndex = 1;
  request.lpstrFile = file_name.data();
  request.nMaxFile = static_cast<DWORD>(file_name.size());
  request.lpstrTitle = settings.dialog_title.empty() ? nullptr : settings.dialog_title.c_str();
  request.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
  const bool saving = settings.dialog_kind == DialogKind::SaveFile;
  if (!saving) request.Flags |= OFN_FILEMUSTEXIST;
  const BOOL chosen = saving ? GetSaveFileNameA(&request) : GetOpenFileNameA(&request);
  file_name.resize(file_name.find('\0'));
  // A dialog ended by a pending quit request may report success with no file.
  if (!chosen || file_name.empty()) return false;
  settings.dialog_file_name = file_name;
  return true;
}

}  // namespace lumen::forms
