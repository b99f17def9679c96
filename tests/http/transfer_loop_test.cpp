#include "http/transfer_loop.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

#include "http/download_request.hpp"

namespace lumen {
namespace {

// A body that hands out prepared reads one by one, then the end of the data.
class ScriptedBody final : public ResponseBody {
 public:
  explicit ScriptedBody(std::deque<BodyRead> reads) : reads_(std::move(reads)) {}

  BodyRead read(std::span<std::uint8_t> into) override {
    ++calls;
    if (reads_.empty()) return {true, 0};
    BodyRead next = reads_.front();
    reads_.pop_front();
    next.count = std::min(next.count, into.size());
    for (std::size_t i = 0; i < next.count; ++i) into[i] = static_cast<std::uint8_t>('a' + (served_++ % 26));
    return next;
  }
  void interrupt() noexcept override {}

  int calls = 0;

 private:
  std::deque<BodyRead> reads_;
  std::size_t served_ = 0;
};

// A file whose writes fail once `limit` bytes are in it.
class FullDisk final : public File {
 public:
  explicit FullDisk(std::int64_t limit) : limit_(limit) {}
  std::int64_t size() const override { return size_; }
  std::int64_t position() const override { return size_; }
  bool seek(std::int64_t offset) override { return offset == size_; }
  std::size_t read(std::span<std::uint8_t>) override { return 0; }
  bool write(std::span<const std::uint8_t> bytes) override {
    if (size_ + std::ssize(bytes) > limit_) return false;
    size_ += std::ssize(bytes);
    return true;
  }

