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

char32_t codePointAt(std::u8string_view text, std::size_t at)
{
    return utf8CodePointAt(text, at);
}

char32_t codePointBefore(std::u8string_view text, std::size_t end)
{
    return utf8CodePointBefore(text, end);
}

// ICU reads both encodings in place; its indexes are then the text's own units.
UText* openText(std::u16string_view text, UErrorCode& status)
{
    return utext_openUChars(nullptr, text.data(), static_cast<std::int64_t>(text.size()), &status);
}

UText* openText(std::u8string_view text, UErrorCode& status)
{
    return utext_openUTF8(nullptr, reinterpret_cast<const char*>(text.data()),
                          static_cast<std::int64_t>(text.size()), &status);
}

} // namespace

// ICU's character break iterator over the trimmed text, which it reads in place.
template <TextUnit Unit> class ClusterBreaks {
public:
    explicit ClusterBreaks(std::basic_string_view<Unit> text) : m_text(text)
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
        UText* text = openText(m_text.substr(base, m_window), status);
        m_iterator->setText(text, status);
        utext_close(text);
        if (U_FAILURE(status))
            m_iterator.reset();
    }

    std::basic_string_view<Unit> m_text;
    std::unique_ptr<icu::BreakIterator> m_iterator;
    std::size_t m_base = 0;
    std::size_t m_window = 0;
};

template <TextUnit Unit>
ChunkEnd<Unit> settleChunkEnd(ClusterBreaks<Unit>* breaks, std::basic_string_view<Unit> text,
                              std::size_t from, std::size_t end)
{
    // A surrogate pair is one character whatever follows it. UTF-8 chunks end between whole
    // characters already.
    if constexpr (std::same_as<Unit, char16_t>) {
        if (isHighSurrogate(text[end - 1]) && isLowSurrogate(text[end]) && ++end == text.size())
            return {end, breaks};
    }
    if (isClusterStarter(codePointAt(text, end)) && isNeverPrepend(codePointBefore(text, end)))
        return {end, breaks};
    // A line break keeps the two halves it has always had.
    if (text[end - 1] == Unit{'\r'} && text[end] == Unit{'\n'})
        return {end, breaks};
    if (!breaks)
        breaks = new ClusterBreaks<Unit>(text);
    return {breaks->atOrAfter(from, end), breaks};
}

template <TextUnit Unit> void destroy(ClusterBreaks<Unit>* breaks)
{
    delete breaks;
}

template ChunkEnd<char16_t> settleChunkEnd(ClusterBreaks<char16_t>*, std::u16string_view,
                                           std::size_t, std::size_t);
template ChunkEnd<char8_t> settleChunkEnd(ClusterBreaks<char8_t>*, std::u8string_view, std::size_t,
                                          std::size_t);
template void destroy(ClusterBreaks<char16_t>*);
template void destroy(ClusterBreaks<char8_t>*);

} // namespace detail

ChunkCursor chunksOf(std::u16string_view input, std::u16string_view stepText,
                     const ColorPair& colors)
{
    const std::u16string_view trimmed = trimSpaces(input);
    return {trimmed, effectiveStep(stepText, static_cast<std::int64_t>(trimmed.size())), colors};
}

Utf8ChunkCursor chunksOf(std::u8string_view input, std::int64_t utf16Length,
                         std::u16string_view stepText, const ColorPair& colors)
{
    const std::u8string_view trimmed = trimSpaces(input);
    // A space is one byte and one UTF-16 unit. A count taken before the text changed under it
    // (a mapped file rewritten by another process) can come to less than its spaces; the
    // gradient divides by the length, so it stays at least 1.
    const std::int64_t length = std::max<std::int64_t>(
        utf16Length - static_cast<std::int64_t>(input.size() - trimmed.size()), 1);
    return {trimmed, effectiveStep(stepText, length), colors, length};
}

} // namespace prismel
