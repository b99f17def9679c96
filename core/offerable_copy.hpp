#pragma once
// Which running copies of the application the installer may offer to end.
// The service names the application, and a name alone cannot tell a copy of
// it from a process of the system that happens to share the name: no list of
// the system's process names is ever complete. Where a process's program
// lies can tell them apart.

#include <string_view>

namespace lumen {

// True for a process whose program lies outside the Windows folder and is
// not the installer's own file (another copy of the installer, which ending
// would stop that install halfway). `image_path` is empty when the process's
// path could not be read: such a process, another user's or a more
// privileged one, could not be ended either, and is never offered. Paths are
// compared with ASCII letters folded, as the file system does.
[[nodiscard]] bool IsOfferableCopy(std::string_view image_path, std::string_view windows_folder,
                                   std::string_view own_image_path);

}  // namespace lumen
