#include "tests/core/configured_resources.hpp"

#include <fstream>
#include <sstream>

namespace lumen::test {

std::string ConfiguredResourcesPath(const std::string& program_path) {
  const std::string stem = program_path.substr(0, program_path.rfind('.'));
  return stem + ".resources.txt";
}

std::optional<ConfiguredResources> ReadConfiguredResources(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  ConfiguredResources configured;
  std::string line;
  while (std::getline(file, line)) {
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos) return std::nullopt;
    const std::string key = line.substr(0, equals);
    const std::string value = line.substr(equals + 1);
    if (key == "IconSizes") {
      std::istringstream sizes(value);
      for (std::string size; sizes >> size;) configured.icon_sizes.push_back(size);
    } else {
      configured.texts[key] = value;
    }
  }
  return configured;
}

}  // namespace lumen::test
