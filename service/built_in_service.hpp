#pragma once
// The application service this executable was built for: fixed at build time,
// nothing is configured at run time.

#include <string_view>

namespace lumen {

struct ServiceEndpoint {
  std::string_view base_url;    // http:// or https:// address, no trailing "/"
  std::string_view secret_key;  // ASCII letters and digits
};

// Defined by a source file generated for each executable.
extern const ServiceEndpoint kBuiltInService;

}  // namespace lumen
