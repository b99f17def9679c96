#pragma once
// What a service publishes beside a version to check its file with: the
// `sha256` and `size` fields, which services that know nothing of them may
// lack, or may use for something else.

#include <optional>

#include "http/payload_check.hpp"
#include "service/app_info.hpp"

namespace lumen::install {

// The check the version's file must pass, or nothing when what the service
// published cannot be checked: a `sha256` that is not 64 hexadecimal digits
// refuses the version rather than letting it through unchecked. `size` counts
// only beside a well-formed `sha256` and only as a whole number of bytes; any
// other `size` ("35.2M", 35.2, -1, or one with no `sha256`, which may well be
// kilobytes) is some other field of that name and is ignored.
[[nodiscard]] std::optional<PayloadCheck> PublishedCheck(const DownVersionInfo& version);

}  // namespace lumen::install
