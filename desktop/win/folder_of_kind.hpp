#pragma once
// The system's special folders by kind number.

#include "runtime/text.hpp"

namespace lumen {

// Kinds: 0 (the default) and 3 desktop folder, 1 documents, 2 favourites,
// 4 fonts, 5 start menu, 6 programs, 7 start-up, 8 application data,
// 9 Windows folder, 10 system folder, 11 temporary folder, 12 internet
// cache. The path ends in a backslash; an unknown kind or a failure gives
// the empty text.
[[nodiscard]] Text FolderOfKind(int kind = 0);

}  // namespace lumen
