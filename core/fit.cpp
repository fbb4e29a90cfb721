#include "fit.h"

#include "step.h"

#include <algorithm>
#include <limits>

namespace prismel {

FitResult fitToLength(std::uint64_t limit, std::u16string_view input, const ConvertRequest& request,
                      LengthUnit unit)
{
    const CodeLength length(input, request);
    const std::int64_t n = length.textSize();
    const std::int32_t first = effectiveStep(request.step, n);
    const std::int32_t last = static_cast<std::int32_t>(
        std::clamp<std::int64_t>(n - 1, first, std::numeric_limits<std::int32_t>::max()));

    FitResult best{false, first, length.at(first, unit)};
    for (std::int32_t step = first;; ++step) {
        const std::uint64_t candidate = step == first ? best.length : length.at(step, unit);
        if (candidate <= limit)
            return {true, step, candidate};
        if (candidate < best.length)
            best = {false, step, candidate};
        // A code with no step in it, such as one gradient tag around the whole text, is as long
        // at every step.
        if (step == last || request.options.wholeTextGradient)
            return best;
    }
}

} // namespace prismel
