// The downloader's range handling and its failures, against servers and a
// disk played in memory.

#include "http/downloader.hpp"

#include <gtest/gtest.h>

#include "tests/support/memory_file_system.hpp"
#include "tests/support/scripted_web.hpp"

namespace lumen {
namespace {

using test::MemoryFileSystem;
using test::ScriptedRequest;
using test::ScriptedResponse;
using test::ScriptedWeb;

constexpr std::string_view kUrl = "http://downloads.example/app.exe";
constexpr std::string_view kTarget = "C:\\App\\app.exe";
constexpr std::string_view kTemp = "C:\\App\\app.exe.tmp";

ByteBuffer program_bytes(std::size_t size) {
  ByteBuffer bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + (i >> 9));
  return bytes;
}

ByteBuffer first(const ByteBuffer& bytes, std::size_t n) { return ByteBuffer(bytes.begin(), bytes.begin() + n); }

struct Outcome {
  bool started = false;
  bool finished = false;
  DownloadFailure failure = DownloadFailure::None;
  int progress_calls = 0;
  int cancel_calls = 0;
  DownloadCount at_start;
};

// One StartDownload and, when it succeeds, one RunTransfer; the cancel flag
// is set inside the progress callback once `cancel_after` bytes are there.
Outcome download(ScriptedWeb& web, MemoryFileSystem& files, std::int64_t cancel_after = -1) {
  CancelFlag cancelled{0};
  Downloader downloader({web, files, "C:\\Setup"}, cancelled);
  Outcome run;
  run.started = downloader.StartDownload(kUrl, kTarget);
  run.at_start = downloader.Progress();
  if (run.started) {
    run.finished = downloader.RunTransfer(
        [&] {
          ++run.progress_calls;
          if (cancel_after >= 0 && downloader.DownloadedBytes() >= cancel_after) cancelled = 1;
        },
        [&] { ++run.cancel_calls; });
  }
  run.failure = downloader.Failure();
  return run;
}

class DownloaderTest : public testing::Test {
 protected:
  void SetUp() override { files.add_folder("C:\\App"); }

