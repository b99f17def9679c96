// What a Windows build put into its installer for Windows to show before the
// program runs, read from the program file: the manifest, the icon group and
// the version information, against what the build was configured with. Each
// Windows build runs this native program over its own installer, named by
// LUMEN_CHECKED_PROGRAM, with the configured texts in the file beside it.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "tests/core/configured_resources.hpp"
#include "tests/core/pe_resources.hpp"
#include "tests/core/version_resource.hpp"

namespace lumen::test {
namespace {

constexpr std::uint16_t kIcon = 3;
constexpr std::uint16_t kGroupIcon = 14;
constexpr std::uint16_t kVersion = 16;
constexpr std::uint16_t kManifest = 24;

struct BuiltInstaller : ::testing::Test {
  static void SetUpTestSuite() {
    const char* program = std::getenv("LUMEN_CHECKED_PROGRAM");
    ASSERT_NE(program, nullptr) << "LUMEN_CHECKED_PROGRAM names no program";
    std::ifstream file(program, std::ios::binary);
    ASSERT_TRUE(file) << program;
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
    resources = ReadProgramResources(bytes);
    ASSERT_TRUE(resources) << program << " is not a PE image with a sound resource directory";
    configured = ReadConfiguredResources(ConfiguredResourcesPath(program));
    ASSERT_TRUE(configured) << "no configured texts beside " << program;
  }
  static void TearDownTestSuite() {
    resources.reset();
    configured.reset();
  }
  void SetUp() override {
    if (!resources || !configured) GTEST_SKIP() << "the program could not be read";
  }

  static std::optional<ProgramResources> resources;
  static std::optional<ConfiguredResources> configured;
};
std::optional<ProgramResources> BuiltInstaller::resources;
std::optional<ConfiguredResources> BuiltInstaller::configured;

std::string WithoutComments(std::string xml) {
  return std::regex_replace(xml, std::regex("<!--[\\s\\S]*?-->"), "");
}

// The value of `attribute` in the first `element` of the XML, or "".
std::string Attribute(const std::string& xml, const std::string& element, const std::string& attribute) {
  std::smatch tag;
  if (!std::regex_search(xml, tag, std::regex("<(\\w+:)?" + element + "\\b[^>]*>"))) return {};
  const std::string text = tag.str();
  std::smatch value;
  if (!std::regex_search(text, value, std::regex("\\s" + attribute + "\\s*=\\s*\"([^\"]*)\""))) return {};
  return value[1];
}

TEST_F(BuiltInstaller, ManifestRunsAsTheUserOnEveryWindowsFromVista) {
  const Resource* manifest = resources->find(kManifest, 1);
  ASSERT_NE(manifest, nullptr) << "no manifest (type 24, id 1)";
  const std::string xml = WithoutComments({manifest->data.begin(), manifest->data.end()});

  EXPECT_EQ(Attribute(xml, "requestedExecutionLevel", "level"), "asInvoker");
  EXPECT_EQ(Attribute(xml, "requestedExecutionLevel", "uiAccess"), "false");

  std::set<std::string> listed;
  const std::regex supported("<(\\w+:)?supportedOS\\s+Id\\s*=\\s*\"([^\"]*)\"");
  for (auto it = std::sregex_iterator(xml.begin(), xml.end(), supported); it != std::sregex_iterator(); ++it) {
    listed.insert((*it)[2]);
  }
  const std::set<std::string> vista_to_eleven = {
      "{e2011457-1546-43c5-a5fe-008deee3d3f0}",  // Vista
      "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // 7
      "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // 8
      "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // 8.1
      "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // 10 and 11
  };
  EXPECT_EQ(listed, vista_to_eleven);

  // A manifest of another architecture stops the program from starting.
  EXPECT_EQ(Attribute(xml, "assemblyIdentity", "processorArchitecture"),
            resources->machine == 0x8664 ? "amd64" : "x86");
  EXPECT_EQ(Attribute(xml, "assemblyIdentity", "version"), configured->texts.at("FileVersion"));
  EXPECT_EQ(Attribute(xml, "assemblyIdentity", "type"), "win32");
  // The system scales the window drawn at its design size.
  EXPECT_EQ(xml.find("dpiAware"), std::string::npos);
}

TEST_F(BuiltInstaller, FirstIconGroupHoldsEveryConfiguredSize) {
  const Resource* group = resources->first(kGroupIcon);
  ASSERT_NE(group, nullptr) << "no icon group";
  // Explorer shows the first group; the window asks for id 1.
  ASSERT_TRUE(group->name.text.empty());
  EXPECT_EQ(group->name.id, 1);
  const std::vector<std::uint8_t>& data = group->data;
  ASSERT_GE(data.size(), 6u);
  ASSERT_EQ(data[2] | data[3] << 8, 1) << "not an icon group";
  const std::size_t count = data[4] | data[5] << 8;
  ASSERT_EQ(data.size(), 6 + 14 * count);

  std::vector<std::string> sizes;
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t* entry = &data[6 + 14 * i];
    const int width = entry[0] == 0 ? 256 : entry[0];
    const int height = entry[1] == 0 ? 256 : entry[1];
    sizes.push_back(std::to_string(width) + "x" + std::to_string(height));
    const std::uint32_t bytes = entry[8] | entry[9] << 8 | entry[10] << 16 | std::uint32_t{entry[11]} << 24;
    const std::uint16_t id = static_cast<std::uint16_t>(entry[12] | entry[13] << 8);
    const Resource* image = resources->find(kIcon, id);
    ASSERT_NE(image, nullptr) << "the group names icon " << id << ", which is missing";
    EXPECT_EQ(image->data.size(), bytes) << "icon " << id;
  }
  EXPECT_EQ(sizes, configured->icon_sizes);
}

TEST_F(BuiltInstaller, VersionInformationCarriesTheConfiguredTexts) {
  const Resource* resource = resources->find(kVersion, 1);
  ASSERT_NE(resource, nullptr) << "no version information";
  const std::optional<VersionInfo> version = ReadVersionInfo(resource->data);
  ASSERT_TRUE(version) << "the version information is malformed";

  std::array<std::uint16_t, 4> configured_version{};
  std::istringstream numbers(configured->texts.at("FileVersion"));
  char dot = 0;
  numbers >> configured_version[0] >> dot >> configured_version[1] >> dot >> configured_version[2] >> dot >>
      configured_version[3];
  EXPECT_EQ(version->file_version, configured_version);
  EXPECT_EQ(version->product_version, configured_version);
  EXPECT_EQ(version->file_os, 0x40004u);  // Windows NT
  EXPECT_EQ(version->file_type, 1u);      // an application

  // Simplified Chinese in UTF-16 (0804, code page 1200), and only that.
  ASSERT_EQ(version->string_tables.size(), 1u);
  ASSERT_TRUE(version->string_tables.contains("080404b0"));
  EXPECT_EQ(version->string_tables.at("080404b0"), configured->texts);
  EXPECT_EQ(version->translations, std::vector<std::uint32_t>{0x04B00804});
}

}  // namespace
}  // namespace lumen::test
