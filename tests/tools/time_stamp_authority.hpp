#pragma once
// An RFC 3161 time-stamping authority on loopback for as long as the object
// lives (time_stamp_authority.py, answering with `openssl ts -reply`), so
// that signatures are time-stamped over HTTP as a vendor's are.

#include <sys/types.h>

#include <filesystem>
#include <string>

#include "tests/tools/temp_folder.hpp"

namespace lumen::test {

class TimeStampAuthority {
 public:
  // Signs with tsa.pem and tsa.key from `certificates`, the folder
  // tests/support/make_signing_certificate.sh filled.
  explicit TimeStampAuthority(const std::filesystem::path& certificates);
  TimeStampAuthority(const TimeStampAuthority&) = delete;
  TimeStampAuthority& operator=(const TimeStampAuthority&) = delete;
  ~TimeStampAuthority();

  // http://127.0.0.1:PORT, or "" when the authority did not start.
  [[nodiscard]] const std::string& url() const noexcept { return url_; }

 private:
  TempFolder folder_;
  pid_t pid_ = -1;
  std::string url_;
};

}  // namespace lumen::test
