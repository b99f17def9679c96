// The downloader's range handling and its failures, against servers and a
// disk played in memory.

#include "http/downloader.hpp"

#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <utility>
#include <vector>

#include "http/pe_extent.hpp"
#include "tests/support/memory_file_system.hpp"
#include "tests/support/scripted_web.hpp"
#include "tests/support/sha256.hpp"
#include "tests/tools/synthetic_pe.hpp"

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

// The Last-Modified a server gave the file, kept in the record as its validator.
constexpr std::string_view kDate = "Tue, 01 Dec 2026 10:00:00 GMT";

// Writes the record an earlier run of this download would have left.
void keep_record(MemoryFileSystem& files, const PartialRecord& record) {
  files.put(kRecord, to_buffer(*FormatPartialRecord(record)));
}

// The record of an earlier run of this download from a server that gave the
// file its date.
PartialRecord dated_record(std::int64_t length) { return {Text(kUrl), "", length, Text(kDate)}; }

// What a run cut after `kept` bytes of `file` left, from a server that gave
// the file its date.
void keep_dated_part(MemoryFileSystem& files, const ByteBuffer& file, std::size_t kept) {
  files.put(kTemp, first(file, kept));
  keep_record(files, dated_record(std::ssize(file)));
}

// The Range line and what follows it in a request's headers; "" without one.
std::string range_lines(const ScriptedRequest& request) {
  const std::size_t range = request.headers.find("\r\nRange:");
  return range == std::string::npos ? "" : request.headers.substr(range);
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
      {"part of the file", 30000, "\r\nRange:bytes=30000-\r\nIf-Range:Tue, 01 Dec 2026 10:00:00 GMT"},
      {"all but one byte", 99999, "\r\nRange:bytes=99999-\r\nIf-Range:Tue, 01 Dec 2026 10:00:00 GMT"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryFileSystem disk;
    disk.add_folder("C:\\App");
    if (c.kept) disk.put(kTemp, first(program, *c.kept));
    keep_record(disk, dated_record(std::ssize(program)));
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

// A server that sends the whole file to a range request gets the file
// started over; one that answers the range with an error is asked once for
// the whole file, and whatever fails then leaves the temporary file as it was.
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
      {"an error page, also to the whole file",
       [&](const ScriptedRequest&) {
         return std::optional(ScriptedResponse{.status = 404, .content_length = 9, .body = to_buffer("not found")});
       },
       false, DownloadFailure::Status, 2},
      {"no server", [&](const ScriptedRequest&) { return std::optional<ScriptedResponse>(); }, false,
       DownloadFailure::Connect, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryFileSystem disk;
    disk.put(kTemp, stale);
    keep_record(disk, dated_record(std::ssize(program)));
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

// A server that will not serve ranges as asked, but serves the whole file:
// each run asks for its range once, then for the whole file, so a cut in
// one run is mended by the next instead of failing every run after it.
TEST_F(DownloaderTest, ARefusedRangeIsFollowedByTheWholeFileInTheSameRun) {
  struct Case { const char* name; ScriptedResponse refusal; };
  const Case cases[] = {
      {"206 from offset 0", {.status = 206, .content_length = 100000, .content_range = "bytes 0-99999/100000",
                             .body = program}},
      {"206 from the wrong offset", {.status = 206, .content_length = 1000,
                                     .content_range = "bytes 5000-5999/100000", .body = ByteBuffer(1000, 1)}},
      {"206 without Content-Range", {.status = 206, .content_length = 55000,
                                     .body = ByteBuffer(program.begin() + 45000, program.end())}},
      {"500", {.status = 500, .content_length = 5, .body = to_buffer("error")}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryFileSystem disk;
    keep_dated_part(disk, program, 30000);
    std::optional<std::size_t> cut_after = 45000;
    ScriptedWeb web([&](const ScriptedRequest& r) {
      if (test::requested_offset(r.headers) > 0) return std::optional(c.refusal);
      ScriptedResponse whole = test::serve_file(program, r.headers);
      whole.raw_headers = "HTTP/1.1 200 OK\r\nLast-Modified: " + std::string(kDate) + "\r\n";
      whole.cut_after = std::exchange(cut_after, std::nullopt);
      return std::optional(whole);
    });

    // The whole file's transfer is cut: its part, with its own record, replaces the old one.
    const Outcome cut = download(web, disk);
    EXPECT_EQ(cut.failure, DownloadFailure::Cut);
    ASSERT_EQ(web.requests.size(), 2u);
    EXPECT_TRUE(range_lines(web.requests[0]).starts_with("\r\nRange:bytes=30000-"));
    EXPECT_EQ(range_lines(web.requests[1]), "");
    EXPECT_EQ(disk.content(kTemp), first(program, 45000));
    EXPECT_EQ(ParsePartialRecord(to_text(disk.content(kRecord))), dated_record(std::ssize(program)));

    const Outcome next = download(web, disk);
    EXPECT_TRUE(next.finished);
    ASSERT_EQ(web.requests.size(), 4u);
    EXPECT_TRUE(range_lines(web.requests[2]).starts_with("\r\nRange:bytes=45000-"));
    EXPECT_EQ(range_lines(web.requests[3]), "");
    EXPECT_EQ(disk.content(kTarget), program);
    EXPECT_EQ(disk.files(), std::set<std::string>{std::string(kTarget)}) << "no partial file, no record";
  }
}

TEST_F(DownloaderTest, AFileLongerThanTheResourceIsFetchedWhole) {
  files.put(kTemp, program_bytes(100500));
  keep_record(files, dated_record(200000));
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
    keep_dated_part(disk, program, 30000);
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
// file, and only with a checksum or the server's validator to vouch that
// the file is still the one the part came from. Anything else starts over,
// or, resumed on a checksum's word and failing it, is fetched once more
// from its first byte.
TEST_F(DownloaderTest, ContinuesAPartialFileOnlyWithTheSameFile) {
  ByteBuffer other_version = program_bytes(120000);  // what an older version's download left
  for (std::uint8_t& byte : other_version) byte ^= 0xFF;
  ByteBuffer other_build = program;  // the same address, version and length, other bytes
  for (std::uint8_t& byte : other_build) byte ^= 0x55;
  const PayloadCheck unchecked{"2.0", std::nullopt, ""};
  const PayloadCheck checked{"2.0", std::ssize(program), test::sha256_hex(program)};
  const PartialRecord same{Text(kUrl), "2.0", std::ssize(program), "\"v2\""};
  const PartialRecord same_without_validator{Text(kUrl), "2.0", std::ssize(program), ""};
  struct Case {
    const char* name;
    ByteBuffer kept;
    std::optional<PartialRecord> record;
    PayloadCheck check;
    std::vector<std::string> ranges;  // the Range line of each request, "" for none
    std::string record_tail = "";      // bytes after the record
  };
  const Case cases[] = {
      {"the record matches", first(program, 30000), same, unchecked,
       {"\r\nRange:bytes=30000-\r\nIf-Range:\"v2\""}},
      {"the record matches, checked", first(program, 30000), same, checked,
       {"\r\nRange:bytes=30000-\r\nIf-Range:\"v2\""}},
      {"the record matches, checked, no validator", first(program, 30000), same_without_validator, checked,
       {"\r\nRange:bytes=30000-"}},
      {"the record matches, neither checksum nor validator", first(other_build, 30000), same_without_validator,
       unchecked, {""}},
      {"another version's record", first(other_version, 30000),
       PartialRecord{Text(kUrl), "1.0", std::ssize(other_version), "\"v1\""}, checked, {""}},
      {"another address's record", first(program, 30000),
       PartialRecord{"http://mirror.example/app.exe", "2.0", std::ssize(program), "\"v2\""}, unchecked, {""}},
      {"the file's length changed since the record", first(program, 30000),
       PartialRecord{Text(kUrl), "2.0", std::ssize(other_version), "\"v2\""}, unchecked,
       {"\r\nRange:bytes=30000-\r\nIf-Range:\"v2\"", ""}},
      {"a length other than the published size", first(program, 30000),
       PartialRecord{Text(kUrl), "2.0", 99000, "\"v2\""}, PayloadCheck{"2.0", 100000, ""}, {""}},
      {"a broken record", first(program, 30000), PartialRecord{Text(kUrl), "2.0\n", 100000, ""}, unchecked, {""}},
      {"a record followed by a zero byte", first(program, 30000), same, unchecked, {""}, std::string(1, '\0')},
      {"a record padded past its limit", first(program, 30000), same, unchecked, {""},
       std::string(1 << 20, ' ')},
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
      disk.put(kRecord, to_buffer((text ? *text : "version=2.0\n") + c.record_tail));
    }
    ScriptedWeb web = serving_tagged(program, "\"v2\"");

    const Outcome run = download(web, disk, -1, c.check);
    EXPECT_TRUE(run.finished);
    EXPECT_EQ(disk.content(kTarget), program);
    EXPECT_EQ(disk.files(), std::set<std::string>{std::string(kTarget)}) << "no partial file, no record";
    ASSERT_EQ(web.requests.size(), c.ranges.size());
    for (std::size_t i = 0; i < c.ranges.size(); ++i) EXPECT_EQ(range_lines(web.requests[i]), c.ranges[i]) << i;
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

// A program whose answer named no length (chunked, or ended by closing the
// connection) reads the same whole or cut: the published size tells them
// apart, and without one the program's own headers do. A cut body is never
// given the program's name and stays for the next run.
TEST_F(DownloaderTest, TellsACutFromTheEndWithoutAnAnnouncedLength) {
  test::SyntheticPe layout;
  layout.sections = {{".text", 0x30000}, {".data", 0x2000}, {".bss", 0}};
  layout.certificate_table = ByteBuffer(0x800, 0x30);
  const ByteBuffer pe = layout.build();
  const auto size = std::ssize(pe);
  const std::size_t in_sections = 0x24000;
  const std::size_t in_signature = pe.size() - 0x100;
  const std::string sha256 = test::sha256_hex(pe);
  struct Case {
    const char* name;
    ByteBuffer served;
    std::optional<std::size_t> cut_after;
    PayloadCheck check;
    bool installs;
  };
  const Case cases[] = {
      {"the whole program", pe, std::nullopt, {}, true},
      {"cut in its sections", pe, in_sections, {}, false},
      {"cut in its headers", pe, 0x150, {}, false},
      {"cut in its signature", pe, in_signature, {}, false},
      {"cut before its first byte", pe, 0, {}, false},
      {"cut, a checksum but no size published", pe, in_sections, {"2.0", std::nullopt, sha256}, false},
      {"cut, the size published", pe, in_sections, {"2.0", size, ""}, false},
      {"the whole program, the size published", pe, std::nullopt, {"2.0", size, sha256}, true},
      // No program at all: nothing to measure it by, as before.
      {"cut, bytes that are no program", program, 40000, {}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const char* framing : {"Transfer-Encoding: chunked\r\n", "Connection: close\r\n"}) {
      SCOPED_TRACE(framing);
      MemoryFileSystem disk;
      disk.add_folder("C:\\App");
      ScriptedWeb web([&](const ScriptedRequest&) {
        return std::optional(ScriptedResponse{.raw_headers = std::string("HTTP/1.1 200 OK\r\n") + framing,
                                              .body = c.served, .cut_after = c.cut_after});
      });
      const Outcome run = download(web, disk, -1, c.check);
      ASSERT_TRUE(run.started);
      EXPECT_EQ(run.finished, c.installs);
      if (c.installs) {
        EXPECT_EQ(disk.content(kTarget), first(c.served, c.cut_after.value_or(c.served.size())));
        continue;
      }
      EXPECT_EQ(run.failure, DownloadFailure::Cut);
      EXPECT_FALSE(disk.has(kTarget));
      EXPECT_EQ(disk.content(kTemp), first(pe, *c.cut_after)) << "kept for the next run";
      EXPECT_LE(disk.bytes_read, std::int64_t{kImageHeadBytes}) << "only the headers are read back";
    }
  }
}

// A cut body of a program with a published size keeps a record of that
// size, and the next run asks for the rest.
TEST_F(DownloaderTest, APublishedSizeLetsACutBodyWithoutLengthResume) {
  test::SyntheticPe layout;
  layout.sections = {{".text", 0x9000}};
  const ByteBuffer pe = layout.build();
  const PayloadCheck check{"2.0", std::ssize(pe), test::sha256_hex(pe)};
  ScriptedWeb web([&](const ScriptedRequest& r) {
    ScriptedResponse response = test::serve_file(pe, r.headers);
    if (response.status == 200) response.content_length.reset();
    response.cut_after = web.requests.size() == 1 ? std::optional<std::size_t>(0x4000) : std::nullopt;
    return std::optional(response);
  });
  EXPECT_EQ(download(web, files, -1, check).failure, DownloadFailure::Cut);
  EXPECT_EQ(ParsePartialRecord(to_text(files.content(kRecord))),
            (PartialRecord{Text(kUrl), "2.0", std::ssize(pe), ""}));

  EXPECT_TRUE(download(web, files, -1, check).finished);
  ASSERT_EQ(web.requests.size(), 2u);
  EXPECT_EQ(range_lines(web.requests[1]), "\r\nRange:bytes=16384-");
  EXPECT_EQ(files.content(kTarget), pe);
}

// A folder where the temporary file goes: an empty one is removed and the
// download goes on; one holding something is left alone, and the start
// fails before any request, saying so, until it is gone.
TEST_F(DownloaderTest, AFolderInThePlaceOfTheTemporaryFile) {
  files.add_folder(kTemp);
  ScriptedWeb web = ScriptedWeb::serving(program);
  EXPECT_TRUE(download(web, files).finished);
  EXPECT_FALSE(files.is_existing_folder(kTemp));
  EXPECT_EQ(files.content(kTarget), program);

  MemoryFileSystem disk;
  disk.add_folder("C:\\App");
  const std::string inside = std::string(kTemp) + "\\notes.txt";
  disk.put(inside, to_buffer("someone's notes"));
  const Outcome blocked = download(web, disk);
  EXPECT_FALSE(blocked.started);
  EXPECT_EQ(blocked.failure, DownloadFailure::TempIsFolder);
  EXPECT_EQ(web.requests.size(), 1u) << "no request for the blocked download";
  EXPECT_EQ(disk.content(inside), to_buffer("someone's notes"));

  ASSERT_TRUE(disk.remove(inside));
  ASSERT_TRUE(disk.remove_empty_folder(kTemp));
  EXPECT_TRUE(download(web, disk).finished);
  EXPECT_EQ(disk.content(kTarget), program);
}

// A run ended after all the data arrived but before the move left a
// complete temporary file: it is given its name without a transfer, once
// its record (and the checksum, when one is published) vouches for it.
TEST_F(DownloaderTest, ACompleteTemporaryFileIsPlacedWithoutATransfer) {
  ByteBuffer other_build = program;
  for (std::uint8_t& byte : other_build) byte ^= 0x55;
  const std::string sha256 = test::sha256_hex(program);
  struct Case {
    const char* name;
    ByteBuffer kept;
    PartialRecord record;
    PayloadCheck check;
    std::size_t requests;
  };
  const Case cases[] = {
      {"the record's length", program, {Text(kUrl), "2.0", 100000, ""}, {"2.0", std::nullopt, ""}, 0},
      {"the record's length and the checksum", program, {Text(kUrl), "2.0", 100000, ""}, {"2.0", 100000, sha256},
       0},
      {"the checksum refutes it", other_build, {Text(kUrl), "2.0", 100000, ""}, {"2.0", 100000, sha256}, 1},
      {"another version's file", other_build, {Text(kUrl), "1.0", 100000, ""}, {"2.0", std::nullopt, ""}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryFileSystem disk;
    disk.put(kTemp, c.kept);
    keep_record(disk, c.record);
    ScriptedWeb web = ScriptedWeb::serving(program);
    const Outcome run = download(web, disk, -1, c.check);
    EXPECT_TRUE(run.finished);
    EXPECT_EQ(web.requests.size(), c.requests);
    EXPECT_GE(run.progress_calls, 1);
    EXPECT_EQ(disk.content(kTarget), program);
    EXPECT_EQ(disk.files(), std::set<std::string>{std::string(kTarget)}) << "no partial file, no record";
  }

  // A quit asked for at its one progress call leaves it for the next run.
  files.put(kTemp, program);
  keep_record(files, {Text(kUrl), "2.0", 100000, ""});
  ScriptedWeb web = ScriptedWeb::serving(program);
  const Outcome stopped = download(web, files, 0, {"2.0", std::nullopt, ""});
  EXPECT_FALSE(stopped.finished);
  EXPECT_EQ(stopped.cancel_calls, 1);
  EXPECT_FALSE(files.has(kTarget));
  EXPECT_EQ(files.content(kTemp), program);
  EXPECT_TRUE(download(web, files, -1, {"2.0", std::nullopt, ""}).finished);
  EXPECT_TRUE(web.requests.empty());
}

}  // namespace
}  // namespace lumen
