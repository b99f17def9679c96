#include "tests/core/pe_resources.hpp"

#include <algorithm>

namespace lumen::test {
namespace {

constexpr std::uint32_t kHighBit = 0x80000000;
constexpr std::size_t kResourceDirectoryIndex = 2;

// Little-endian reads that refuse to pass the end of the bytes.
class Bytes {
 public:
  explicit Bytes(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  [[nodiscard]] bool holds(std::size_t at, std::size_t count) const {
    return at <= bytes_.size() && count <= bytes_.size() - at;
  }
  [[nodiscard]] std::optional<std::uint32_t> number(std::size_t at, std::size_t width) const {
    if (!holds(at, width)) return std::nullopt;
    std::uint32_t value = 0;
    for (std::size_t i = width; i-- > 0;) value = value << 8 | bytes_[at + i];
    return value;
  }
  [[nodiscard]] std::optional<std::uint32_t> u16(std::size_t at) const { return number(at, 2); }
  [[nodiscard]] std::optional<std::uint32_t> u32(std::size_t at) const { return number(at, 4); }
  [[nodiscard]] std::span<const std::uint8_t> slice(std::size_t at, std::size_t count) const {
    return bytes_.subspan(at, count);
  }

 private:
  std::span<const std::uint8_t> bytes_;
};

struct Section {
  std::uint32_t address;
  std::uint32_t size;
  std::uint32_t file_offset;
};

// Where the image's address `rva` lies in the file.
std::optional<std::size_t> FileOffset(const std::vector<Section>& sections, std::uint32_t rva) {
  for (const Section& section : sections) {
    if (rva >= section.address && rva - section.address < section.size) {
      return std::size_t{section.file_offset} + (rva - section.address);
    }
  }
  return std::nullopt;
}

// Walks the three levels of the resource directory (type, name, language)
// that starts at `root` in the file.
class DirectoryWalk {
 public:
  DirectoryWalk(const Bytes& file, const std::vector<Section>& sections, std::size_t root)
      : file_(file), sections_(sections), root_(root) {}

  [[nodiscard]] bool read(std::vector<Resource>& out) { return level(0, 0, {}, out); }

 private:
  [[nodiscard]] bool level(std::uint32_t offset, int depth, Resource path, std::vector<Resource>& out) {
    const std::size_t at = root_ + offset;
    const auto named = file_.u16(at + 12);
    const auto numbered = file_.u16(at + 14);
    if (!named || !numbered) return false;
    for (std::uint32_t i = 0; i < *named + *numbered; ++i) {
      const auto name = file_.u32(at + 16 + 8 * i);
      const auto target = file_.u32(at + 16 + 8 * i + 4);
      if (!name || !target) return false;
      const std::optional<ResourceName> key = entry_name(*name);
      if (!key) return false;
      Resource next = path;
      if (depth == 0) next.type = *key;
      if (depth == 1) next.name = *key;
      if (depth == 2) next.language = key->id;
      const bool subdirectory = (*target & kHighBit) != 0;
      if (subdirectory != (depth < 2)) return false;
      if (subdirectory ? !level(*target & ~kHighBit, depth + 1, next, out) : !data(*target, next, out)) return false;
    }
    return true;
  }

  [[nodiscard]] std::optional<ResourceName> entry_name(std::uint32_t name) const {
    if ((name & kHighBit) == 0) return ResourceName{{}, static_cast<std::uint16_t>(name)};
    const std::size_t at = root_ + (name & ~kHighBit);
    const auto length = file_.u16(at);
    if (!length || !file_.holds(at + 2, 2 * std::size_t{*length})) return std::nullopt;
    ResourceName result;
    for (std::size_t i = 0; i < *length; ++i) result.text.push_back(static_cast<char16_t>(*file_.u16(at + 2 + 2 * i)));
    return result;
  }

  [[nodiscard]] bool data(std::uint32_t offset, Resource resource, std::vector<Resource>& out) const {
    const auto rva = file_.u32(root_ + offset);
    const auto size = file_.u32(root_ + offset + 4);
    if (!rva || !size) return false;
    const std::optional<std::size_t> at = FileOffset(sections_, *rva);
    if (!at || !file_.holds(*at, *size)) return false;
    const auto bytes = file_.slice(*at, *size);
    resource.data.assign(bytes.begin(), bytes.end());
    out.push_back(std::move(resource));
    return true;
  }

  const Bytes& file_;
  const std::vector<Section>& sections_;
  std::size_t root_;
};

}  // namespace

const Resource* ProgramResources::first(std::uint16_t type) const {
  for (const Resource& resource : resources) {
    if (resource.type.text.empty() && resource.type.id == type) return &resource;
  }
  return nullptr;
}

const Resource* ProgramResources::find(std::uint16_t type, std::uint16_t id) const {
  for (const Resource& resource : resources) {
    if (resource.type.text.empty() && resource.type.id == type && resource.name.text.empty() &&
        resource.name.id == id) {
      return &resource;
    }
  }
  return nullptr;
}

std::optional<ProgramResources> ReadProgramResources(std::span<const std::uint8_t> content) {
  const Bytes file(content);
  if (file.u16(0) != 0x5A4D) return std::nullopt;  // "MZ"
  const auto pe = file.u32(0x3C);
  if (!pe || file.u32(*pe) != 0x00004550) return std::nullopt;  // "PE\0\0"
  const auto machine = file.u16(*pe + 4);
  const auto section_count = file.u16(*pe + 6);
  const auto optional_size = file.u16(*pe + 20);
  const std::size_t optional_header = *pe + 24;
  const auto magic = file.u16(optional_header);
  if (!machine || !section_count || !optional_size || !magic) return std::nullopt;
  // PE32 and PE32+ differ in where the data directories start.
  std::size_t directories = 0;
  if (*magic == 0x10B) {
    directories = optional_header + 96;
  } else if (*magic == 0x20B) {
    directories = optional_header + 112;
  } else {
    return std::nullopt;
  }
  const auto directory_count = file.u32(directories - 4);
  if (!directory_count || *directory_count <= kResourceDirectoryIndex) return std::nullopt;
  const auto resource_rva = file.u32(directories + 8 * kResourceDirectoryIndex);
  if (!resource_rva) return std::nullopt;

  std::vector<Section> sections;
  const std::size_t table = optional_header + *optional_size;
  for (std::size_t i = 0; i < *section_count; ++i) {
    const std::size_t at = table + 40 * i;
    const auto virtual_size = file.u32(at + 8);
    const auto address = file.u32(at + 12);
    const auto raw_size = file.u32(at + 16);
    const auto raw_offset = file.u32(at + 20);
    if (!virtual_size || !address || !raw_size || !raw_offset) return std::nullopt;
    // Only the bytes the file holds; the rest of a section is zeros in memory.
    sections.push_back({*address, std::min(*virtual_size, *raw_size), *raw_offset});
  }

  ProgramResources result;
  result.machine = static_cast<std::uint16_t>(*machine);
  if (*resource_rva == 0) return result;
  const std::optional<std::size_t> root = FileOffset(sections, *resource_rva);
  if (!root) return std::nullopt;
  DirectoryWalk walk(file, sections, *root);
  if (!walk.read(result.resources)) return std::nullopt;
  return result;
}

}  // namespace lumen::test
