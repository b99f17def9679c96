#pragma once
// Answering the open-file dialog of this process from a second thread while
// the test's thread waits inside the modal call.

#include <windows.h>

#include <string>

namespace lumen::test {

struct FileDialogAnswer {
  std::string title;  // the dialog is found by its title
  std::string file;   // typed into the file name box; empty: cancel
  std::string first_filter;  // out: the first entry of the file type box
};

// Thread procedure: answers the dialog once it is up, again and again until
// it is gone (on a busy machine it may still be setting itself up when first
// found). Its context is a FileDialogAnswer; gives 0 once the dialog closed.
DWORD WINAPI answer_file_dialog(void* context);

}  // namespace lumen::test
