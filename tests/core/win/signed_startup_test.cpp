// The installer as the vendor ships it, Authenticode-signed, and as a
// distributor stamps it afterwards: the id inside the signature, the file
// still ending with its 8 digits. The signed_installer fixture signs the
// installer built for the rig's agent_as_app_name scenario and stamps it
// 00004242.

#include <gtest/gtest.h>

#include <windows.h>
// After windows.h, which they need.
#include <imagehlp.h>
#include <wincrypt.h>

#include <string>
#include <vector>

#include "runtime/win/files.hpp"
#include "runtime/win/unique_handle.hpp"
#include "tests/support/win/programs.hpp"
#include "tests/support/win/service.hpp"

namespace lumen {
namespace {

using namespace std::chrono_literals;

constexpr const char* kWizardClass = "LumenForm";
constexpr const char* kIdAttributeType =
    "1.2.840.113556.1.8000.2554.64000.37990.53315.19323.37380.13937357.5866014.1";

[[nodiscard]] std::string signed_installer() {
  return test::built_program("installer_rig_agent_name-signed-00004242.exe");
}

// The service names the application after the agent id the query carried,
// and the wizard shows that name as its title.
TEST(SignedStartUp, AsksTheServiceWithTheIdStampedInsideTheSignature) {
  ASSERT_FALSE(test::service_url().empty()) << "the rig runs no reference service";
  const ByteBuffer file = read_file(signed_installer());
  ASSERT_GE(file.size(), 8u);
  EXPECT_EQ(std::string(file.end() - 8, file.end()), "00004242");

  test::RunningProgram installer(signed_installer());
  ASSERT_TRUE(installer.started());
  // Its start-up asks the service first; a busy machine takes its time.
  const std::vector<HWND> wizards = installer.windows(kWizardClass, 60s);
  ASSERT_EQ(wizards.size(), 1u);
  char title[64] = {};
  GetWindowTextA(wizards[0], title, sizeof title);
  EXPECT_STREQ(title, "agent 4242");
  installer.kill();
  (void)installer.wait();
}

using CryptMessage = win::UniqueHandle<win::NullHandleTraits<HCRYPTMSG, &CryptMsgClose>>;

// What the system's own readers find in the file: one PKCS#7 certificate
// entry, whose signer's last unauthenticated attribute is the id.
TEST(SignedStartUp, TheSystemReadsOneSignatureEndingWithTheIdAttribute) {
  const std::string path = signed_installer();
  const win::FileHandle file(
      CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(file);
  DWORD count = 0;
  ASSERT_TRUE(ImageEnumerateCertificates(file.get(), CERT_SECTION_TYPE_ANY, &count, nullptr, 0));
  EXPECT_EQ(count, 1u);
  WIN_CERTIFICATE header{};
  ASSERT_TRUE(ImageGetCertificateHeader(file.get(), 0, &header));
  EXPECT_EQ(header.wRevision, WIN_CERT_REVISION_2_0);
  EXPECT_EQ(header.wCertificateType, WIN_CERT_TYPE_PKCS_SIGNED_DATA);
  EXPECT_EQ(header.dwLength % 8, 0u) << "no padding";

  const std::wstring wide_path(path.begin(), path.end());  // an ASCII path
  HCRYPTMSG queried = nullptr;
  ASSERT_TRUE(CryptQueryObject(CERT_QUERY_OBJECT_FILE, wide_path.c_str(), CERT_QUERY_CONTENT_FLAG_PKCS7_SIGNED_EMBED,
                               CERT_QUERY_FORMAT_FLAG_BINARY, 0, nullptr, nullptr, nullptr, nullptr, &queried,
                               nullptr))
      << GetLastError();
  const CryptMessage message(queried);
  DWORD size = 0;
  ASSERT_TRUE(CryptMsgGetParam(message.get(), CMSG_SIGNER_UNAUTH_ATTR_PARAM, 0, nullptr, &size));
  std::vector<std::uint8_t> buffer(size);
  ASSERT_TRUE(CryptMsgGetParam(message.get(), CMSG_SIGNER_UNAUTH_ATTR_PARAM, 0, buffer.data(), &size));
  const auto& attributes = *reinterpret_cast<const CRYPT_ATTRIBUTES*>(buffer.data());
  ASSERT_GE(attributes.cAttr, 1u);
  const CRYPT_ATTRIBUTE& last = attributes.rgAttr[attributes.cAttr - 1];
  EXPECT_STREQ(last.pszObjId, kIdAttributeType);
  ASSERT_EQ(last.cValue, 1u);
  const CRYPT_DATA_BLOB& value = last.rgValue[0];
  ASSERT_GE(value.cbData, 8u);
  EXPECT_EQ(std::string(value.pbData + value.cbData - 8, value.pbData + value.cbData), "00004242")
      << "the value is the encoded OCTET STRING, ending with the id";
}

}  // namespace
}  // namespace lumen
