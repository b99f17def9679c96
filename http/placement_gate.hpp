#pragma once
// A complete file is vouched for before it takes the program's name: the
// gate holds the file so that its bytes cannot change, judges those bytes,
// and the caller moves the file into place while the hold lasts.

#include <memory>
#include <string_view>

namespace lumen {

// While it lives, nobody can open the file for writing; it can still be
// moved (renamed), which is what the caller does with it.
class HeldFile {
 public:
  HeldFile() = default;
  HeldFile(const HeldFile&) = delete;
  HeldFile& operator=(const HeldFile&) = delete;
  virtual ~HeldFile() = default;
};

class PlacementGate {
 public:
  PlacementGate() = default;
  PlacementGate(const PlacementGate&) = delete;
  PlacementGate& operator=(const PlacementGate&) = delete;
  virtual ~PlacementGate() = default;

  // Opens the file so that nobody can write it until the hold is released
  // (it can still be moved), and judges it; nothing when it may not be
  // placed, or cannot be held.
  [[nodiscard]] virtual std::unique_ptr<HeldFile> Admit(std::string_view path) = 0;
};

}  // namespace lumen
