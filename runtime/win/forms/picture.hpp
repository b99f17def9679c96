#pragma once
// Images a form draws (pictures, button faces). The form does not decode
// images itself: whoever builds it supplies them by the names the design uses.

#include <windows.h>

#include <map>
#include <memory>
#include <string>

namespace lumen::forms {

class Picture {
 public:
  virtual ~Picture() = default;
  // Drawn stretched over the target rectangle, blending by its transparency.
  virtual void draw(HDC dc, const RECT& target) const noexcept = 0;
  // The same, in the platform's disabled (embossed) style.
  virtual void draw_disabled(HDC dc, const RECT& target) const noexcept = 0;
};

using Pictures = std::map<std::string, std::unique_ptr<Picture>, std::less<>>;

}  // namespace lumen::forms
