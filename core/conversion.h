#pragma once

#include "chunking.h"
#include "colorpair.h"
#include "mergedtags.h"
#include "tagtemplate.h"

#include <string>
#include <string_view>

namespace prismel {

namespace detail {

// The one loop that turns chunks into markup; `out` decides where the pieces go:
// out.bare(text) for a blank chunk, out.tagged(text, colour) for any other.
template <typename Writer>
void writeMarkup(std::u16string_view input, std::u16string_view stepText, const ColorPair& colors,
                 Writer& out)
{
    ChunkCursor cursor = chunksOf(input, stepText, colors);
    while (const auto chunk = cursor.next()) {
        if (isBlankChunk(chunk->text))
            out.bare(chunk->text);
        else
            out.tagged(chunk->text, chunk->color);
    }
}

// The same loop with the choices of `options` applied on the way to `out`.
template <typename Writer>
void writeMarkup(std::u16string_view input, std::u16string_view stepText, const ColorPair& colors,
                 Writer& out, ConvertOptions options)
{
    if (!options.merge) {
        writeMarkup(input, stepText, colors, out);
        return;
    }
    MergingWriter<Writer> merged(out);
    writeMarkup(input, stepText, colors, merged);
    merged.finish();
}

} // namespace detail

/// Converts `input` to rainbow markup, handing each piece of the result to `append` as a
/// std::u16string_view, front to back. Useful to stream a large result without holding it.
///
/// The input is trimmed of spaces, cut into chunks of the step (see chunksOf()), and every
/// chunk that is not blank becomes head + RRGGBB + mid + chunk + close.
template <typename Append>
void convertTextTo(std::u16string_view input, std::u16string_view stepText, const TagTemplate& tags,
                   const ColorPair& colors, Append&& append, ConvertOptions options = {})
{
    struct Forward {
        const TagTemplate& tags;
        Append& append;
        void bare(std::u16string_view text) { append(text); }
        void tagged(std::u16string_view text, Rgb color)
        {
            char16_t code[6];
            writeColorCode(code, color);
            append(std::u16string_view(tags.TagHead));
            append(std::u16string_view(code, 6));
            append(std::u16string_view(tags.TagMid));
            append(text);
            append(std::u16string_view(tags.TagClose));
        }
    } out{tags, append};
    detail::writeMarkup(input, stepText, colors, out, options);
}

/// An upper bound of the length of the generated code, to size a buffer once.
std::size_t markupCapacity(std::u16string_view input, std::u16string_view stepText,
                           const TagTemplate& tags);

/// The generated code written into `result`, replacing what it held. Reusing one string for
/// many conversions keeps its memory, which is faster than a fresh string each time.
void convertTextInto(std::u16string& result, std::u16string_view input,
                     std::u16string_view stepText, const TagTemplate& tags, const ColorPair& colors,
                     ConvertOptions options = {});

/// The whole generated code for (input text, step text, template, colours).
std::u16string ConvertText(std::u16string_view input, std::u16string_view stepText,
                           const TagTemplate& tags, const ColorPair& colors,
                           ConvertOptions options = {});

} // namespace prismel
