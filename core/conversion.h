#pragma once

#include "chunking.h"
#include "colorpair.h"
#include "step.h"
#include "tagtemplate.h"

#include <string>
#include <string_view>

namespace prismel {

/// Converts `input` to rainbow markup, handing each piece of the result to `append` as a
/// std::u16string_view, front to back. Useful to stream a large result without holding it.
///
/// The input is trimmed of spaces, cut into chunks of the step (see effectiveStep()), and every
/// chunk that is not blank becomes head + RRGGBB + mid + chunk + close.
template <typename Append>
void convertTextTo(std::u16string_view input, std::u16string_view stepText, const TagTemplate& tags,
                   const ColorPair& colors, Append&& append)
{
    const std::u16string_view trimmed = trimSpaces(input);
    const auto length = static_cast<std::int64_t>(trimmed.size());
    ChunkCursor cursor(trimmed, effectiveStep(stepText, length), colors);
    std::u16string code;
    while (const auto chunk = cursor.next()) {
        if (isBlankChunk(chunk->text)) {
            append(chunk->text);
            continue;
        }
        code.clear();
        appendColorCode(code, chunk->color);
        append(std::u16string_view(tags.TagHead));
        append(std::u16string_view(code));
        append(std::u16string_view(tags.TagMid));
        append(chunk->text);
        append(std::u16string_view(tags.TagClose));
    }
}

/// The whole generated code for (input text, step text, template, colours).
std::u16string ConvertText(std::u16string_view input, std::u16string_view stepText,
                           const TagTemplate& tags, const ColorPair& colors);

} // namespace prismel
