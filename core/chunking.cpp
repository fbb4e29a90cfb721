#include "chunking.h"

#include "step.h"

#include <unicode/brkiter.h>
#include <unicode/locid.h>
#include <unicode/utext.h>

#include <limits>

namespace prismel {

namespace detail {

namespace {

// The code point that starts at `at` and the one that ends at `end`; a lone surrogate stands
// for itself.
char32_t codePointAt(std::u16string_view text, std::size_t at)
{
    const char16_t first = text[at];
    if (isHighSurrogate(first) && at + 1 < text.size() && isLowSurrogate(text[at + 1]))
        return 0x10000 + ((char32_t{first} - 0xD800) << 10) + (char32_t{text[at + 1]} - 0xDC00);
    return first;
}

char32_t codePointBefore(std::u16string_view text, std::size_t end)
{
    const char16_t last = text[end - 1];
    if (isLowSurrogate(last) && end >= 2 && isHighSurrogate(text[end - 2]))
        return codePointAt(text, end - 2);
    return last;
}

} // namespace

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
        if (m_iterator && end - m_base >= m_window)
            openAt(from);
        // Without ICU's data, or for a chunk longer than ICU can count, the end stays where the
        // step and the surrogate rule put it.
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

ChunkEnd settleChunkEnd(ClusterBreaks* breaks, std::u16string_view text, std::size_t from,
                        std::size_t end)
{
    // A surrogate pair is one character whatever follows it.
    if (isHighSurrogate(text[end - 1]) && isLowSurrogate(text[end]) && ++end == text.size())
        return {end, breaks};
    if (isClusterStarter(codePointAt(text, end)) && isNeverPrepend(codePointBefore(text, end)))
        return {end, breaks};
    // A line break keeps the two halves it has always had.
    if (text[end - 1] == u'\r' && text[end] == u'\n')
        return {end, breaks};
    if (!breaks)
        breaks = new ClusterBreaks(text);
    return {breaks->atOrAfter(from, end), breaks};
}

void destroy(ClusterBreaks* breaks)
{
    delete breaks;
}

} // namespace detail

ChunkCursor chunksOf(std::u16string_view input, std::u16string_view stepText,
                     const ColorPair& colors)
{
    const std::u16string_view trimmed = trimSpaces(input);
    return {trimmed, effectiveStep(stepText, static_cast<std::int64_t>(trimmed.size())), colors};
}

} // namespace prismel
