#pragma once
// Folder paths as texts: the trailing backslash, the parent folder. A path is
// walked by characters, not bytes: the second byte of a double-byte
// character may be 0x5C, which is no backslash of the path.

#include <string_view>

#include "runtime/text.hpp"

namespace lumen {

// Whether the path's last character is a backslash.
[[nodiscard]] bool EndsWithBackslash(std::string_view path) noexcept;

// The path with a backslash appended unless it already ends in one.
[[nodiscard]] Text WithTrailingBackslash(std::string_view path);

// The path without the backslashes that end it ("C:\A\\" gives "C:\A").
[[nodiscard]] std::string_view WithoutTrailingBackslashes(std::string_view path) noexcept;

// The folder holding the path's last part, without a trailing backslash
// ("C:\A\B\" and "C:\A\B" both give "C:\A"; "C:\A" gives "C:"); empty when
// the path has no backslash before its last part.
[[nodiscard]] std::string_view ParentFolder(std::string_view path) noexcept;

// Whether `path` lies below `folder` (compared as they are written; neither
// is folded). A folder whose name merely starts the same way does not hold it.
[[nodiscard]] bool IsInsideFolder(std::string_view path, std::string_view folder) noexcept;

}  // namespace lumen
