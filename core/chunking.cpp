#include "chunking.h"

#include "step.h"

#include <unicode/brkiter.h>
#include <unicode/locid.h>
#include <unicode/utext.h>

#include <limits>

namespace prismel {

namespace detail {

// ICU's character break iterator over the trimmed text, which it reads in place.
class ClusterBreaks {
public:
    explicit ClusterBreaks(std::u16string_view text) : m_text(text)
    {
        UErrorCode status = U_ZERO_ERROR;
        m_iterator.reset(
            icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
        if (U_FAILURE(status))
            m_iterator.reset();
        else
            openAt(0);
    }

    // The first boundary at or after `end`, where `from`, the start of the chunk, is one.
    std::size_t atOrAfter(std::size_t from, std::size_t end)
    {
        // Without ICU's data the surrogate rule that the cursor has applied is all there is.
        if (m_iterator && end - m_base >= m_window)
            openAt(from);
        // A chunk longer than ICU can count stays as the step cut it.
        if (!m_iterator || end - m_base >= m_window)
            return end;
        const auto local = static_cast<std::int32_t>(end - m_base);
        if (m_iterator->isBoundary(local))
            return end;
        // isBoundary() has moved on to the next boundary.
        const std::int32_t next = m_iterator->current();
        return next > local ? m_base + static_cast<std::size_t>(next) : end;
    }

private:
    // ICU counts in 32 bits, so a longer text is seen through a window that starts at a chunk's
    // start. That is a boundary, and the clusters after a boundary do not depend on what came
    // before it.
    void openAt(std::size_t base)
    {
        m_base = base;
        m_window =
            std::min<std::size_t>(m_text.size() - base, std::numeric_limits<std::int32_t>::max());
        UErrorCode status = U_ZERO_ERROR;
        // The iterator keeps its own shallow clone, so this one can go at once.
        UText* text = utext_openUChars(nullptr, m_text.data() + base,
                                       static_cast<std::int64_t>(m_window), &status);
        m_iterator->setText(text, status);
        utext_close(text);
        if (U_FAILURE(status))
            m_iterator.reset();
    }

    std::u16string_view m_text;
    std::unique_ptr<icu::BreakIterator> m_iterator;
    std::size_t m_base = 0;
    std::size_t m_window = 0;
};

} // namespace detail

ChunkCursor::ChunkCursor(std::u16string_view trimmed, std::int32_t step, const ColorPair& colors)
    : m_text(trimmed), m_step(static_cast<std::size_t>(step)), m_colors(colors)
{
}

ChunkCursor::~ChunkCursor() = default;
ChunkCursor::ChunkCursor(ChunkCursor&&) noexcept = default;
ChunkCursor& ChunkCursor::operator=(ChunkCursor&&) noexcept = default;

std::size_t ChunkCursor::clusterEnd(std::size_t end)
{
    // A line break keeps the two halves it has always had.
    if (m_text[end - 1] == u'\r' && m_text[end] == u'\n')
        return end;
    if (!m_breaks)
        m_breaks = std::make_unique<detail::ClusterBreaks>(m_text);
    return m_breaks->atOrAfter(m_offset, end);
}

ChunkCursor chunksOf(std::u16string_view input, std::u16string_view stepText,
                     const ColorPair& colors)
{
    const std::u16string_view trimmed = trimSpaces(input);
    return {trimmed, effectiveStep(stepText, static_cast<std::int64_t>(trimmed.size())), colors};
}

} // namespace prismel
