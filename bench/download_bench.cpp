// Drives the installer's downloader once, as the install step does, and
// reports what it fetched and how long the transfer took:
//   download_bench.exe URL TARGET_PATH
// prints "resumed_from=N bytes=N seconds=S bar=B" and exits 0 when the file
// is complete and in place, 1 otherwise.

#include <windows.h>

#include <cstdio>
#include <string>

#include "http/download_progress.hpp"
#include "http/downloader.hpp"
#include "http/win/url_transfer.hpp"
#include "runtime/win/files.hpp"
#include "runtime/win/system_file_system.hpp"

namespace {

// The wizard's label and bar, minus the window: what the install step
// computes after every block, kept so the last bar position can be shown.
class DiscardingDisplay final : public lumen::ProgressDisplay {
 public:
  void show_status(std::string_view) override {}
  void show_bar(int position) override { bar = position; }

  int bar = 0;
};

[[nodiscard]] double seconds_since(const LARGE_INTEGER& start) {
  LARGE_INTEGER now{};
  LARGE_INTEGER frequency{};
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: download_bench URL TARGET_PATH\n");
    return 2;
  }
  lumen::JobControl control;
  lumen::WinInetOpener web;
  lumen::SystemFileSystem files;
  lumen::SteadyClock clock;
  lumen::Downloader downloader({web, files, clock, lumen::program_directory()}, control);
  DiscardingDisplay display;
  LARGE_INTEGER start{};
  QueryPerformanceCounter(&start);
  if (!downloader.StartDownload(argv[1], argv[2])) {
    std::fprintf(stderr, "download_bench: the transfer did not start\n");
    return 1;
  }
  const std::int64_t resumed_from = downloader.DownloadedBytes();
  const bool complete =
      downloader.RunTransfer([&] { lumen::ShowDownloadProgress(downloader.Progress(), display); }, nullptr);
  const double seconds = seconds_since(start);
  std::printf("resumed_from=%lld bytes=%lld seconds=%.3f bar=%d\n", static_cast<long long>(resumed_from),
              static_cast<long long>(downloader.DownloadedBytes()), seconds, display.bar);
  return complete ? 0 : 1;
}
