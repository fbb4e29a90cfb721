#pragma once

#include "colorpair.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string_view>

namespace prismel {

/// `text` without its leading and trailing U+0020 spaces; other white space stays.
constexpr std::u16string_view trimSpaces(std::u16string_view text)
{
    const auto first = text.find_first_not_of(u' ');
    if (first == std::u16string_view::npos)
        return {};
    const auto last = text.find_last_not_of(u' ');
    return text.substr(first, last - first + 1);
}

constexpr bool isHighSurrogate(char16_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

constexpr bool isLowSurrogate(char16_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

/// One run of the trimmed text that shares a colour.
struct Chunk {
    std::u16string_view text;
    std::int64_t position = 0; ///< 1-based code-unit position of the chunk's first unit
    Rgb color;                 ///< the colour of `position` over the whole trimmed length
};

/// Cuts a trimmed text into chunks of `step` code units, front to back.
///
/// This is the single place where chunks are made: the markup and the preview both walk it, so
/// they agree chunk for chunk. A chunk that would end between the two halves of a surrogate pair
/// takes the low half too, so no character is ever cut apart; the next chunk starts right after.
class ChunkCursor {
public:
    /// `step` must be at least 1 (see effectiveStep()).
    ChunkCursor(std::u16string_view trimmed, std::int32_t step, const ColorPair& colors)
        : m_text(trimmed), m_step(static_cast<std::size_t>(step)), m_colors(colors)
    {
    }

    std::optional<Chunk> next()
    {
        if (m_offset >= m_text.size())
            return std::nullopt;
        std::size_t length = std::min(m_step, m_text.size() - m_offset);
        const std::size_t end = m_offset + length;
        if (end < m_text.size() && isHighSurrogate(m_text[end - 1]) && isLowSurrogate(m_text[end]))
            ++length;
        const auto position = static_cast<std::int64_t>(m_offset) + 1;
        Chunk chunk{m_text.substr(m_offset, length), position,
                    colorAt(m_colors, position, static_cast<std::int64_t>(m_text.size()))};
        m_offset += length;
        return chunk;
    }

    /// Code units of the trimmed text not yet handed out.
    std::size_t remaining() const { return m_text.size() - m_offset; }

private:
    std::u16string_view m_text;
    std::size_t m_step;
    ColorPair m_colors;
    std::size_t m_offset = 0;
};

/// True for a chunk that is copied without tags: spaces only, or exactly one tab, line feed or
/// carriage return.
constexpr bool isBlankChunk(std::u16string_view chunk)
{
    if (chunk.size() == 1 && (chunk[0] == u'\t' || chunk[0] == u'\n' || chunk[0] == u'\r'))
        return true;
    return trimSpaces(chunk).empty();
}

} // namespace prismel
