#pragma once
// The install folder as the wizard builds it from the user's choice, and the
// files a completed installation leaves in it.

#include <string_view>

#include "runtime/text.hpp"

namespace lumen {

inline constexpr std::string_view kOemKeyFileName = "OEM.key";
inline constexpr std::string_view kLogoFileName = "logo.ico";

// The folder the application goes into when the user chose `chosen`: its own
// folder inside the chosen one ("D:\" gives "D:\App\", "D:\Games" gives
// "D:\Games\App\").
[[nodiscard]] Text InstallFolderInside(std::string_view chosen, std::string_view app_name);

// The folder offered before the user chooses one: "C:\App\".
[[nodiscard]] Text DefaultInstallFolder(std::string_view app_name);

// install_folder (ending in a backslash) + app_name + ".exe".
[[nodiscard]] Text ProgramPathIn(std::string_view install_folder, std::string_view app_name);

}  // namespace lumen
