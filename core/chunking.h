#pragma once

#include "clusters.h"
#include "colorpair.h"
#include "colorwalk.h"
#include "gradient.h"
#include "utf8.h"

#include <algorithm>
#include <array>
#include <concepts>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace prismel {

/// One run of the trimmed text that shares a colour.
template <TextUnit Unit> struct BasicChunk {
    std::basic_string_view<Unit> text;
    /// 1-based UTF-16 position of the chunk's first character, in the trimmed text or, cut
    /// line by line, in its line (0 for a line break)
    std::int64_t position = 0;
    Rgb color; ///< the colour of `position` over the length of the text or of its line
};

using Chunk = BasicChunk<char16_t>;
using Utf8Chunk = BasicChunk<char8_t>;

/// Cuts a trimmed text into chunks of `step` UTF-16 code units, front to back.
///
/// This is the single place where chunks are made: the markup and the preview both walk it, so
/// they agree chunk for chunk, and UTF-8 text is cut by the same rules as UTF-16 text. A chunk
/// never ends inside a user-perceived character (an extended grapheme cluster: a flag, an emoji
/// with its joiners and skin tone, a letter with its accents): one that would takes the rest of
/// that cluster, and the next chunk starts right after it. The place between CR and LF counts as
/// a boundary all the same, so a line break at step 1 still passes as two bare chunks. Lengths,
/// steps and positions count UTF-16 code units whatever the text's own units; a character of four
/// UTF-8 bytes is two. UTF-8 text must be well-formed.
template <TextUnit Unit> class BasicChunkCursor {
public:
    using View = std::basic_string_view<Unit>;

    using CodeUnit = Unit;

    /// `step` must be at least 1 (see effectiveStep()); `utf16Length` is the trimmed text's
    /// length in UTF-16 code units.
    BasicChunkCursor(View trimmed, std::int32_t step, const Gradient& gradient,
                     std::int64_t utf16Length)
        : BasicChunkCursor(trimmed, step, detail::ColorWalk(gradient, utf16Length))
    {
    }
    BasicChunkCursor(View trimmed, std::int32_t step,
                     const Gradient& gradient) requires std::same_as<Unit, char16_t>
        : BasicChunkCursor(trimmed, step, gradient, static_cast<std::int64_t>(trimmed.size()))
    {
    }
    /// Colours from `colors`, whose length is the trimmed text's in UTF-16 code units.
    BasicChunkCursor(View trimmed, std::int32_t step, detail::ColorWalk colors)
        : m_walk{trimmed, static_cast<std::size_t>(step)}, m_gradient(std::move(colors))
    {
    }
    /// The same, finding chunk ends in `index`, which was made of a text that holds `trimmed`
    /// from its unit `base` on and must outlive the cursor.
    BasicChunkCursor(View trimmed, std::int32_t step, detail::ColorWalk colors,
                     const detail::ClusterIndex& index,
                     std::size_t base = 0) requires std::same_as<Unit, char16_t>
        : BasicChunkCursor(trimmed, step, std::move(colors))
    {
        m_index = &index;
        m_indexBase = base;
    }
    ~BasicChunkCursor() { detail::destroy(m_breaks); }
    BasicChunkCursor(BasicChunkCursor&& other) noexcept
        : m_walk(other.m_walk), m_gradient(std::move(other.m_gradient)),
          m_breaks(std::exchange(other.m_breaks, nullptr)), m_index(other.m_index),
          m_indexBase(other.m_indexBase)
    {
    }
    BasicChunkCursor& operator=(BasicChunkCursor&&) = delete;
    BasicChunkCursor(const BasicChunkCursor&) = delete;
    BasicChunkCursor& operator=(const BasicChunkCursor&) = delete;

    std::optional<BasicChunk<Unit>> next()
    {
        BasicChunk<Unit> chunk;
        if (!next(chunk))
            return std::nullopt;
        return chunk;
    }

    /// The next chunk into `chunk`, or false after the last. The conversion loop's form: the
    /// chunk stays in registers where an optional would pass through memory. `stepOfOne` is
    /// the same walk for a cursor whose step() is 1, which the loop chooses once.
    template <bool stepOfOne = false> [[gnu::always_inline]] bool next(BasicChunk<Unit>& chunk)
    {
        Walk walk = m_walk;
        const bool more = nextIn<stepOfOne>(walk, chunk);
        m_walk = walk;
        return more;
    }

    /// Hands each chunk left to `consume`, front to back, until the walk reaches offset `stop`
    /// of the trimmed text (its own units), the chunk that crosses it included: the conversion
    /// loop. The place of the walk stays in registers, where a chunk's writer, storing through
    /// pointers, would make the compiler load it again from the cursor for every chunk.
    template <bool stepOfOne = false, typename Consume>
    [[gnu::always_inline]] void forEach(Consume&& consume, std::size_t stop = SIZE_MAX)
    {
        Walk walk = m_walk;
        // One test a chunk: the end of the text and the stop are one bound.
        stop = std::min(stop, walk.text.size());
        BasicChunk<Unit> chunk;
        while (walk.offset < stop) {
            take<stepOfOne>(walk, chunk);
            consume(chunk);
        }
        m_walk = walk;
    }

    /// Units of the trimmed text (its own units, bytes for UTF-8) handed out so far.
    std::size_t offset() const { return m_walk.offset; }

    /// Units of the trimmed text (its own units, bytes for UTF-8) not yet handed out.
    std::size_t remaining() const { return m_walk.text.size() - m_walk.offset; }

    /// UTF-16 code units per chunk, before a chunk is stretched to the end of a cluster.
    std::size_t step() const { return m_walk.step; }

private:
    struct Walk {
        View text;
        std::size_t step;
        std::size_t offset = 0;             // in the text's own units
        std::int64_t position = 0;          // UTF-16 code units handed out
        std::size_t starterAt = View::npos; // at step 1, a UTF-8 character known to be a starter
    };

    template <bool stepOfOne>
    [[gnu::always_inline]] bool nextIn(Walk& walk, BasicChunk<Unit>& chunk)
    {
        if (walk.offset >= walk.text.size())
            return false;
        take<stepOfOne>(walk, chunk);
        return true;
    }

    // The next chunk of a walk that is not at the end of its text.
    template <bool stepOfOne> [[gnu::always_inline]] void take(Walk& walk, BasicChunk<Unit>& chunk)
    {
        std::size_t end = walk.offset;
        std::size_t last = end; // where the chunk's last character starts
        std::int64_t units = 0;
        if constexpr (std::same_as<Unit, char16_t>) {
            end += stepOfOne ? 1 : std::min(walk.step, walk.text.size() - walk.offset);
        } else if constexpr (stepOfOne) {
            const std::size_t length = detail::utf8Length(walk.text[end]);
            units = 1 + static_cast<std::int64_t>(length >> 2);
            end = std::min(end + length, walk.text.size());
        } else {
            // Whole characters up to the step; the last one may be a pair that goes past it.
            do {
                last = end;
                const std::size_t length = detail::utf8Length(walk.text[end]);
                units += 1 + static_cast<std::int64_t>(length >> 2);
                end += length;
            } while (units < static_cast<std::int64_t>(walk.step) && end < walk.text.size());
            end = std::min(end, walk.text.size());
        }
        // Two starters side by side always have a boundary between them. Only the characters
        // beside the end are read, so finding the end costs the same whatever the step: fitting
        // a text to a length walks it once per step.
        bool boundary = end >= walk.text.size();
        if constexpr (std::same_as<Unit, char16_t>) {
            boundary = boundary || detail::startersMeet(walk.text, last, end);
        } else if (!boundary) {
            const bool endStarts = detail::utf8StarterAt(walk.text, end);
            if constexpr (stepOfOne) {
                // The character at the end is the next chunk's only one, so what it is is kept.
                boundary =
                    endStarts && (last == walk.starterAt || detail::utf8StarterAt(walk.text, last));
                walk.starterAt = endStarts ? end : View::npos;
            } else {
                boundary = endStarts && detail::utf8StarterAt(walk.text, last);
            }
        }
        if (!boundary) {
            if constexpr (std::same_as<Unit, char16_t>) {
                if (m_index != nullptr) [[unlikely]] {
                    end = m_index->atOrAfter(m_indexBase + end) - m_indexBase;
                    boundary = true;
                }
            }
        }
        if (!boundary) {
            const detail::ChunkEnd<Unit> settled =
                detail::settleChunkEnd(m_breaks, walk.text, walk.offset, end);
            if constexpr (std::same_as<Unit, char8_t>)
                units += utf16Units(walk.text.substr(end, settled.end - end));
            end = settled.end;
            m_breaks = settled.breaks;
        }
        if constexpr (std::same_as<Unit, char16_t>)
            units = static_cast<std::int64_t>(end - walk.offset);
        const std::int64_t position = walk.position + 1;
        chunk = {View(walk.text.data() + walk.offset, end - walk.offset), position,
                 m_gradient.at(position)};
        walk.offset = end;
        walk.position += units;
    }

    Walk m_walk;
    detail::ColorWalk m_gradient;
    detail::ClusterBreaks<Unit>* m_breaks = nullptr; // owned; made on first need
    const detail::ClusterIndex* m_index = nullptr;
    std::size_t m_indexBase = 0; // where the cursor's text starts in the index's
};

