#pragma once
// What a Windows build configured an installer's version information and
// icon to be: the file cmake/InstallerResources.cmake writes beside each
// installer program (NAME.resources.txt, one "Key=Value" line each, UTF-8).

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace lumen::test {

struct ConfiguredResources {
  // CompanyName, FileDescription, FileVersion, LegalCopyright,
  // OriginalFilename, ProductName and ProductVersion.
  std::map<std::string, std::string> texts;
  // The icon's sizes in the icon file's order, such as "32x32".
  std::vector<std::string> icon_sizes;
};

// The file beside the program `program_path` (which ends in ".exe").
[[nodiscard]] std::string ConfiguredResourcesPath(const std::string& program_path);

// Nothing when the file cannot be read or a line has no "=".
[[nodiscard]] std::optional<ConfiguredResources> ReadConfiguredResources(const std::string& path);

}  // namespace lumen::test
