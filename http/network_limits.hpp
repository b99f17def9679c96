#pragma once
// How long and how far the installer's requests may go, in one place: a
// broken or hostile server must never keep the installer waiting without end.

#include <cstdint>

namespace lumen {

// Redirects followed for one request before it fails. Browsers stop near
// twenty; a service or a download mirror needs one or two, and ten leaves
// room for a chain of mirrors while a loop still ends at once.
inline constexpr int kMaxRedirects = 10;

// The app-info query and the icon run before any window exists, so nothing
// on screen tells the user the installer is waiting: a server that accepts
// and never answers ends them after this long, instead of never.
inline constexpr std::uint32_t kStartUpConnectTimeoutMs = 15'000;
inline constexpr std::uint32_t kStartUpReceiveTimeoutMs = 15'000;

// The download shows its progress and its window answers while it runs, so
// it may wait longer for a slow mirror; after a minute without a byte it
// fails like a cut connection, keeping what arrived for the next run.
inline constexpr std::uint32_t kDownloadConnectTimeoutMs = 15'000;
inline constexpr std::uint32_t kDownloadReceiveTimeoutMs = 60'000;

}  // namespace lumen
