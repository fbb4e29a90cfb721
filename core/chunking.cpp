#include "chunking.h"

#include "step.h"

#include <algorithm>

namespace prismel {

TrimmedText<char16_t> prepareText(std::u16string_view input, std::optional<std::int32_t> step)
{
    const std::u16string_view trimmed = trimSpaces(input);
    const auto length = static_cast<std::int64_t>(trimmed.size());
    return {trimmed, length, effectiveStep(step, length)};
}

TrimmedText<char8_t> prepareText(std::u8string_view input, std::int64_t utf16Length,
                                 std::optional<std::int32_t> step)
{
    const std::u8string_view trimmed = trimSpaces(input);
    // A space is one byte and one UTF-16 unit. A count taken before the text changed under it
    // (a mapped file rewritten by another process) can come to less than its spaces; the
    // gradient divides by the length, so it stays at least 1.
    const std::int64_t length = std::max<std::int64_t>(
        utf16Length - static_cast<std::int64_t>(input.size() - trimmed.size()), 1);
    return {trimmed, length, effectiveStep(step, length)};
}

ChunkCursor chunksOf(std::u16string_view input, std::optional<std::int32_t> step,
                     const Gradient& gradient)
{
    const TrimmedText<char16_t> text = prepareText(input, step);
    return {text.trimmed, text.step, gradient};
}

Utf8ChunkCursor chunksOf(std::u8string_view input, std::int64_t utf16Length,
                         std::optional<std::int32_t> step, const Gradient& gradient)
{
    const TrimmedText<char8_t> text = prepareText(input, utf16Length, step);
    return {text.trimmed, text.step, gradient, text.length};
}

} // namespace prismel
