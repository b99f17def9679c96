// The record kept beside a partial download, the validator it keeps, and
// the checksum text the service publishes.

#include "http/partial_record.hpp"

#include <gtest/gtest.h>

#include "http/payload_check.hpp"
#include "runtime/byte_buffer.hpp"
#include "tests/support/memory_file_system.hpp"
#include "tests/support/sha256.hpp"

namespace lumen {
namespace {

TEST(PartialRecord, IsReadBackAsWritten) {
  const PartialRecord record{"http://127.0.0.1:8080/files/StarlitPad.exe?x=1", "1.2.0", 2000000,
                             "Tue, 01 Dec 2026 10:00:00 GMT"};
  const auto text = FormatPartialRecord(record);
  ASSERT_TRUE(text);
  EXPECT_EQ(*text,
            "url=http://127.0.0.1:8080/files/StarlitPad.exe?x=1\nversion=1.2.0\nlength=2000000\n"
            "validator=Tue, 01 Dec 2026 10:00:00 GMT\n");
  EXPECT_EQ(ParsePartialRecord(*text), record);
  EXPECT_EQ(PartialRecordPath("C:\\A\\a.exe.tmp"), "C:\\A\\a.exe.tmp.source");
}

TEST(PartialRecord, AnythingElseIsNoRecord) {
  EXPECT_FALSE(FormatPartialRecord({"http://a/b", "1.0\r\nlength=5", 10, ""})) << "a value with a line break";
  EXPECT_FALSE(FormatPartialRecord({"http://a/b", std::string("1.0\0", 4), 10, ""})) << "a value with a zero byte";
  EXPECT_FALSE(FormatPartialRecord({"http://a/" + std::string(kPartialRecordLimit, 'b'), "1.0", 10, ""}))
      << "past the limit";
  const std::string record = "url=http://a/b\nversion=1\nlength=10\nvalidator=\n";
  EXPECT_TRUE(ParsePartialRecord(record));
  for (const std::string& text : {
           record + std::string(1, '\0'),
           "url=http://a/b\nversion=1" + std::string(1, '\0') + "\nlength=10\nvalidator=\n",
           "url=http://a/" + std::string(kPartialRecordLimit, 'b') + "\nversion=1\nlength=10\nvalidator=\n",
       }) {
    EXPECT_FALSE(ParsePartialRecord(text)) << text.size() << " bytes";
  }
  for (const char* text : {
           "",
           "url=http://a/b\nversion=1\nlength=10\n",                          // a line missing
           "url=http://a/b\nversion=1\nlength=ten\nvalidator=\n",             // no length
           "url=http://a/b\nversion=1\nlength=-10\nvalidator=\n",
           "version=1\nurl=http://a/b\nlength=10\nvalidator=\n",              // out of order
           "url=http://a/b\nversion=1\nlength=10\nvalidator=\nmore=1\n",      // more than a record
           "url=http://a/b\nversion=1\nlength=10\nvalidator=",                // cut short
       }) {
    EXPECT_FALSE(ParsePartialRecord(text)) << text;
  }
}

// The record is read from the disk only up to the limit, however large the
// file there has grown: a file past it is there but is no record.
TEST(PartialRecord, IsNeverReadPastTheLimit) {
  const std::string record = "url=http://a/b\nversion=1\nlength=10\nvalidator=\n";
  struct Case { const char* name; std::optional<std::string> bytes; bool present; bool read; };
  const Case cases[] = {
      {"no file", std::nullopt, false, false},
      {"an empty file", "", false, false},
      {"a record", record, true, true},
      {"a record and a zero byte", record + std::string(1, '\0'), true, false},
      {"a record padded to 16 MiB", record + std::string(16 << 20, ' '), true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::MemoryFileSystem files;
    files.add_folder("C:\\A");
    if (c.bytes) files.put("C:\\A\\a.exe.tmp.source", to_buffer(*c.bytes));
    const FoundRecord found = ReadPartialRecord(files, "C:\\A\\a.exe.tmp");
    EXPECT_EQ(found.present, c.present);
    EXPECT_EQ(found.record.has_value(), c.read);
    EXPECT_LE(files.bytes_read, std::int64_t{kPartialRecordLimit});
  }
}

TEST(PartialRecord, KeepsAStrongTagElseTheDate) {
  struct Case { const char* headers; const char* validator; };
  const Case cases[] = {
      {"HTTP/1.1 200 OK\r\nETag: \"abc\"\r\nLast-Modified: Tue, 01 Dec 2026 10:00:00 GMT\r\n", "\"abc\""},
      {"HTTP/1.1 200 OK\r\netag:\"abc\"  \r\n", "\"abc\""},
      {"HTTP/1.1 200 OK\r\nETag: W/\"abc\"\r\nLast-Modified: Tue, 01 Dec 2026 10:00:00 GMT\r\n",
       "Tue, 01 Dec 2026 10:00:00 GMT"},
      {"HTTP/1.1 200 OK\r\nX-ETag: \"abc\"\r\nContent-Length: 5\r\n", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(ValidatorInHeaders(c.headers), c.validator) << c.headers;
}

TEST(PayloadCheck, ReadsOnlySixtyFourHexadecimalDigits) {
  const std::string digest = "E3B0C44298FC1C149AFBF4C8996FB92427AE41E4649B934CA495991B7852B855";
  EXPECT_TRUE(IsSha256Hex(digest));
  EXPECT_TRUE(SameDigest(digest, "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"));
  for (const std::string& bad : {std::string(), digest.substr(1), digest + "0", "g" + digest.substr(1),
                                 " " + digest.substr(1), digest.substr(0, 32) + "-" + digest.substr(33)}) {
    EXPECT_FALSE(IsSha256Hex(bad)) << bad;
  }
  EXPECT_FALSE(SameDigest("", "")) << "a failed digest matches nothing";
}

// The tests' own SHA-256 against published values, across block edges.
TEST(PayloadCheck, TheTestDigestIsSha256) {
  EXPECT_EQ(test::sha256_hex(to_buffer("")), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(test::sha256_hex(to_buffer("abc")), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(test::sha256_hex(to_buffer("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq")),
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
  test::Sha256 in_parts;
  const ByteBuffer million(1000000, 'a');
  for (std::size_t at = 0; at < million.size(); at += 20480) {
    in_parts.add(std::span(million).subspan(at, std::min<std::size_t>(20480, million.size() - at)));
  }
  EXPECT_EQ(in_parts.finish_hex(), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

}  // namespace
}  // namespace lumen