using ChunkCursor = BasicChunkCursor<char16_t>;
using Utf8ChunkCursor = BasicChunkCursor<char8_t>;

/// Cuts a trimmed text line by line, where every line gets the whole gradient. A line ends at
/// LF, CR or CR LF. The spaces at a line's two ends are a chunk each, which the writers copy
/// bare, so that a line takes the same colours wherever it stands, as the whole text does once
/// trimmed; the rest of the line is cut from its own first unit as BasicChunkCursor cuts a text,
/// no chunk runs past its end, and a chunk's colour is that of its position there over its
/// length. Each unit of a line break is a chunk of its own, copied bare too.
template <TextUnit Unit> class BasicLineCursor {
public:
    using View = std::basic_string_view<Unit>;
    using CodeUnit = Unit;

    /// `step` must be at least 1; the step's fallback is the whole text's (see effectiveStep()).
    /// An `index` made of `trimmed` gives the chunk ends, as for BasicChunkCursor.
    BasicLineCursor(View trimmed, std::int32_t step, const Gradient& gradient,
                    const detail::ClusterIndex* index = nullptr)
        : m_text(trimmed), m_step(step),
          m_walks(std::make_shared<const detail::GradientColors>(gradient)),
          m_breakColor(m_walks.colors()->at(0, 1)), m_index(index)
    {
    }

    std::optional<BasicChunk<Unit>> next()
    {
        BasicChunk<Unit> chunk;
        if (!next(chunk))
            return std::nullopt;
        return chunk;
    }

    template <bool stepOfOne = false> bool next(BasicChunk<Unit>& chunk)
    {
        for (;;) {
            if (m_line) {
                if (m_line->template next<stepOfOne>(chunk))
                    return true;
                m_line.reset();
            }
            if (!m_trailingSpaces.empty()) {
                chunk = {m_trailingSpaces, 0, m_breakColor};
                m_trailingSpaces = {};
                return true;
            }
            if (m_offset >= m_text.size())
                return false;
            if (isLineBreak(m_text[m_offset])) {
                chunk = {m_text.substr(m_offset, 1), 0, m_breakColor};
                ++m_offset;
                return true;
            }
            // A plain loop: find_first_of() would search the set of breaks at every unit.
            std::size_t end = m_offset;
            while (end < m_text.size() && !isLineBreak(m_text[end]))
                ++end;
            const View line = m_text.substr(m_offset, end - m_offset);
            const std::size_t leading = std::min(line.find_first_not_of(Unit{' '}), line.size());
            const View inner = detail::trimSpacesOf(line.substr(leading));
            m_trailingSpaces = line.substr(leading + inner.size());
            if (!inner.empty())
                startLine(inner, m_offset + leading);
            m_offset = end;
            if (leading > 0) {
                chunk = {line.substr(0, leading), 0, m_breakColor};
                return true;
            }
        }
    }

    /// As BasicChunkCursor::forEach(): each chunk until the walk reaches offset `stop`.
    template <bool stepOfOne = false, typename Consume>
    void forEach(Consume&& consume, std::size_t stop = SIZE_MAX)
    {
        BasicChunk<Unit> chunk;
        while (offset() < stop) {
            if (m_line) {
                // A line's chunks in the line's own loop, whose place stays in registers.
                m_line->template forEach<stepOfOne>(consume, stop - m_lineStart);
                if (m_line->remaining() > 0)
                    return;
                m_line.reset();
                continue;
            }
            if (!next<stepOfOne>(chunk))
                return;
            consume(chunk);
        }
    }

    /// Units of the trimmed text handed out so far.
    std::size_t offset() const { return m_text.size() - remaining(); }

    /// Units of the trimmed text not yet handed out.
    std::size_t remaining() const
    {
        return (m_line ? m_line->remaining() : 0) + m_trailingSpaces.size() + m_text.size() -
               m_offset;
    }

    std::size_t step() const { return static_cast<std::size_t>(m_step); }

private:
    // `line`, a line without its end spaces, starts at unit `at` of the text.
    void startLine(View line, std::size_t at)
    {
        m_lineStart = at;
        std::int64_t units = static_cast<std::int64_t>(line.size());
        if constexpr (std::same_as<Unit, char8_t>)
            units = utf16Units(line);
        if constexpr (std::same_as<Unit, char16_t>) {
            // A cluster never spans a line break, so the whole text's ends serve each line.
            if (m_index != nullptr) {
                m_line.emplace(line, m_step, m_walks.walk(units), *m_index, at);
                return;
            }
        }
        m_line.emplace(line, m_step, m_walks.walk(units));
    }

    static constexpr bool isLineBreak(Unit unit)
    {
        return unit == Unit{'\r'} || unit == Unit{'\n'};
    }

    View m_text;
    std::int32_t m_step;
    std::size_t m_offset = 0; // where the current line ends, or the next one starts
    detail::WalksByLength m_walks;
    Rgb m_breakColor;
    const detail::ClusterIndex* m_index;
    std::optional<BasicChunkCursor<Unit>> m_line;
    std::size_t m_lineStart = 0; // where the line m_line cuts starts in the text
    View m_trailingSpaces;       // of the line m_line cuts, handed out after it
};

