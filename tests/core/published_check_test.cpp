#include "core/installer/published_check.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

namespace lumen::install {
namespace {

// A service may publish a `size` of its own meaning beside a version; only a
// whole number of bytes beside a checksum is taken for the file's size, and
// only a malformed checksum refuses the version.
TEST(PublishedCheck, CountsTheSizeOnlyAsBytesBesideAChecksum) {
  const std::string sha256(64, 'a');
  struct Case {
    const char* name;
    std::string sha256;
    std::optional<double> size;  // nothing: no number (absent, a text, a truth value)
    bool refused;
    std::optional<std::int64_t> counted;
  };
  const Case cases[] = {
      {"nothing published", "", std::nullopt, false, std::nullopt},
      {"checksum alone", sha256, std::nullopt, false, std::nullopt},
      {"checksum and size", sha256, 300000, false, 300000},
      {"checksum and an empty file", sha256, 0, false, 0},
      {"checksum and the largest exact size", sha256, 9007199254740992.0, false, 9007199254740992},
      {"size without checksum, perhaps kilobytes", "", 293, false, std::nullopt},
      {"fraction, perhaps megabytes", sha256, 35.2, false, std::nullopt},
      {"negative", sha256, -1, false, std::nullopt},
      {"beyond what a double holds exactly", sha256, 1e300, false, std::nullopt},
      {"a text such as 35.2M reads as no number", sha256, std::nullopt, false, std::nullopt},
      {"checksum in upper case", std::string(64, 'F'), 7, false, 7},
      {"checksum one digit short", sha256.substr(1), 300000, true, std::nullopt},
      {"checksum that is not hexadecimal", "g" + sha256.substr(1), std::nullopt, true, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DownVersionInfo version;
    version.version = "1.2.0";
    version.sha256 = c.sha256;
    version.size = c.size;
    const std::optional<PayloadCheck> check = PublishedCheck(version);
    ASSERT_EQ(!check, c.refused);
    if (!check) continue;
    EXPECT_EQ(check->version, "1.2.0");
    EXPECT_EQ(check->sha256, c.sha256);
    EXPECT_EQ(check->size, c.counted);
  }
}

}  // namespace
}  // namespace lumen::install
