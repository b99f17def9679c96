#pragma once
// How the downloader reads the server's answer: whether the body continues
// the temporary file, replaces it, or must not be written at all.

#include <cstdint>
#include <optional>
#include <string_view>

namespace lumen {

// "bytes FIRST-LAST/COMPLETE", COMPLETE being "*" when the server does not say.
struct ContentRange {
  std::int64_t first = 0;
  std::int64_t last = 0;
  std::optional<std::int64_t> complete_length;
};

[[nodiscard]] std::optional<ContentRange> ParseContentRange(std::string_view value);

// A Content-Length value: decimal digits only, surrounding spaces allowed.
[[nodiscard]] std::optional<std::int64_t> ParseContentLength(std::string_view value);

enum class ResponsePlan {
  Append,      // the body is the rest of the file from the requested offset
  StartOver,   // the body is the whole file: the temporary file starts again
  AskForWhole, // the range was not served as asked (an error, 416, a part that does
               // not fit): ask again without a range
  Refuse,      // an error answer, or a part, to a request for the whole file: write nothing
};

// The plan for an answer with this status (0 when unknown) to a request that
// asked for the bytes from `requested_offset` on (0: the whole file).
[[nodiscard]] ResponsePlan PlanForResponse(int status, std::int64_t requested_offset,
                                           std::string_view content_range);

// The size the whole file will have once the body has arrived, from an
// answer the plan accepted: a part's Content-Range total, else the offset
// plus Content-Length; an inner nothing when the answer names no length at
// all (only the service's own size and digest can judge such a body). An
// outer nothing when the two lengths of a part disagree: then neither can be
// trusted to tell a cut body from a whole one.
[[nodiscard]] std::optional<std::optional<std::int64_t>> AnnouncedTotal(int status, std::int64_t offset,
                                                                        std::optional<std::int64_t> content_length,
                                                                        std::string_view content_range);

}  // namespace lumen