/// Calls `use` with the cursor over `trimmed` (`utf16Length` UTF-16 units long) that `perLine`
/// asks for: a BasicChunkCursor over the whole text, or a BasicLineCursor; either finds chunk
/// ends in `index` when one is given.
template <TextUnit Unit, typename Use>
void withCursor(std::basic_string_view<Unit> trimmed, std::int32_t step, const Gradient& gradient,
                std::int64_t utf16Length, bool perLine, Use&& use,
                const detail::ClusterIndex* index = nullptr)
{
    if (perLine) {
        BasicLineCursor<Unit> cursor(trimmed, step, gradient, index);
        use(cursor);
        return;
    }
    if constexpr (std::same_as<Unit, char16_t>) {
        if (index != nullptr) {
            BasicChunkCursor<Unit> cursor(trimmed, step, detail::ColorWalk(gradient, utf16Length),
                                          *index);
            use(cursor);
            return;
        }
    }
    BasicChunkCursor<Unit> cursor(trimmed, step, gradient, utf16Length);
    use(cursor);
}

/// A text ready to be cut: trimmed of its end spaces, its length in UTF-16 code units, and the
/// step that length takes (see effectiveStep()).
template <TextUnit Unit> struct TrimmedText {
    std::basic_string_view<Unit> trimmed;
    std::int64_t length = 0;
    std::int32_t step = 1;
};

