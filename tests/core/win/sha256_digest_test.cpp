// The system's SHA-256 as the downloader feeds it: in blocks, and from a file
// on disk a block at a time.

#include "core/win/sha256_digest.hpp"

#include <gtest/gtest.h>

#include "http/digesting_file.hpp"
#include "runtime/win/files.hpp"
#include "runtime/win/system_file_system.hpp"
#include "tests/support/win/scratch_folder.hpp"

namespace lumen {
namespace {

Text digest_of(std::string_view text) {
  CryptoSha256Maker maker;
  const auto digest = maker.StartSha256();
  if (!digest) return "no SHA-256 from the provider";
  digest->add(to_buffer(text));
  return digest->finish_hex();
}

TEST(CryptoSha256, GivesThePublishedDigests) {
  EXPECT_EQ(digest_of(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(digest_of("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

// A million "a" on disk, read back a block at a time as a resumed partial
// file is: the digest of the whole file.
TEST(CryptoSha256, HashesAFileOnDiskInBlocks) {
  test::ScratchFolder folder;
  ASSERT_TRUE(write_file(folder / "million.bin", ByteBuffer(1000000, 'a')));
  SystemFileSystem files;
  const FileNumber file = files.open(folder / "million.bin", OpenMode::Read, ShareMode::DenyNone);
  ASSERT_TRUE(file);
  CryptoSha256Maker maker;
  const auto digest = maker.StartSha256();
  ASSERT_TRUE(digest);
  ASSERT_TRUE(DigestFilePrefix(*file, 1000000, *digest));
  EXPECT_EQ(digest->finish_hex(), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
  EXPECT_FALSE(DigestFilePrefix(*file, 1000001, *maker.StartSha256())) << "the file holds fewer bytes";
}

}  // namespace
}  // namespace lumen
