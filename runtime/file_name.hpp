#pragma once
// The one check for names that arrive over the network and become file or
// folder names: a name passes when it can only ever name one entry directly
// in the folder it is put in.

#include <optional>
#include <string_view>

#include "runtime/text.hpp"

namespace lumen {

// The name as Windows would store it (trailing dots and spaces trimmed), or
// nothing when it is unsafe: a separator, a drive colon, a character Windows
// forbids in file names (control characters, < > : " / \ | ? *), a reserved
// device name (also with an extension), a double-byte character cut in half,
// or nothing left once the trailing dots and spaces are gone. Double-byte
// characters pass whole, whatever their second byte.
[[nodiscard]] std::optional<Text> safe_file_name(std::string_view name);

}  // namespace lumen
