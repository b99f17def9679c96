// Installers signed as a vendor signs them, with osslsigncode and a
// throw-away certificate (time stamps from an authority on loopback), then
// stamped by the built command: every stamped copy must still verify, be
// strict DER, carry its id where the installer reads it, and differ from its
// input only inside the certificate table and in the two header fields that
// describe the table. Signed inputs that no longer match their signature
// are refused.

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/tools/shell_command.hpp"
#include "tests/tools/strict_der.hpp"
#include "tests/tools/synthetic_pe.hpp"
#include "tests/tools/synthetic_signature.hpp"
#include "tests/tools/time_stamp_authority.hpp"
#include "tools/stamp/pe_image.hpp"

namespace lumen::stamp {
namespace {

using test::CommandOutcome;
using test::read_bytes;
using test::SyntheticPe;

constexpr std::string_view kIdAttributeType =
    "1.2.840.113556.1.8000.2554.64000.37990.53315.19323.37380.13937357.5866014.1";
#define SIGN "osslsigncode sign -certs signer.pem -key signer.key -n 'Lumen test' "
#define STAMP "'" LUMEN_STAMP_COMMAND "' "

[[nodiscard]] std::string_view last_eight(const ByteBuffer& bytes) {
  return {reinterpret_cast<const char*>(bytes.data()) + bytes.size() - 8, 8};
}

[[nodiscard]] std::size_t occurrences(std::string_view text, std::string_view part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string_view::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

// The installer as built (a small PE32 with symbols) signed, beside the
// certificates, in a fresh folder.
class SignedStamping : public testing::Test {
 protected:
  SignedStamping() {
    test::write_bytes(folder_ / "installer.exe", SyntheticPe{.symbol_count = 6, .string_table_size = 0x30}.build());
    EXPECT_EQ(shell("'" LUMEN_SIGNING_CERTIFICATE "' .").status, 0);
    EXPECT_EQ(shell(SIGN "-in installer.exe -out signed.exe").status, 0);
  }

  [[nodiscard]] CommandOutcome shell(const std::string& command_line) const {
    return test::run_in(folder_, command_line);
  }
  [[nodiscard]] ByteBuffer file(const std::string& name) const { return read_bytes(folder_ / name); }

  // What osslsigncode says of a file's signatures, and how many it verified.
  void expect_verifies(const std::string& name, int signatures) const {
    const CommandOutcome r = shell("osslsigncode verify -CAfile signer.pem -TSA-CAfile tsa.pem -in " + name);
    EXPECT_EQ(r.status, 0) << name << ":\n" << r.out << r.err;
    EXPECT_NE(r.out.find("Number of verified signatures: " + std::to_string(signatures) + "\n"), std::string::npos)
        << name << ":\n" << r.out;
    EXPECT_EQ((r.out + r.err).find("invalid PE checksum"), std::string::npos) << name;
  }

  // The DER of a file's signature, from its certificate entry, which it fills.
  [[nodiscard]] ByteBuffer signature_of(const std::string& name) const {
    const ByteBuffer bytes = file(name);
    const CertificateTable table = *read_pe32_layout(bytes).value().certificate_table;
    const auto der_begin = bytes.begin() + static_cast<std::ptrdiff_t>(table.offset) + 8;  // after the entry's header
    return ByteBuffer(der_begin, bytes.end());
  }

  void expect_strict_der(const std::string& name) const {
    EXPECT_EQ(test::strict_der_fault(signature_of(name)), std::nullopt) << name;
  }

  // What openssl reads in a file's signature: it must parse as DER to its
  // last byte and hold the id attribute once, as its last element.
  void expect_one_id_attribute_last(const std::string& name) const {
    test::write_bytes(folder_ / "signature.der", signature_of(name));
    const CommandOutcome r = shell("openssl asn1parse -inform DER -in signature.der && rm signature.der");
    ASSERT_EQ(r.status, 0) << name << ": " << r.err;
    EXPECT_EQ(occurrences(r.out, kIdAttributeType), 1u) << name;
    const std::size_t last_type = r.out.rfind("OBJECT");
    EXPECT_EQ(r.out.find(kIdAttributeType, last_type), r.out.find(':', last_type) + 1) << name;
  }

  // Everything before the certificate table, with the checksum and the
  // table's size (the header fields a new signature changes) blanked.
  [[nodiscard]] static ByteBuffer outside_the_table(const ByteBuffer& bytes) {
    const Pe32Layout layout = read_pe32_layout(bytes).value();
    ByteBuffer outside(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(layout.certificate_table->offset));
    for (const std::uint64_t field : {layout.checksum_field, layout.certificate_table->size_field}) {
      std::fill_n(outside.begin() + static_cast<std::ptrdiff_t>(field), 4, 0xEE);
    }
    return outside;
  }

  test::TempFolder folder_;
};

TEST_F(SignedStamping, EveryStampedCopyStillVerifiesAndIsStrictDer) {
  const test::TimeStampAuthority authority(folder_.path());
  ASSERT_FALSE(authority.url().empty()) << "the time-stamping authority did not start";
  const std::string time_stamped = "-ts " + authority.url() + " ";
  struct Case {
    std::string name;
    std::string make_input;  // input.exe
    int signatures;          // 0: unsigned
    std::string was;         // the stamp the input carries
  };
  const Case cases[] = {
      {"unsigned", "cp installer.exe input.exe", 0, ""},
      {"signed", "cp signed.exe input.exe", 1, ""},
      {"signed with SHA-1", SIGN "-h sha1 -in installer.exe -out input.exe", 1, ""},
      {"signed, then stamped", STAMP "signed.exe 00000077 -o input.exe", 1, " (was 00000077)"},
      {"with two nested signatures",
       SIGN "-nest -h sha1 -in signed.exe -out nested.exe && " SIGN "-nest -h sha512 -in nested.exe -out input.exe", 3,
       ""},
      {"with an unauthenticated blob", "osslsigncode add -addUnauthenticatedBlob -in signed.exe -out input.exe", 1, ""},
      {"time-stamped", SIGN + time_stamped + "-in installer.exe -out input.exe", 1, ""},
      {"time-stamped, with a time-stamped nested signature",
       SIGN + time_stamped + "-in installer.exe -out nested.exe && " SIGN "-nest -h sha1 " + time_stamped +
           "-in nested.exe -out input.exe",
       2, ""},
      // Nesting re-encodes the signature and moves the id attribute away
      // from the end, where the installer no longer reads it.
      {"stamped, then signed again nested",
       STAMP "signed.exe 00000077 -o s.exe && " SIGN "-nest -in s.exe -out input.exe", 2, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // osslsigncode writes no file that exists.
    const CommandOutcome made = shell("rm -f input.exe nested.exe s.exe && " + c.make_input);
    ASSERT_EQ(made.status, 0) << made.out << made.err;
    const ByteBuffer input = file("input.exe");
    const CommandOutcome stamped = shell(STAMP "input.exe 00000038 -o a.exe");
    ASSERT_EQ(stamped.status, 0) << stamped.err;
    EXPECT_EQ(shell(STAMP "--show a.exe").out, "00000038\n");
    const ByteBuffer a = file("a.exe");
    EXPECT_EQ(last_eight(a), "00000038");
    if (c.signatures == 0) {
      EXPECT_EQ(stamped.out, "a.exe: stamped 00000038 after the image\n");
      EXPECT_EQ(a, test::stamped(input, "00000038")) << "the id appended and the checksum computed anew";
      continue;
    }
    EXPECT_EQ(stamped.out, "a.exe: stamped 00000038 inside the signature" + c.was + "\n");
    expect_verifies("a.exe", c.signatures);
    expect_strict_der("a.exe");
    expect_one_id_attribute_last("a.exe");
    EXPECT_EQ(outside_the_table(a), outside_the_table(input));
    EXPECT_EQ(a.size() % 8, 0u) << "no padding after the id";

    // Stamped again: the id alone changes, and the checksum with it.
    ASSERT_EQ(shell(STAMP "a.exe 12345678 -o b.exe").status, 0);
    ByteBuffer b = file("b.exe");
    expect_verifies("b.exe", c.signatures);
    expect_strict_der("b.exe");
    EXPECT_EQ(shell(STAMP "--show b.exe").out, "12345678\n");
    const Pe32Layout layout = read_pe32_layout(a).value();
    std::copy_n(a.begin() + static_cast<std::ptrdiff_t>(layout.checksum_field), 4,
                b.begin() + static_cast<std::ptrdiff_t>(layout.checksum_field));
    std::copy_n(a.end() - 8, 8, b.end() - 8);
    EXPECT_EQ(b, a);
  }
}

TEST_F(SignedStamping, DamagedSignaturesAreRefusedAndNothingIsWritten) {
  const ByteBuffer signed_file = file("signed.exe");
  const CertificateTable table = *read_pe32_layout(signed_file).value().certificate_table;
  const auto put_u32 = [](ByteBuffer& bytes, std::uint64_t at, std::uint64_t value) {
    test::put_u32(bytes, static_cast<std::size_t>(at), static_cast<std::uint32_t>(value));
  };
  ByteBuffer cut(signed_file.begin(), signed_file.end() - 96);
  ByteBuffer cut_inside = cut;
  put_u32(cut_inside, table.size_field, table.size - 96);
  put_u32(cut_inside, table.offset, table.size - 96);
  ByteBuffer grown_length = signed_file;
  ++grown_length[table.offset + 8 + 18];  // the low byte of the length of the ContentInfo's [0]
  struct Case {
    const char* name;
    ByteBuffer bytes;
    const char* err;
  };
  const Case cases[] = {
      {"a truncated certificate table", cut,
       "stamp: damaged.exe: truncated or damaged PE32 executable: the certificate table runs to byte"},
      {"a truncated signature", cut_inside,
       "stamp: damaged.exe: damaged certificate table: the signature does not parse"},
      {"a corrupted length", grown_length, "stamp: damaged.exe: the signature does not parse: an element of"},
      {"a stamp after the signature", test::concat(signed_file, "00000038"),
       "stamp: damaged.exe: 8 bytes follow the certificate table, which must end a signed installer"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::write_bytes(folder_ / "damaged.exe", c.bytes);
    const auto before = folder_.snapshot();
    for (const char* command : {STAMP "damaged.exe 00000038 -o a.exe", STAMP "--show damaged.exe"}) {
      const CommandOutcome r = shell(command);
      EXPECT_EQ(r.status, 1);
      EXPECT_TRUE(r.err.starts_with(c.err)) << r.err;
    }
    EXPECT_TRUE(folder_.snapshot() == before) << "the folder changed";
  }
}

// Signatures damaged, or files changed, after signing, in ways the
// signature's structure does not show: osslsigncode no longer verifies
// them, and the tool refuses to stamp them rather than write copies that do
// not verify either.
TEST_F(SignedStamping, SignaturesThatNoLongerSignTheFileAreRefused) {
  const ByteBuffer signed_file = file("signed.exe");
  const std::size_t table = read_pe32_layout(signed_file).value().certificate_table->offset;
  // At the first occurrence of these bytes in the signature.
  const auto in_signature = [&](const ByteBuffer& needle) {
    const auto found = std::search(signed_file.begin() + static_cast<std::ptrdiff_t>(table), signed_file.end(),
                                   needle.begin(), needle.end());
    EXPECT_NE(found, signed_file.end());
    return static_cast<std::size_t>(found - signed_file.begin());
  };
  const ByteBuffer sha256_oid = {0x06, 0x09, 0x60, 0x86, 0x48, 0x01, 0x65, 0x03, 0x04, 0x02, 0x01};
  const std::size_t algorithms = in_signature(sha256_oid);  // in the SignedData's SET of digest algorithms
  const std::size_t digest = in_signature(test::authenticode_digest(signed_file, test::kSha256));
  const auto changed = [&](std::size_t offset, std::uint8_t byte) {
    ByteBuffer bytes = signed_file;
    bytes[offset] = byte;
    return bytes;
  };
  const std::string undecodable = "stamp: damaged.exe: the signature does not decode as a PKCS#7 SignedData (";
  const std::string mismatch =
      "stamp: damaged.exe: the file is not the one the signature signed: its SHA256 Authenticode digest is ";
  struct Case {
    const char* name;
    ByteBuffer bytes;
    std::string err;
  };
  const Case cases[] = {
      {"a SET tagged as a SEQUENCE", changed(algorithms - 4, 0x30), undecodable + "wrong tag)"},
      {"an OBJECT IDENTIFIER no decoder reads", changed(algorithms + 2, 0x80),
       undecodable + "invalid object encoding)"},
      {"a changed byte of code", changed(0x500, signed_file[0x500] ^ 0x01), mismatch},
      {"a changed digest", changed(digest, signed_file[digest] ^ 0x01), mismatch},
  };
  ASSERT_EQ(signed_file[algorithms - 4], 0x31) << "the SET of digest algorithms";
  test::write_bytes(folder_ / "ids.txt", test::concat({}, "00000038\n"));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::write_bytes(folder_ / "damaged.exe", c.bytes);
    EXPECT_NE(shell("osslsigncode verify -CAfile signer.pem -in damaged.exe").status, 0);
    const auto before = folder_.snapshot();
    for (const char* command : {STAMP "damaged.exe 00000038 -o a.exe", STAMP "damaged.exe --batch ids.txt -o out"}) {
      const CommandOutcome r = shell(command);
      EXPECT_EQ(r.status, 1);
      EXPECT_EQ(r.out, "");
      EXPECT_TRUE(r.err.starts_with(c.err)) << r.err;
      EXPECT_NE(r.err.find("sign the installer again, then stamp"), std::string::npos) << r.err;
      EXPECT_TRUE(folder_.snapshot() == before) << "the folder changed";
    }
  }
}

}  // namespace
}  // namespace lumen::stamp
