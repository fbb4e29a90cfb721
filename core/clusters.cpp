#include "clusters.h"

#include <unicode/brkiter.h>
#include <unicode/locid.h>
#include <unicode/utext.h>

#include <bit>
#include <limits>
#include <vector>

namespace prismel::detail {

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

constexpr bool isRegionalIndicator(char32_t c)
{
    return inRange(c, 0x1F1E6, 0x1F1FF);
}

// ICU's character break iterator over the trimmed text, which it reads in place. Chunk ends
// are asked for front to back, so where the last answer lies close behind the next question
// the iterator reads on from it, which its cache makes cheap.
template <TextUnit Unit> class ClusterBreaks {
public:
    explicit ClusterBreaks(std::basic_string_view<Unit> text) : m_text(text)
    {
        // Making an iterator costs microseconds, as much as reading a few hundred characters;
        // text cut line by line would pay that for every line that needs one, so the last one
        // let go on this thread is taken up again and only given the new text.
        m_iterator = std::move(spareIterator());
        if (!m_iterator) {
            UErrorCode status = U_ZERO_ERROR;
            m_iterator.reset(
                icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
            if (U_FAILURE(status))
                m_iterator.reset();
        }
        if (m_iterator)
            openAt(0);
    }

    ~ClusterBreaks()
    {
        if (m_iterator)
            spareIterator() = std::move(m_iterator);
    }

    ClusterBreaks(const ClusterBreaks&) = delete;
    ClusterBreaks& operator=(const ClusterBreaks&) = delete;

    // The first boundary at or after `end`, where `from`, the start of the chunk, is one.
    std::size_t atOrAfter(std::size_t from, std::size_t end)
    {
        const bool behind = m_at >= from && m_at <= end;
        if (behind && end - m_at <= kReadOnUnits)
            return readOn(m_at, end);
        // Whether a boundary falls inside a run of flags' letters depends on how many of them
        // precede it, and ICU counts them from the run's start at each question asked at
        // random: over a long run that is quadratic. Read on from a known boundary instead.
        if (isRegionalIndicator(codePointBefore(m_text, end)) &&
            isRegionalIndicator(codePointAt(m_text, end)))
            return readOn(behind ? m_at : from, end);
        return randomAccess(from, end);
    }

    // The first boundary at or after `end`, reading forward from `start`, a boundary at or
    // before it; `passed` sees each boundary on the way, `end`'s answer included.
    std::size_t readOn(std::size_t start, std::size_t end)
    {
        return readOn(start, end, [](std::size_t) {});
    }

    template <typename Passed>
    std::size_t readOn(std::size_t start, std::size_t end, const Passed& passed)
    {
        if (m_iterator && (start != m_at || end - m_base >= m_window))
            openAt(start);
        // Without ICU's data, or for a chunk longer than ICU can count, the end stays where the
        // step and the surrogate rule put it.
        if (!m_iterator || end - m_base >= m_window) {
            passed(end);
            return end;
        }
        while (m_at < end) {
            const std::int32_t next = m_iterator->next();
            m_at = next == icu::BreakIterator::DONE ? m_base + m_window
                                                    : m_base + static_cast<std::size_t>(next);
            passed(m_at);
        }
        return m_at;
    }

private:
    // Further than this the iterator does not read on but asks at the end itself, which costs
    // about the same whatever the distance.
    static constexpr std::size_t kReadOnUnits = 64;
    static constexpr std::size_t kNowhere = std::numeric_limits<std::size_t>::max();

    std::size_t randomAccess(std::size_t from, std::size_t end)
    {
        if (m_iterator && end - m_base >= m_window)
            openAt(from);
        if (!m_iterator || end - m_base >= m_window)
            return end;
        const auto local = static_cast<std::int32_t>(end - m_base);
        const bool boundary = m_iterator->isBoundary(local);
        // isBoundary() has moved on to the next boundary.
        const std::int32_t next = m_iterator->current();
        if (boundary || next > local) {
            m_at = m_base + static_cast<std::size_t>(next);
            return m_at;
        }
        m_at = kNowhere;
        return end;
    }

    // ICU counts in 32 bits, so a longer text is seen through a window that starts at a
    // boundary; the clusters after a boundary do not depend on what came before it.
    void openAt(std::size_t base)
    {
        m_base = base;
        m_at = base;
        m_window =
            std::min<std::size_t>(m_text.size() - base, std::numeric_limits<std::int32_t>::max());
        UErrorCode status = U_ZERO_ERROR;
        // The iterator keeps its own shallow clone, so this one can go at once.
        UText* text = openText(m_text.substr(base, m_window), status);
        m_iterator->setText(text, status);
        utext_close(text);
        if (U_FAILURE(status))
            m_iterator.reset();
        else
            m_iterator->first();
    }

    static std::unique_ptr<icu::BreakIterator>& spareIterator()
    {
        thread_local std::unique_ptr<icu::BreakIterator> spare;
        return spare;
    }

    std::basic_string_view<Unit> m_text;
    std::unique_ptr<icu::BreakIterator> m_iterator;
    std::size_t m_base = 0;
    std::size_t m_window = 0;
    std::size_t m_at = 0; // the boundary the iterator stands on
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

ClusterIndex::ClusterIndex(std::u16string_view text)
{
    const std::size_t size = text.size();
    std::vector<std::uint64_t> bits(size / 64 + 1);
    const auto set = [&bits](std::size_t at) { bits[at / 64] |= std::uint64_t{1} << (at % 64); };
    set(0);
    set(size);
    ClusterBreaks<char16_t> breaks(text);
    std::size_t known = 0; // the last boundary found
    for (std::size_t at = 1; at < size;) {
        const char16_t here = text[at];
        const char16_t before = text[at - 1];
        if (isLowSurrogate(here) && isHighSurrogate(before)) {
            ++at;
            continue;
        }
        // The cursor's own tests first; only what they leave open goes to the iterator, which
        // reads on from the last boundary through the rest of the cluster.
        const bool boundary = (isStarterUnit(before) && isStarterUnit(here)) ||
                              (isClusterStarter(codePointAt(text, at)) &&
                               isNeverPrepend(codePointBefore(text, at))) ||
                              (before == u'\r' && here == u'\n');
        if (boundary)
            set(known = at);
        else
            known = breaks.readOn(known, at, set);
        at = known + 1;
    }
    m_levels.push_back(std::move(bits));
    while (m_levels.back().size() > 1) {
        const std::vector<std::uint64_t>& below = m_levels.back();
        std::vector<std::uint64_t> above(below.size() / 64 + 1);
        for (std::size_t word = 0; word < below.size(); ++word)
            if (below[word] != 0)
                above[word / 64] |= std::uint64_t{1} << (word % 64);
        m_levels.push_back(std::move(above));
    }
}

std::size_t ClusterIndex::atOrAfter(std::size_t at) const
{
    // Up the levels while the rest of a word is empty, then down along the first bits set.
    std::size_t level = 0;
    for (;;) {
        const std::vector<std::uint64_t>& words = m_levels[level];
        const std::size_t word = at / 64;
        const std::uint64_t bits = words[word] & (~std::uint64_t{0} << (at % 64));
        if (bits != 0) {
            at = word * 64 + static_cast<std::size_t>(std::countr_zero(bits));
            break;
        }
        // The end of the text is always set, so the top's one word holds a bit past any word
        // that is asked about below it.
        ++level;
        at = word + 1;
    }
    while (level > 0) {
        --level;
        at = at * 64 + static_cast<std::size_t>(std::countr_zero(m_levels[level][at]));
    }
    return at;
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

} // namespace prismel::detail
