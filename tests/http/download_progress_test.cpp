#include "http/download_progress.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace lumen {
namespace {

const Text kPrefix = "正在下载请稍后...";

TEST(ProgressViewOf, ShowsThePercentageInSinglePrecision) {
  struct Case { DownloadCount count; const char* shown; int bar; };
  const Case cases[] = {
      {{1500, 3000}, "50%", 50},
      {{1, 3}, "33.33%", 33},
      {{2, 3}, "66.67%", 66},
      {{455, 1000}, "45.5%", 45},
      {{0, 1000}, "0%", 0},
      {{3000, 3000}, "100%", 100},
      {{99999, 100000}, "100%", 100},
      {{99994, 100000}, "99.99%", 99},
      // Past the announced size the bar stays full.
      {{4000, 3000}, "133.33%", 100},
      {{123'456'789, 209'715'200}, "58.87%", 58},
      {{5'000'000'000, 10'000'000'000}, "50%", 50},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shown);
    const DownloadProgressView view = ProgressViewOf(c.count);
    EXPECT_EQ(view.label, kPrefix + c.shown);
    EXPECT_EQ(view.bar, c.bar);
  }
}

// Without an announced size there is no percentage to divide out.
TEST(ProgressViewOf, ShowsTheAmountReceivedWithoutASize) {
  struct Case { DownloadCount count; const char* shown; };
  const Case cases[] = {
      {{0, std::nullopt}, "0 KB"},
      {{20480, std::nullopt}, "20 KB"},
      {{1048575, std::nullopt}, "1023 KB"},
      {{1048576, std::nullopt}, "1 MB"},
      {{1572864, std::nullopt}, "1.5 MB"},
      {{209715200, std::nullopt}, "200 MB"},
      {{20480, 0}, "20 KB"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shown);
    const DownloadProgressView view = ProgressViewOf(c.count);
    EXPECT_EQ(view.label, kPrefix + c.shown);
    EXPECT_EQ(view.bar, 0);
  }
}

class RecordingDisplay final : public ProgressDisplay {
 public:
  void show_status(std::string_view text) override { steps.push_back("status " + Text(text)); }
  void show_bar(int position) override { steps.push_back("bar " + std::to_string(position)); }

  std::vector<Text> steps;
};

TEST(ShowDownloadProgress, UpdatesLabelAndBar) {
  RecordingDisplay display;
  ShowDownloadProgress({1500, 3000}, display);
  const std::vector<Text> want = {"status " + kPrefix + "50%", "bar 50"};
  EXPECT_EQ(display.steps, want);
}

}  // namespace
}  // namespace lumen
