#pragma once
// How long and how far the installer's requests may go, in one place: a
// broken or hostile server must never keep the installer waiting without end.

#include <cstdint>

namespace lumen {

// Redirects followed for one request before it fails. Browsers stop near
// twenty; a service or a download mirror needs one or two, and ten leaves
// room for a chain of mirrors while a loop still ends at once.
inline constexpr int kMaxRedirects = 10;

// How long one request waits to connect, to send and for each answer.
struct NetworkTimeouts {
  std::uint32_t connectMs = 0;
  std::uint32_t sendMs = 0;
  std::uint32_t receiveMs = 0;

  friend bool operator==(const NetworkTimeouts&, const NetworkTimeouts&) = default;
};

// The platform's own documented time-outs, set explicitly because not every
// implementation of it applies them by itself: without them a server that
// accepts and never answers would hold the installer for ever.
inline constexpr NetworkTimeouts kPlatformTimeouts = {.connectMs = 60'000, .sendMs = 30'000, .receiveMs = 30'000};

// The download shows its progress and its window answers while it runs, so
// it may wait longer than the platform would for a slow mirror; after a
// minute without a byte it fails like a cut connection, keeping what arrived
// for the next run.
inline constexpr NetworkTimeouts kDownloadTimeouts = {
    .connectMs = kPlatformTimeouts.connectMs, .sendMs = kPlatformTimeouts.sendMs, .receiveMs = 60'000};

}  // namespace lumen
