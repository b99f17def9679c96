#pragma once
// The resources of a Windows program (PE32 or PE32+), read from its file's
// bytes: what a build put into the program for Windows to show.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace lumen::test {

// A resource type or name: a number, or a text when `text` is not empty.
struct ResourceName {
  std::u16string text;
  std::uint16_t id = 0;
};

struct Resource {
  ResourceName type;
  ResourceName name;
  std::uint16_t language = 0;
  std::vector<std::uint8_t> data;
};

struct ProgramResources {
  std::uint16_t machine = 0;  // 0x14c i386, 0x8664 x86-64
  // In the order of the resource directory, which is the order Windows
  // searches: named entries first, then numbers from the lowest.
  std::vector<Resource> resources;

  // The first resource of a numbered type, or of that type and number.
  [[nodiscard]] const Resource* first(std::uint16_t type) const;
  [[nodiscard]] const Resource* find(std::uint16_t type, std::uint16_t id) const;
};

// Nothing when the bytes are not a PE image or its resource directory
// reaches outside the file.
[[nodiscard]] std::optional<ProgramResources> ReadProgramResources(std::span<const std::uint8_t> file);

}  // namespace lumen::test
