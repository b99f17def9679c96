// The gate that places only programs the vendor signed, on the copies of the
// sample program that the payload_signers fixture signs with throw-away
// certificates (tests/support/make_payload_signers.sh). Their root is in no
// store of the prefix: the pin, not the root store, is what is trusted.

#include "core/win/pinned_signer.hpp"

#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "core/win/built_in_signer.hpp"
#include "runtime/win/files.hpp"
#include "runtime/win/unique_handle.hpp"
#include "tests/support/win/programs.hpp"
#include "tests/support/win/scratch_folder.hpp"

namespace lumen {
namespace {

[[nodiscard]] std::string fixture(const std::string& name) {
  return test::built_program("payload-signers\\" + name);
}

// 64 hexadecimal digits, either case; nothing for the empty text.
[[nodiscard]] std::optional<KeyPin> pin_from_hex(std::string_view hex) {
  if (hex.size() != 2 * KeyPin().size()) return std::nullopt;
  KeyPin pin{};
  for (std::size_t i = 0; i < pin.size(); ++i) {
    pin[i] = static_cast<std::uint8_t>(std::stoul(std::string(hex.substr(2 * i, 2)), nullptr, 16));
  }
  return pin;
}

// A pin file as the fixture writes it: the digits and a line end.
[[nodiscard]] KeyPin pin_of(const std::string& signer) {
  const ByteBuffer bytes = read_file(fixture(signer + ".pin"));
  const std::optional<KeyPin> pin = pin_from_hex(std::string(bytes.begin(), bytes.end()).substr(0, 64));
  return pin.value_or(KeyPin{});
}

[[nodiscard]] win::FileHandle open_for_writing(const std::string& path) {
  return win::FileHandle(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

struct Case {
  const char* program;
  bool admitted;
  const char* what;
};

const Case kCases[] = {
    {"vendor.exe", true, "signed by the vendor, with a root nobody trusts"},
    {"vendor-alone.exe", true, "signed by the vendor, without the root"},
    {"vendor-nesting-other.exe", true, "signed by the vendor, someone else's nested signature beside it"},
    {"unsigned.exe", false, "not signed"},
    {"vendor-code-changed.exe", false, "one byte of the code changed after signing"},
    {"vendor-signature-changed.exe", false, "one byte of the signature value changed"},
    {"other.exe", false, "signed by someone else"},
    {"other-nesting-vendor.exe", false, "the vendor only as the nested signer"},
    {"expired.exe", false, "the vendor's key in an expired certificate"},
    {"tls.exe", false, "the vendor's key in a certificate for TLS servers only"},
};

TEST(PinnedSignerGate, AdmitsOnlyProgramsTheVendorSignedWithAValidCodeSigningCertificate) {
  PinnedSignerGate gate(pin_of("vendor"));
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(c.program) + ": " + c.what);
    ASSERT_TRUE(file_exists(fixture(c.program))) << "the payload_signers fixture made no such program";
    EXPECT_EQ(gate.Admit(fixture(c.program)) != nullptr, c.admitted);
  }
}

// Nothing about the vendor is built in but its pin: pinned to the other
// signer, the gate admits that signer's program and refuses the vendor's.
TEST(PinnedSignerGate, ThePinDecidesWhoseSignatureCounts) {
  PinnedSignerGate gate(pin_of("other"));
  EXPECT_NE(gate.Admit(fixture("other.exe")), nullptr);
  EXPECT_NE(gate.Admit(fixture("other-nesting-vendor.exe")), nullptr);
  EXPECT_EQ(gate.Admit(fixture("vendor.exe")), nullptr);
}

// What was judged is what is moved: while held, the file takes no writer,
// and it can still be moved over the old program.
TEST(PinnedSignerGate, HoldsTheAdmittedFileUnwritableButMovable) {
  test::ScratchFolder folder;
  const std::string download = folder / "StarlitPad.exe.tmp";
  const std::string program = folder / "StarlitPad.exe";
  const ByteBuffer signed_bytes = read_file(fixture("vendor.exe"));
  ASSERT_FALSE(signed_bytes.empty());
  ASSERT_TRUE(write_file(download, signed_bytes));
  ASSERT_TRUE(write_file(program, to_buffer("the old program")));

  PinnedSignerGate gate(pin_of("vendor"));
  std::unique_ptr<HeldFile> held = gate.Admit(download);
  ASSERT_NE(held, nullptr);
  SetLastError(0);
  EXPECT_FALSE(open_for_writing(download));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));

  ASSERT_TRUE(move_file(download, program)) << GetLastError();
  EXPECT_FALSE(open_for_writing(program)) << "still held under its new name";
  held.reset();
  EXPECT_EQ(read_file(program), signed_bytes);
  EXPECT_TRUE(open_for_writing(program)) << "released";
}

// A writer that came first could change the bytes after they were judged.
TEST(PinnedSignerGate, RefusesAFileSomeoneHasOpenForWritingAndAMissingOne) {
  test::ScratchFolder folder;
  const std::string download = folder / "StarlitPad.exe.tmp";
  ASSERT_TRUE(write_file(download, read_file(fixture("vendor.exe"))));
  PinnedSignerGate gate(pin_of("vendor"));
  {
    const win::FileHandle writer = open_for_writing(download);
    ASSERT_TRUE(writer);
    EXPECT_EQ(gate.Admit(download), nullptr);
  }
  EXPECT_NE(gate.Admit(download), nullptr) << "the writer is gone";
  EXPECT_EQ(gate.Admit(folder / "missing.exe.tmp"), nullptr);
  EXPECT_EQ(gate.Admit(""), nullptr);
}

// The build's PAYLOAD_SIGNER_SHA256 reaches the program byte for byte; with
// none, the program uses no gate and places what it downloads unchecked.
TEST(BuiltInPayloadSigner, FollowsTheConfiguredPin) {
  const std::optional<KeyPin> configured = pin_from_hex(LUMEN_CONFIGURED_PAYLOAD_SIGNER);
  EXPECT_EQ(BuiltInPayloadSigner(), configured);
  EXPECT_EQ(PlacementGateFor(BuiltInPayloadSigner()) != nullptr, configured.has_value());
}

}  // namespace
}  // namespace lumen