/// `input` trimmed, measured and given the step `step` (as parseStep() read it) comes to for it:
/// where every conversion, measure and preview of a text starts.
TrimmedText<char16_t> prepareText(std::u16string_view input, std::optional<std::int32_t> step);

/// The same for well-formed UTF-8 input whose length in UTF-16 code units is `utf16Length`
/// (counted while checking it, so that the text is read once for that).
TrimmedText<char8_t> prepareText(std::u8string_view input, std::int64_t utf16Length,
                                 std::optional<std::int32_t> step);

/// withCursor() over a prepared text.
template <TextUnit Unit, typename Use>
void withCursor(const TrimmedText<Unit>& text, const Gradient& gradient, bool perLine, Use&& use,
                const detail::ClusterIndex* index = nullptr)
{
    withCursor(text.trimmed, text.step, gradient, text.length, perLine, use, index);
}

/// The chunks of (input text, step, colours), of the text prepareText() gives.
ChunkCursor chunksOf(std::u16string_view input, std::optional<std::int32_t> step,
                     const Gradient& gradient);

/// The same for well-formed UTF-8 input whose length in UTF-16 code units is `utf16Length`.
Utf8ChunkCursor chunksOf(std::u8string_view input, std::int64_t utf16Length,
                         std::optional<std::int32_t> step, const Gradient& gradient);

/// True for a chunk that is copied without tags: spaces only, or exactly one tab, line feed or
/// carriage return.
template <TextUnit Unit> constexpr bool isBlankChunk(std::basic_string_view<Unit> chunk)
{
    if (chunk.empty())
        return true;
    // Most chunks start with a letter or a lead byte, above every blank character.
    const Unit first = chunk[0];
    if (first > Unit{' '})
        return false;
    if (chunk.size() == 1)
        return first == Unit{'\t'} || first == Unit{'\n'} || first == Unit{'\r'} ||
               first == Unit{' '};
    return chunk.find_first_not_of(Unit{' '}) == std::basic_string_view<Unit>::npos;
}

constexpr bool isBlankChunk(std::u16string_view chunk)
{
    return isBlankChunk<char16_t>(chunk);
}

} // namespace prismel