  const ByteBuffer program = program_bytes(100000);
  MemoryFileSystem files;
};

TEST_F(DownloaderTest, ResumesFromTheTemporaryFileWithARangeRequest) {
  struct Case { const char* name; std::optional<std::size_t> kept; const char* range; };
  const Case cases[] = {
      {"no temporary file", std::nullopt, nullptr},
      {"an empty temporary file", 0, nullptr},
      {"part of the file", 30000, "\r\nRange:bytes=30000-"},
      {"all but one byte", 99999, "\r\nRange:bytes=99999-"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryFileSystem disk;
    disk.add_folder("C:\\App");
    if (c.kept) disk.put(kTemp, first(program, *c.kept));
    ScriptedWeb web = ScriptedWeb::serving(program);

    const Outcome run = download(web, disk);
    ASSERT_TRUE(run.started);
    EXPECT_TRUE(run.finished);
    EXPECT_EQ(run.at_start.downloaded, std::int64_t(c.kept.value_or(0)));
    EXPECT_EQ(run.at_start.total, std::ssize(program));
    EXPECT_EQ(disk.content(kTarget), program);
    EXPECT_FALSE(disk.has(kTemp));
    ASSERT_EQ(web.requests.size(), 1u);
    EXPECT_EQ(web.requests[0].url, kUrl);
    if (c.range) {
      EXPECT_TRUE(web.requests[0].headers.ends_with(c.range)) << web.requests[0].headers;
    } else {
      EXPECT_EQ(web.requests[0].headers.find("Range"), std::string::npos);
    }
  }
}

// A server that sends the whole file to a range request, or cannot serve the
// range, gets the file started over; one whose part does not continue the
// temporary file gets nothing written.
TEST_F(DownloaderTest, NeverAppendsWhatDoesNotContinueTheTemporaryFile) {
  const ByteBuffer stale(30000, 0xEE);
  struct Case {
    const char* name;
    ScriptedWeb::Answer answer;
    bool finished;
    DownloadFailure failure;
    std::size_t requests;
  };
  const Case cases[] = {
      {"200 to a range: started over",
       [&](const ScriptedRequest& r) { return std::optional(test::serve_file(program, r.headers, false)); }, true,
       DownloadFailure::None, 1},
      {"206 from the wrong offset",
       [&](const ScriptedRequest&) {
         return std::optional(ScriptedResponse{.status = 206, .content_length = 1000,
                                               .content_range = "bytes 5000-5999/100000",
                                               .body = ByteBuffer(1000, 1)});
       },
       false, DownloadFailure::Status, 1},
      {"an error page",
       [&](const ScriptedRequest&) {
         return std::optional(ScriptedResponse{.status = 404, .content_length = 9, .body = to_buffer("not found")});
       },
       false, DownloadFailure::Status, 1},
      {"no server", [&](const ScriptedRequest&) { return std::optional<ScriptedResponse>(); }, false,
       DownloadFailure::Connect, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryFileSystem disk;
    disk.put(kTemp, stale);
    ScriptedWeb web(c.answer);
    const Outcome run = download(web, disk);
    EXPECT_EQ(run.finished, c.finished);
    EXPECT_EQ(run.failure, c.failure);
    EXPECT_EQ(web.requests.size(), c.requests);
    if (c.finished) {
      EXPECT_EQ(disk.content(kTarget), program);
      EXPECT_FALSE(disk.has(kTemp));
    } else {
      EXPECT_FALSE(disk.has(kTarget));
      EXPECT_EQ(disk.content(kTemp), stale) << "the temporary file is left as it was";
    }
  }
}

TEST_F(DownloaderTest, AFileLongerThanTheResourceIsFetchedWhole) {
  files.put(kTemp, program_bytes(100500));
  ScriptedWeb web = ScriptedWeb::serving(program);
  const Outcome run = download(web, files);
  EXPECT_TRUE(run.finished);
  ASSERT_EQ(web.requests.size(), 2u) << "the range, then the whole file";
  EXPECT_EQ(web.requests[1].headers.find("Range"), std::string::npos);
  EXPECT_EQ(files.content(kTarget), program);
}

// Whatever stops a transfer part way keeps what arrived for the next run and
// never gives the program its name.
TEST_F(DownloaderTest, KeepsWhatArrivedWhenTheTransferStopsShort) {
  struct Case {
    const char* name;
    std::optional<std::size_t> cut_after;
    bool read_fails = false;
    std::optional<std::int64_t> space;
    std::int64_t cancel_after = -1;
    DownloadFailure failure;
    std::size_t kept;
  };
  const Case cases[] = {
      {"connection cut", 45000, false, std::nullopt, -1, DownloadFailure::Cut, 45000},
      {"read fails", 45000, true, std::nullopt, -1, DownloadFailure::Cut, 45000},
      {"disk full", std::nullopt, false, 50000, -1, DownloadFailure::Write, 40960},
      {"cancelled", std::nullopt, false, std::nullopt, 40000, DownloadFailure::None, 40960},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryFileSystem disk;
    disk.add_folder("C:\\App");
    disk.space_left = c.space;
    ScriptedWeb web([&](const ScriptedRequest& r) {
      ScriptedResponse response = test::serve_file(program, r.headers);
      response.cut_after = c.cut_after;
      response.read_fails_at_cut = c.read_fails;
      return std::optional(response);
    });
    const Outcome run = download(web, disk, c.cancel_after);
    ASSERT_TRUE(run.started);
    EXPECT_FALSE(run.finished);
    EXPECT_EQ(run.failure, c.failure);
    EXPECT_EQ(run.cancel_calls, c.cancel_after >= 0 ? 1 : 0);
    EXPECT_FALSE(disk.has(kTarget));
    EXPECT_EQ(disk.content(kTemp), first(program, c.kept));
  }
}

// Every length the answer gives is held against what arrives: a part's
// Content-Range total stands in for a missing Content-Length, and a part
// whose two lengths disagree is not written at all. Only a body with no
// length anywhere is taken as whole when it ends.
TEST_F(DownloaderTest, HoldsTheBodyToEveryLengthTheAnswerGives) {
  struct Case {
    const char* name;
    std::optional<std::int64_t> content_length;
    const char* content_range;
    bool started;
    bool finished;
    DownloadFailure failure;
  };
  const Case cases[] = {
      {"206 cut, Content-Range only", std::nullopt, "bytes 30000-99999/100000", true, false, DownloadFailure::Cut},
      {"206 cut, Content-Range with the wrong Content-Length", 50000, "bytes 30000-99999/100000", false, false,
       DownloadFailure::Status},
      {"206 cut, total unknown, Content-Length", 70000, "bytes 30000-99999/*", true, false, DownloadFailure::Cut},
      {"206 cut, no length anywhere", std::nullopt, "bytes 30000-99999/*", true, true, DownloadFailure::None},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryFileSystem disk;
    disk.add_folder("C:\\App");
    disk.put(kTemp, first(program, 30000));
    ScriptedWeb web([&](const ScriptedRequest&) {
      return std::optional(ScriptedResponse{.status = 206, .content_length = c.content_length,
                                            .content_range = c.content_range,
                                            .body = ByteBuffer(program.begin() + 30000, program.end()),
                                            .cut_after = 40000});
    });
    const Outcome run = download(web, disk);
    EXPECT_EQ(run.started, c.started);
    EXPECT_EQ(run.finished, c.finished);
    EXPECT_EQ(run.failure, c.failure);
    if (c.finished) continue;
    EXPECT_FALSE(disk.has(kTarget));
    EXPECT_EQ(disk.content(kTemp), first(program, c.started ? 70000 : 30000));
  }
}

TEST_F(DownloaderTest, AFailedMoveLeavesTheCompleteTemporaryFile) {
  files.moves_fail = true;
  ScriptedWeb web = ScriptedWeb::serving(program);
  const Outcome run = download(web, files);
  EXPECT_FALSE(run.finished);
  EXPECT_EQ(run.failure, DownloadFailure::Move);
  EXPECT_EQ(files.content(kTemp), program);
}

TEST_F(DownloaderTest, ReportsProgressAfterEveryBlock) {
  ScriptedWeb web = ScriptedWeb::serving(program);
  const Outcome run = download(web, files);
  EXPECT_TRUE(run.finished);
  EXPECT_EQ(run.progress_calls, 5) << "100000 bytes in blocks of 20480";
}

}  // namespace
}  // namespace lumen
