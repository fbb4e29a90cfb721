#pragma once

#include "colorpair.h"

#include <algorithm>
#include <cstdint>
#include <memory>
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

namespace detail {

class ClusterBreaks;

// The two halves of the quick answer to "is this chunk end a cluster boundary?". A unit for
// which isClusterStarter() holds is never joined to what precedes it by any of the default
// cluster rules, unless that is a Prepend character or a joiner (a joiner followed by ©, say).
// It is a conservative list: it only has to cover the common text that makes up most chunk
// ends, and everything it leaves out is answered by the break iterator.
constexpr bool isClusterStarter(char16_t unit)
{
    return unit < 0x0300                          // ASCII and Latin: no mark lies below U+0300
           || (unit >= 0x3000 && unit <= 0x3029)  // CJK punctuation, before the tone marks
           || (unit >= 0x4E00 && unit <= 0x9FFF)  // common CJK ideographs
           || (unit >= 0xFF01 && unit <= 0xFF5E); // full-width forms of ASCII
}

// True when the character ending at `end` is certainly neither Prepend nor a joiner. Every
// Prepend character lies in U+0600..U+0D4E or U+110BD..U+11F02.
constexpr bool endsWithoutPrepend(std::u16string_view text, std::size_t end)
{
    const char16_t last = text[end - 1];
    if (isLowSurrogate(last) && end >= 2 && isHighSurrogate(text[end - 2]))
        return text[end - 2] >= 0xD808; // U+12000 and beyond: emoji, supplementary ideographs
    return last < 0x0600 || (last >= 0x3000 && last <= 0x9FFF) ||
           (last >= 0xFF01 && last <= 0xFF5E);
}

} // namespace detail

/// Cuts a trimmed text into chunks of `step` code units, front to back.
///
/// This is the single place where chunks are made: the markup and the preview both walk it, so
/// they agree chunk for chunk. A chunk never ends inside a user-perceived character (an extended
/// grapheme cluster: a flag, an emoji with its joiners and skin tone, a letter with its accents):
/// one that would takes the rest of that cluster, and the next chunk starts right after it. The
/// place between CR and LF counts as a boundary all the same, so a line break at step 1 still
/// passes as two bare chunks. Lengths and positions count UTF-16 code units.
class ChunkCursor {
public:
    /// `step` must be at least 1 (see effectiveStep()).
    ChunkCursor(std::u16string_view trimmed, std::int32_t step, const ColorPair& colors);
    ~ChunkCursor();
    ChunkCursor(ChunkCursor&&) noexcept;
    ChunkCursor& operator=(ChunkCursor&&) noexcept;
    ChunkCursor(const ChunkCursor&) = delete;
    ChunkCursor& operator=(const ChunkCursor&) = delete;

    std::optional<Chunk> next()
    {
        if (m_offset >= m_text.size())
            return std::nullopt;
        std::size_t end = m_offset + std::min(m_step, m_text.size() - m_offset);
        if (end < m_text.size()) {
            // A surrogate pair is one character whatever follows, so it is never asked about.
            if (isHighSurrogate(m_text[end - 1]) && isLowSurrogate(m_text[end]))
                ++end;
            if (end < m_text.size() &&
                !(detail::isClusterStarter(m_text[end]) && detail::endsWithoutPrepend(m_text, end)))
                end = clusterEnd(end);
        }
        const auto position = static_cast<std::int64_t>(m_offset) + 1;
        Chunk chunk{m_text.substr(m_offset, end - m_offset), position,
                    colorAt(m_colors, position, static_cast<std::int64_t>(m_text.size()))};
        m_offset = end;
        return chunk;
    }

    /// Code units of the trimmed text not yet handed out.
    std::size_t remaining() const { return m_text.size() - m_offset; }

    /// Code units per chunk, before a chunk is stretched to the end of a cluster.
    std::size_t step() const { return m_step; }

private:
    // The first cluster boundary at or after `end`, asking the break iterator.
    std::size_t clusterEnd(std::size_t end);

    std::u16string_view m_text;
    std::size_t m_step;
    ColorPair m_colors;
    std::size_t m_offset = 0;
    std::unique_ptr<detail::ClusterBreaks> m_breaks; // made on first need
};

/// The chunks of (input text, step text, colours): the input trimmed of spaces, cut with the
/// step that effectiveStep() gives for the trimmed length. The markup and the preview both
/// start here.
ChunkCursor chunksOf(std::u16string_view input, std::u16string_view stepText,
                     const ColorPair& colors);

/// True for a chunk that is copied without tags: spaces only, or exactly one tab, line feed or
/// carriage return.
constexpr bool isBlankChunk(std::u16string_view chunk)
{
    if (chunk.size() == 1 && (chunk[0] == u'\t' || chunk[0] == u'\n' || chunk[0] == u'\r'))
        return true;
    return trimSpaces(chunk).empty();
}

} // namespace prismel