 private:
  std::int64_t limit_;
  std::int64_t size_ = 0;
};

[[nodiscard]] Text content_of(File& file) {
  EXPECT_TRUE(seek_to_start(file));
  return read_text(file);
}

struct Outcome {
  TransferEnd end;
  DownloadCount count;
  int progress_calls;
};

[[nodiscard]] Outcome pump(ResponseBody& body, File& sink, DownloadCount count) {
  JobControl control;
  int progress_calls = 0;
  SteadyClock clock;
  const TransferEnd end = PumpBody(body, sink, count, control, clock, [&] { ++progress_calls; });
  return {end, count, progress_calls};
}

// The announced size tells a complete body from one whose connection was
// cut: both end with a read of zero bytes.
TEST(PumpBody, CompletesOnlyAtTheAnnouncedSize) {
  struct Case {
    const char* name;
    std::deque<BodyRead> reads;
    DownloadCount start;
    TransferEnd end;
    std::int64_t downloaded;
    int progress_calls;
  };
  const Case cases[] = {
      {"all of it", {{true, 3}, {true, 2}}, {0, 5}, TransferEnd::Complete, 5, 2},
      {"cut short", {{true, 3}}, {0, 5}, TransferEnd::LengthMismatch, 3, 1},
      {"nothing arrives", {}, {0, 5}, TransferEnd::LengthMismatch, 0, 0},
      {"more than announced", {{true, 3}, {true, 3}}, {0, 5}, TransferEnd::LengthMismatch, 6, 2},
      {"no size announced", {{true, 3}, {true, 2}}, {0, std::nullopt}, TransferEnd::Complete, 5, 2},
      {"resumed to the end", {{true, 2}}, {3, 5}, TransferEnd::Complete, 5, 1},
      {"empty file", {}, {0, 0}, TransferEnd::Complete, 0, 0},
      {"read fails", {{true, 3}, {false, 0}}, {0, 5}, TransferEnd::ReadFailed, 3, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedBody body(c.reads);
    FileNumber file = open_memory_file();
    const Outcome outcome = pump(body, *file, c.start);
    EXPECT_EQ(outcome.end, c.end);
    EXPECT_EQ(outcome.count.downloaded, c.downloaded);
    EXPECT_EQ(outcome.count.total, c.start.total);
    EXPECT_EQ(outcome.progress_calls, c.progress_calls);
  }
}

TEST(PumpBody, AppendsAtTheFilePositionInBlocks) {
  ScriptedBody body({{true, kTransferBlockSize + 100}, {true, 4}});
  FileNumber file = open_memory_file();
  ASSERT_TRUE(write_text(*file, "KEPT"));
  const Outcome outcome = pump(body, *file, {4, std::nullopt});
  EXPECT_EQ(outcome.end, TransferEnd::Complete);
  // The first read asks for a block.
  EXPECT_EQ(outcome.count.downloaded, 4 + static_cast<std::int64_t>(kTransferBlockSize) + 4);
  const Text content = content_of(*file);
  ASSERT_EQ(content.size(), 4 + kTransferBlockSize + 4);
  EXPECT_EQ(content.substr(0, 8), "KEPTabcd");
}

// A clock on which every read takes `per_read`.
class SteppingClock final : public Clock {
 public:
  explicit SteppingClock(std::chrono::milliseconds per_read) : half_(per_read / 2) {}
  std::chrono::steady_clock::time_point now() override { return at_ += half_; }

 private:
  std::chrono::steady_clock::duration half_;
  std::chrono::steady_clock::time_point at_;
};

// A body that fills every read and records what each asked for.
class EndlessBody final : public ResponseBody {
 public:
  BodyRead read(std::span<std::uint8_t> into) override {
    asked.push_back(into.size());
    if (asked.size() > 14) return {true, 0};
    std::fill(into.begin(), into.end(), std::uint8_t{7});
    return {true, into.size()};
  }
  void interrupt() noexcept override {}
  std::vector<std::size_t> asked;
};

TEST(PumpBody, ReadsAsMuchAsTheLineDeliversQuickly) {
  struct Case { const char* name; std::chrono::milliseconds per_read; std::vector<std::size_t> first_asks; };
  const Case cases[] = {
      {"fast line: growing to a megabyte", std::chrono::milliseconds(1),
       {20480, 40960, 81920, 163840, 327680, 655360, 1048576, 1048576}},
      {"slow line: shrinking to a kilobyte", std::chrono::milliseconds(200),
       {20480, 10240, 5120, 2560, 1280, 1024, 1024}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EndlessBody body;
    FileNumber file = open_memory_file();
    JobControl control;
    SteppingClock clock(c.per_read);
    DownloadCount count;
    EXPECT_EQ(PumpBody(body, *file, count, control, clock, nullptr), TransferEnd::Complete);
    ASSERT_GE(body.asked.size(), c.first_asks.size());
    EXPECT_EQ(std::vector<std::size_t>(body.asked.begin(), body.asked.begin() + std::ssize(c.first_asks)),
              c.first_asks);
  }
}

TEST(PumpBody, StopsWhenAWriteFails) {
  ScriptedBody body({{true, 3}, {true, 3}, {true, 3}});
  FullDisk disk(4);
  const Outcome outcome = pump(body, disk, {0, 9});
  EXPECT_EQ(outcome.end, TransferEnd::WriteFailed);
  EXPECT_EQ(outcome.count.downloaded, 3);
  EXPECT_EQ(body.calls, 2);
}

TEST(PumpBody, LooksAtTheJobsControlBeforeEveryRead) {
  {
    // Stopped by a window handler that runs inside the progress callback.
    ScriptedBody body({{true, 3}, {true, 3}, {true, 3}});
    FileNumber file = open_memory_file();
    JobControl control;
    DownloadCount count{0, 9};
    SteadyClock clock;
    EXPECT_EQ(PumpBody(body, *file, count, control, clock, [&] { control.Stop(); }), TransferEnd::Cancelled);
    EXPECT_EQ(body.calls, 1);
    EXPECT_EQ(count.downloaded, 3);
    EXPECT_EQ(content_of(*file), "abc");
  }
  {
    ScriptedBody body({{true, 3}});
    FileNumber file = open_memory_file();
    JobControl control;
    control.Stop();
    DownloadCount count{0, 3};
    SteadyClock clock;
    EXPECT_EQ(PumpBody(body, *file, count, control, clock, nullptr), TransferEnd::Cancelled);
    EXPECT_EQ(body.calls, 0);
  }
}

// A body whose reads hand out `chunk` bytes each, counting them, until one
// of them waits for data that never comes; only an interrupt ends that one.
class StallingBody final : public ResponseBody {
 public:
  StallingBody(std::size_t chunk, int reads_before_stall) : chunk_(chunk), left_(reads_before_stall) {}

  BodyRead read(std::span<std::uint8_t> into) override {
    std::unique_lock lock(mutex_);
    ++reads_;
    changed_.notify_all();
    if (left_ > 0) {
      --left_;
      std::fill_n(into.begin(), chunk_, std::uint8_t{'x'});
      return {true, chunk_};
    }
    stalled_ = true;
    changed_.notify_all();
    changed_.wait(lock, [this] { return interrupted_; });
    return {false, 0};
  }
  void interrupt() noexcept override {
    const std::lock_guard lock(mutex_);
    interrupted_ = true;
    changed_.notify_all();
  }
  void wait_until_stalled() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return stalled_; });
  }
  [[nodiscard]] int reads() {
    const std::lock_guard lock(mutex_);
    return reads_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::size_t chunk_;
  int left_;
  int reads_ = 0;
  bool stalled_ = false;
  bool interrupted_ = false;
};

TEST(PumpBody, AStopEndsAReadThatWaitsOnAStalledServer) {
  StallingBody body(1000, 2);
  FileNumber file = open_memory_file();
  JobControl control;
  DownloadCount count{0, 10000};
  SteadyClock clock;
  auto pumping = std::async(std::launch::async, [&] { return PumpBody(body, *file, count, control, clock, nullptr); });
  body.wait_until_stalled();
  control.Stop();
  EXPECT_EQ(pumping.get(), TransferEnd::Cancelled) << "the stop, not a failed read";
  EXPECT_EQ(count.downloaded, 2000);
  EXPECT_EQ(file->size(), 2000) << "what arrived before the stall is kept";
}

TEST(PumpBody, AHeldJobMakesNoReadUntilReleased) {
  StallingBody body(1000, 5);
  FileNumber file = open_memory_file();
  JobControl control;
  DownloadCount count{0, 5000};
  SteadyClock clock;
  std::promise<void> held;
  auto pumping = std::async(std::launch::async, [&] {
    return PumpBody(body, *file, count, control, clock, [&] {
      if (count.downloaded == 2000) {
        control.Hold();
        held.set_value();
      }
    });
  });
  held.get_future().wait();
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(body.reads(), 2) << "no read while the job is held";
  control.Release();
  body.wait_until_stalled();
  EXPECT_EQ(body.reads(), 6);
  control.Stop();
  EXPECT_EQ(pumping.get(), TransferEnd::Cancelled);
  EXPECT_EQ(count.downloaded, 5000);
}

}  // namespace
}  // namespace lumen
