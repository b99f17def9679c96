#pragma once
// The run-wide values the parts of the installer share. One instance lives
// from process start to process end; its release is the program's finaliser.

#include <cstdint>

#include "service/app_info.hpp"
#include "runtime/byte_buffer.hpp"
#include "runtime/job_control.hpp"
#include "runtime/text.hpp"
#include "widgets/widget_state.hpp"

namespace lumen {

struct ProgramState {
  // The installer's last eight bytes as text; "1" once the query found no
  // number other than 0 in it.
  Text StampedIdText;
  // Body of the distributor's icon, written as logo.ico.
  ByteBuffer AppIconBytes;
  AppInfoRecord AppInfo;
  // Full path of the application's executable in the install folder.
  Text ProgramPath;
  // Always ends in a backslash.
  Text InstallFolder;
  // The install job's control: held while the quit question is open,
  // stopped once the user confirmed quitting.
  JobControl downloadCancelled;
  // The graphics start-up's tokens and the image buttons' shared tooltip.
  widgets::WidgetState Widgets;
};

// The process's one program state, created on first use (process start).
[[nodiscard]] ProgramState& program_state();

}  // namespace lumen
