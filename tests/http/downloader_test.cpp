// The downloader's range handling and its failures, against servers and a
// disk played in memory.

#include "http/downloader.hpp"

#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <vector>

#include "tests/support/memory_file_system.hpp"
#include "tests/support/scripted_web.hpp"
#include "tests/support/sha256.hpp"

namespace lumen {
namespace {

using test::MemoryFileSystem;
using test::ScriptedRequest;
using test::ScriptedResponse;
using test::ScriptedWeb;

constexpr std::string_view kUrl = "http://downloads.example/app.exe";
constexpr std::string_view kTarget = "C:\\App\\app.exe";
constexpr std::string_view kTemp = "C:\\App\\app.exe.tmp";
constexpr std::string_view kRecord = "C:\\App\\app.exe.tmp.source";

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

// Writes the record an earlier run of this download would have left.
void keep_record(MemoryFileSystem& files, const PartialRecord& record) {
  files.put(kRecord, to_buffer(*FormatPartialRecord(record)));
}

// One StartDownload and, when it succeeds, one RunTransfer; the job is
// stopped inside the progress callback once `cancel_after` bytes are there.
Outcome download(ScriptedWeb& web, MemoryFileSystem& files, std::int64_t cancel_after = -1,
                 const PayloadCheck& check = {}, DigestMaker* digests = nullptr) {
  JobControl control;
  SteadyClock clock;
  test::Sha256Maker own_digests;
  Downloader downloader({web, files, clock, "C:\\Setup", digests ? digests : &own_digests}, control);
  Outcome run;
  run.started = downloader.StartDownload(kUrl, kTarget, check);
  run.at_start = downloader.Progress();
  if (run.started) {
    run.finished = downloader.RunTransfer(
        [&] {
          ++run.progress_calls;
          if (cancel_after >= 0 && downloader.DownloadedBytes() >= cancel_after) control.Stop();
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
    keep_record(disk, {Text(kUrl), "", std::ssize(program), ""});
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
    keep_record(disk, {Text(kUrl), "", std::ssize(program), ""});
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
  keep_record(files, {Text(kUrl), "", 200000, ""});
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
      {"disk full", std::nullopt, false, 50000, -1, DownloadFailure::Write, 20480},
      {"cancelled", std::nullopt, false, std::nullopt, 40000, DownloadFailure::None, 61440},
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
      // A part that does not name the recorded total cannot be shown to
      // continue the same file: nothing of it is written.
      {"206, total unknown, Content-Length", 70000, "bytes 30000-99999/*", false, false, DownloadFailure::Status},
      {"206, no length anywhere", std::nullopt, "bytes 30000-99999/*", false, false, DownloadFailure::Status},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryFileSystem disk;
    disk.add_folder("C:\\App");
    disk.put(kTemp, first(program, 30000));
    keep_record(disk, {Text(kUrl), "", std::ssize(program), ""});
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
  EXPECT_EQ(run.progress_calls, 3) << "100000 bytes in reads of 20480, 40960 and the rest";
}

// A server whose file carries an ETag and that honours If-Range: a range
// asked with another tag gets the whole file.
ScriptedWeb serving_tagged(const ByteBuffer& file, std::string tag) {
  return ScriptedWeb([&file, tag](const ScriptedRequest& r) {
    const std::size_t at = r.headers.find("\r\nIf-Range:");
    const bool tag_matches = at == std::string::npos || r.headers.substr(at + 11) == tag;
    ScriptedResponse response = test::serve_file(file, r.headers, tag_matches);
    response.raw_headers = "HTTP/1.1 " + std::to_string(response.status) + " X\r\nETag: " + tag + "\r\n";
    return std::optional(response);
  });
}

// What a partial file may be continued with: only the rest of the same
// file. Anything else starts over, or, resumed on a checksum's word and
// failing it, is fetched once more from its first byte.
TEST_F(DownloaderTest, ContinuesAPartialFileOnlyWithTheSameFile) {
  ByteBuffer other_version = program_bytes(120000);  // what an older version's download left
  for (std::uint8_t& byte : other_version) byte ^= 0xFF;
  const PayloadCheck unchecked{"2.0", std::nullopt, ""};
  const PayloadCheck checked{"2.0", std::ssize(program), test::sha256_hex(program)};
  const PartialRecord same{Text(kUrl), "2.0", std::ssize(program), "\"v2\""};
  struct Case {
    const char* name;
    ByteBuffer kept;
    std::optional<PartialRecord> record;
    PayloadCheck check;
    std::vector<std::string> ranges;  // the Range line of each request, "" for none
  };
  const Case cases[] = {
      {"the record matches", first(program, 30000), same, unchecked,
       {"\r\nRange:bytes=30000-\r\nIf-Range:\"v2\""}},
      {"the record matches, checked", first(program, 30000), same, checked,
       {"\r\nRange:bytes=30000-\r\nIf-Range:\"v2\""}},
      {"another version's record", first(other_version, 30000),
       PartialRecord{Text(kUrl), "1.0", std::ssize(other_version), "\"v1\""}, checked, {""}},
      {"another address's record", first(program, 30000),
       PartialRecord{"http://mirror.example/app.exe", "2.0", std::ssize(program), ""}, unchecked, {""}},
      {"the file's length changed since the record", first(program, 30000),
       PartialRecord{Text(kUrl), "2.0", std::ssize(other_version), ""}, unchecked,
       {"\r\nRange:bytes=30000-", ""}},
      {"a length other than the published size", first(program, 30000),
       PartialRecord{Text(kUrl), "2.0", 99000, ""}, PayloadCheck{"2.0", 100000, ""}, {""}},
      {"a broken record", first(program, 30000), PartialRecord{Text(kUrl), "2.0\n", 100000, ""}, unchecked, {""}},
      {"no record, nothing to check with", first(other_version, 30000), std::nullopt, unchecked, {""}},
      {"no record, the same file's part", first(program, 30000), std::nullopt, checked,
       {"\r\nRange:bytes=30000-"}},
      {"no record, another file's part", first(other_version, 30000), std::nullopt, checked,
       {"\r\nRange:bytes=30000-", ""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryFileSystem disk;
    disk.put(kTemp, c.kept);
    if (c.record) {
      const auto text = FormatPartialRecord(*c.record);
      disk.put(kRecord, to_buffer(text ? *text : "version=2.0\n"));
    }
    ScriptedWeb web = serving_tagged(program, "\"v2\"");

    const Outcome run = download(web, disk, -1, c.check);
    EXPECT_TRUE(run.finished);
    EXPECT_EQ(disk.content(kTarget), program);
    EXPECT_EQ(disk.files(), std::set<std::string>{std::string(kTarget)}) << "no partial file, no record";
    ASSERT_EQ(web.requests.size(), c.ranges.size());
    for (std::size_t i = 0; i < c.ranges.size(); ++i) {
      const std::string& headers = web.requests[i].headers;
      const std::size_t range = headers.find("\r\nRange:");
      EXPECT_EQ(range == std::string::npos ? "" : headers.substr(range), c.ranges[i]) << "request " << i;
    }
  }
}

// The record names what the partial file is a part of, with the server's
// validator, for as long as the partial file is there.
TEST_F(DownloaderTest, KeepsARecordBesideThePartialFile) {
  ScriptedWeb web = serving_tagged(program, "\"v2\"");
  const PayloadCheck check{"2.0", std::nullopt, ""};
  const Outcome cut = download(web, files, 40000, check);
  EXPECT_FALSE(cut.finished);
  EXPECT_EQ(ParsePartialRecord(to_text(files.content(kRecord))),
            (PartialRecord{Text(kUrl), "2.0", std::ssize(program), "\"v2\""}));

  // The file changed on the server: the range is refused by its new tag and
  // the new file replaces the old part whole.
  const ByteBuffer changed = program_bytes(90000);
  ScriptedWeb changed_web = serving_tagged(changed, "\"v3\"");
  const Outcome resumed = download(changed_web, files, -1, check);
  EXPECT_TRUE(resumed.finished);
  ASSERT_EQ(changed_web.requests.size(), 1u);
  EXPECT_TRUE(changed_web.requests[0].headers.ends_with("\r\nRange:bytes=61440-\r\nIf-Range:\"v2\""));
  EXPECT_EQ(files.content(kTarget), changed);
  EXPECT_FALSE(files.has(kRecord));
}

// The published size and checksum decide whether the file gets its name;
// the kept part is hashed from the disk once, the rest as it arrives.
TEST_F(DownloaderTest, ChecksTheFileBeforeItGetsItsName) {
  const std::string right = test::sha256_hex(program);
  std::string upper = right;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  struct Case {
    const char* name;
    PayloadCheck check;
    std::int64_t interrupted_at;  // -1: one run
    bool installed;
    std::size_t requests;
  };
  const Case cases[] = {
      {"right checksum and size", {"2.0", 100000, right}, -1, true, 1},
      {"right checksum in capitals", {"2.0", std::nullopt, upper}, -1, true, 1},
      {"resumed, right checksum", {"2.0", 100000, right}, 40000, true, 2},
      {"wrong checksum", {"2.0", std::nullopt, test::sha256_hex(first(program, 10))}, -1, false, 1},
      {"wrong size", {"2.0", 100001, right}, -1, false, 1},
      {"resumed, wrong checksum: one fresh start", {"2.0", std::nullopt, std::string(64, '0')}, 40000, false, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryFileSystem disk;
    disk.add_folder("C:\\App");
    disk.put(kTarget, to_buffer("the old program"));
    ScriptedWeb web = serving_tagged(program, "\"v2\"");
    test::Sha256Maker digests;
    if (c.interrupted_at >= 0) {
      ASSERT_FALSE(download(web, disk, c.interrupted_at, c.check, &digests).finished);
    }

    const Outcome run = download(web, disk, -1, c.check, &digests);
    EXPECT_EQ(run.finished, c.installed);
    EXPECT_EQ(run.failure, c.installed ? DownloadFailure::None : DownloadFailure::Check);
    EXPECT_EQ(web.requests.size(), c.requests);
    EXPECT_EQ(disk.content(kTarget), c.installed ? program : to_buffer("the old program"));
    EXPECT_EQ(disk.files(), std::set<std::string>{std::string(kTarget)}) << "no partial file, no record";
  }
}

TEST_F(DownloaderTest, AChecksumWithoutADigestNeverPasses) {
  test::Sha256Maker digests;
  digests.unavailable = true;
  ScriptedWeb web = ScriptedWeb::serving(program);
  const Outcome run = download(web, files, -1, {"2.0", std::nullopt, test::sha256_hex(program)}, &digests);
  EXPECT_FALSE(run.finished);
  EXPECT_EQ(run.failure, DownloadFailure::Check);
  EXPECT_FALSE(files.has(kTarget));
}

}  // namespace
}  // namespace lumen
