#include "conversion.h"

namespace prismel {

std::u16string ConvertText(std::u16string_view input, std::u16string_view stepText,
                           const TagTemplate& tags, const ColorPair& colors)
{
    const std::u16string_view trimmed = trimSpaces(input);
    const auto step = static_cast<std::size_t>(
        effectiveStep(stepText, static_cast<std::int64_t>(trimmed.size())));

    // One allocation up front: at most one set of tags per chunk, plus the text itself.
    const std::size_t chunks = (trimmed.size() + step - 1) / step;
    const std::size_t perChunk =
        tags.TagHead.size() + 6 + tags.TagMid.size() + tags.TagClose.size();
    std::u16string result;
    result.reserve(trimmed.size() + chunks * perChunk);

    convertTextTo(input, stepText, tags, colors,
                  [&result](std::u16string_view piece) { result.append(piece); });
    return result;
}

} // namespace prismel
