#pragma once

#include "colorpair.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>

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

// Whether a chunk end is a cluster boundary is mostly clear from the two characters beside it.
// A character for which isClusterStarter() holds is never joined to what precedes it by any of
// the default cluster rules, unless that is a Prepend character or a joiner (a joiner followed
// by ©, say), which isNeverPrepend() rules out. The lists are conservative, covering only the
// common text that makes up most chunk ends: whatever they leave out goes to the break iterator.
// Every starter is also a never-Prepend, so two starters side by side always have a boundary
// between them, the one test the cursor makes inline.
constexpr bool inRange(char32_t c, char32_t first, char32_t last)
{
    return c - first <= last - first; // below `first` wraps round to a large value
}

constexpr bool isClusterStarter(char32_t c)
{
    return c < 0x0300                       // ASCII and Latin: no mark lies below U+0300
           || inRange(c, 0x0370, 0x0482)    // Greek and Cyrillic letters
           || inRange(c, 0x3000, 0x3029)    // CJK punctuation, before the tone marks
           || inRange(c, 0x4E00, 0x9FFF)    // common CJK ideographs
           || inRange(c, 0xFF01, 0xFF5E)    // full-width forms of ASCII
           || inRange(c, 0x1F300, 0x1F3FA)  // emoji, before the skin-tone modifiers
           || inRange(c, 0x1F400, 0x1FAFF); // emoji, after them
}

constexpr bool isNeverPrepend(char32_t c)
{
    // Every Prepend character lies in U+0600..U+0D4E or U+110BD..U+11F02.
    return c < 0x0600 || inRange(c, 0x3000, 0x9FFF) || inRange(c, 0xFF01, 0xFF5E) || c >= 0x12000;
}

// isClusterStarter() for every BMP unit as one bit: a load in the conversion loop where the
// ranges would cost seven comparisons, mispredicted often in text that mixes Latin and Chinese.
inline constexpr std::array<std::uint64_t, 1024> bmpStarterBits = [] {
    std::array<std::uint64_t, 1024> bits{};
    for (char32_t c = 0; c < 0x10000; ++c)
        if (isClusterStarter(c))
            bits[c / 64] |= std::uint64_t{1} << (c % 64);
    return bits;
}();

constexpr bool isStarterUnit(char16_t unit)
{
    return (bmpStarterBits[unit / 64] >> (unit % 64)) & 1;
}

struct ChunkEnd {
    std::size_t end;
    ClusterBreaks* breaks;
};

// The first cluster boundary at or after `end` in `text`, where `from` is one: the rest of a
// surrogate pair, then the code-point test above, then ICU through `breaks` (made on first
// need and handed back). Everything passes by value so that the cursor's fields can stay in
// registers in the conversion loop.
ChunkEnd settleChunkEnd(ClusterBreaks* breaks, std::u16string_view text, std::size_t from,
                        std::size_t end);
void destroy(ClusterBreaks* breaks);

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
    ChunkCursor(std::u16string_view trimmed, std::int32_t step, const ColorPair& colors)
        : m_text(trimmed), m_step(static_cast<std::size_t>(step)), m_colors(colors)
    {
    }
    ~ChunkCursor() { detail::destroy(m_breaks); }
    ChunkCursor(ChunkCursor&& other) noexcept
        : m_text(other.m_text), m_step(other.m_step), m_colors(other.m_colors),
          m_offset(other.m_offset), m_breaks(std::exchange(other.m_breaks, nullptr))
    {
    }
    ChunkCursor& operator=(ChunkCursor&&) = delete;
    ChunkCursor(const ChunkCursor&) = delete;
    ChunkCursor& operator=(const ChunkCursor&) = delete;

    std::optional<Chunk> next()
    {
        if (m_offset >= m_text.size())
            return std::nullopt;
        std::size_t end = m_offset + std::min(m_step, m_text.size() - m_offset);
        // Two starter units side by side always have a boundary between them. Only the two
        // units beside the end are read, so a chunk costs the same whatever the step: fitting a
        // text to a length walks it once per step.
        if (end < m_text.size() &&
            !(detail::isStarterUnit(m_text[end - 1]) && detail::isStarterUnit(m_text[end]))) {
            const detail::ChunkEnd settled =
                detail::settleChunkEnd(m_breaks, m_text, m_offset, end);
            end = settled.end;
            m_breaks = settled.breaks;
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
    std::u16string_view m_text;
    std::size_t m_step;
    ColorPair m_colors;
    std::size_t m_offset = 0;
    detail::ClusterBreaks* m_breaks = nullptr; // owned; made on first need
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
