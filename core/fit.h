#pragma once

#include "codelength.h"
#include "convertrequest.h"

#include <cstdint>
#include <string_view>

namespace prismel {

/// The step that makes the code fit a length limit, or the best that can be done.
struct FitResult {
    bool fits = false;
    std::int32_t step = 1;    ///< the step that fits, or the one giving the shortest code
    std::uint64_t length = 0; ///< the code's length at that step
};

/// The smallest step from the effective value of the request's up to n - 1 (n the trimmed input's
/// length; larger steps fall back to 1) whose code is at most `limit` long in `unit`. When none
/// fits, `fits` is false and the result names the shortest length those steps reach, with the
/// smallest step that reaches it. The length does not shrink steadily as the step grows (blank
/// chunks and merged runs come and go), so every step up to the first that fits is measured.
FitResult fitToLength(std::uint64_t limit, std::u16string_view input, const ConvertRequest& request,
                      LengthUnit unit = LengthUnit::Chars);

} // namespace prismel
