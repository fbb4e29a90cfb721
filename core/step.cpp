#include "step.h"

#include <limits>

namespace prismel {

namespace {

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

std::optional<std::int32_t> parseStep(std::u16string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == u' ')
        ++i;

    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }

    // The magnitude saturates just past the 32-bit range, so a hundred digits cannot overflow.
    constexpr std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 2;
    std::int64_t magnitude = 0;
    while (i < text.size() && isDigit(text[i])) {
        if (magnitude < limit)
            magnitude = magnitude * 10 + (text[i] - u'0');
        ++i;
    }

    // Only how the fraction compares with one half matters, so it is read digit by digit and
    // never through floating point: "2.5000001" rounds up, "2.5" is a tie and goes to even.
    if (i < text.size() && text[i] == u'.') {
        ++i;
        if (i < text.size() && isDigit(text[i])) {
            const int first = text[i] - u'0';
            bool restNonZero = false;
            for (++i; i < text.size() && isDigit(text[i]); ++i)
                restNonZero = restNonZero || text[i] != u'0';
            const bool roundUp = first > 5 || (first == 5 && (restNonZero || magnitude % 2 == 1));
            if (roundUp && magnitude < limit)
                ++magnitude;
        }
    }

    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::int32_t effectiveStep(std::optional<std::int32_t> parsed, std::int64_t length)
{
    if (!parsed || *parsed <= 0 || *parsed > length - 1)
        return 1;
    return *parsed;
}

} // namespace prismel
