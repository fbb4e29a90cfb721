#include "codelength.h"

#include "chunking.h"
#include "format.h"
#include "mergedtags.h"
#include "step.h"

#include <bit>
#include <cstring>
#include <optional>
#include <utility>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace prismel {

CodeLength::Sizes CodeLength::sizesOf(std::u16string_view text)
{
    // Every unit counts one byte more from U+0080 and another from U+0800, which makes three for
    // a surrogate; a surrogate pair is one character of four bytes, two less than its halves.
    // Counted eight units at a time without a branch, a megabyte of code takes well under a
    // millisecond, which matters for the tool tip of a code of hundreds of megabytes.
    std::uint64_t above7f = 0;
    std::uint64_t above7ff = 0;
    std::uint64_t pairs = 0;
    const char16_t* units = text.data();
    const std::size_t size = text.size();
    std::size_t i = 0;
#ifdef __SSE2__
    // Lanes of 16-bit counts, added up before any could pass 0xFFFF.
    const auto total = [](__m128i lanes) {
        std::uint16_t counts[8];
        std::memcpy(counts, &lanes, sizeof counts);
        std::uint64_t sum = 0;
        for (const std::uint16_t c : counts)
            sum += c;
        return sum;
    };
    const __m128i surrogateBits = _mm_set1_epi16(static_cast<short>(0xFC00));
    const __m128i high = _mm_set1_epi16(static_cast<short>(0xD800));
    const __m128i low = _mm_set1_epi16(static_cast<short>(0xDC00));
    const __m128i zero = _mm_setzero_si128();
    // Each step reads one unit past its eight, to see the other half of a pair.
    while (i + 9 <= size) {
        const std::size_t steps = std::min<std::size_t>((size - i - 1) / 8, 0xFFFF);
        __m128i below80 = zero;  // lanes count the units below U+0080...
        __m128i below800 = zero; // ...and below U+0800
        __m128i pairLanes = zero;
        for (std::size_t k = 0; k < steps; ++k, i += 8) {
            __m128i here;
            __m128i next;
            std::memcpy(&here, units + i, sizeof here);
            std::memcpy(&next, units + i + 1, sizeof next);
            // A compare sets a lane to -1, so subtracting it counts one.
            below80 = _mm_sub_epi16(
                below80, _mm_cmpeq_epi16(_mm_subs_epu16(here, _mm_set1_epi16(0x7F)), zero));
            below800 = _mm_sub_epi16(
                below800, _mm_cmpeq_epi16(_mm_subs_epu16(here, _mm_set1_epi16(0x7FF)), zero));
            pairLanes = _mm_sub_epi16(
                pairLanes, _mm_and_si128(_mm_cmpeq_epi16(_mm_and_si128(here, surrogateBits), high),
                                         _mm_cmpeq_epi16(_mm_and_si128(next, surrogateBits), low)));
        }
        above7f += 8 * steps - total(below80);
        above7ff += 8 * steps - total(below800);
        pairs += total(pairLanes);
    }
#endif
    for (; i < size; ++i) {
        const char16_t c = units[i];
        above7f += c >= 0x80;
        above7ff += c >= 0x800;
        pairs += i + 1 < size && isHighSurrogate(c) && isLowSurrogate(units[i + 1]);
    }
    return {.chars = size - pairs, .bytes = size + above7f + above7ff - 2 * pairs, .units = size};
}

namespace {

CodeLength::Sizes operator+(CodeLength::Sizes a, CodeLength::Sizes b)
{
    return {a.chars + b.chars, a.bytes + b.bytes, a.units + b.units};
}

// Takes the place of the conversion's writer: counts the tagged runs, and the places where the
// template's ends and a run's ends make one character out of two lone surrogates.
struct RunCounter {
    RunCounter(const detail::TemplateSeams& templateSeams, ColorCode colorCode)
        : seams(templateSeams), code(colorCode), codes(colorCode)
    {
    }

    const detail::TemplateSeams& seams;
    ColorCode code;
    detail::ColorCodeCache codes;
    std::uint64_t runs = 0;
    std::uint64_t pairs = 0;
    CodeLength::Sizes codeSizes;
    Rgb lastColor{-1, -1, -1}; // no colour the tool can hold
    CodeLength::Sizes lastSizes;
    bool codeEndsHigh = false; // the code so far ends in a high surrogate

    void bare(std::u16string_view) { codeEndsHigh = false; }

    void tagged(std::u16string_view text, Rgb color)
    {
        ++runs;
        if (code != ColorCode::Hex) {
            if (color != lastColor) {
                lastColor = color;
                lastSizes = CodeLength::sizesOf(codes.of(color));
            }
            codeSizes = codeSizes + lastSizes;
        }
        if (code == ColorCode::Irc16 && text.front() == u',')
            codeSizes = codeSizes + CodeLength::Sizes{2, 2, 2};
        if (codeEndsHigh && seams.headStartsLow)
            ++pairs;
        if (seams.midEndsHigh && isLowSurrogate(text.front()))
            ++pairs;
        const bool textEndsHigh = isHighSurrogate(text.back());
        if (textEndsHigh && seams.closeStartsLow)
            ++pairs;
        codeEndsHigh = seams.closeEmpty ? textEndsHigh : seams.closeEndsHigh;
    }
};

} // namespace

std::uint64_t CodeLength::Sizes::in(LengthUnit unit) const
{
    switch (unit) {
    case LengthUnit::Bytes:
        return bytes;
    case LengthUnit::Units:
        return units;
    case LengthUnit::Chars:
        break;
    }
    return chars;
}

// The sizes that escaping adds to a text: every replaced unit is one character, byte and unit
// of ASCII, and its replacement ASCII or else one Control Picture of three bytes.
CodeLength::Sizes escapeGrowth(std::u16string_view text, Escaping escaping)
{
    const std::uint64_t units = detail::escapeGrowth(text, escaping);
    std::uint64_t pictures = 0;
    if (escaping == Escaping::Terminal)
        for (const char16_t c : text)
            pictures +=
                !detail::escapeOf(escaping, c).empty() ? std::uint64_t{1} : std::uint64_t{0};
    return {units, units + 2 * pictures, units};
}

CodeLength::CodeLength(std::u16string_view input, const ConvertRequest& request)
    : m_gradient(request.gradient), m_options(request.options)
{
    const ConvertOptions& options = request.options;
    if (options.escaping == Escaping::Terminal) {
        if (auto stripped = withoutEscapeSequences(input)) {
            m_stripped = std::make_shared<const std::u16string>(std::move(*stripped));
            input = *m_stripped;
        }
    }
    m_trimmed = trimSpaces(input);
    m_text = sizesOf(m_trimmed) + escapeGrowth(m_trimmed, options.escaping);
    const detail::DressedTemplate dress = detail::dressed(request.tags, options);
    if (!m_trimmed.empty())
        m_around = sizesOf(dress.before) + sizesOf(dress.after);
    if (options.wholeTextGradient) {
        std::u16string code;
        const std::u16string tag = detail::gradientTagOf(m_gradient);
        detail::putWholeTextGradient(m_trimmed, std::u16string_view(tag), options.perLine,
                                     options.escaping,
                                     [&](std::u16string_view piece) { code += piece; });
        m_whole = sizesOf(code) + m_around;
    }
    m_tags =
        sizesOf(dress.tags.TagHead) + sizesOf(dress.tags.TagMid) + sizesOf(dress.tags.TagClose);
    const std::u16string_view head = dress.tags.TagHead;
    const std::u16string_view mid = dress.tags.TagMid;
    const std::u16string_view close = dress.tags.TagClose;
    m_seams.midEndsHigh = !mid.empty() && isHighSurrogate(mid.back());
    m_seams.closeStartsLow = !close.empty() && isLowSurrogate(close.front());
    m_seams.closeEmpty = close.empty();
    m_seams.closeEndsHigh = !close.empty() && isHighSurrogate(close.back());
    m_seams.headStartsLow = !head.empty() && isLowSurrogate(head.front());
}

CodeLength::Runs CodeLength::countRuns(std::int32_t step) const
{
    if (m_walked && !m_index)
        m_index = std::make_shared<const detail::ClusterIndex>(m_trimmed);
    m_walked = true;
    RunCounter counter(m_seams, m_options.colorCode);
    detail::MergingWriter<RunCounter> merged(counter);

    // The conversion's chunk loop, with the blank test made linear over the walk: isBlankChunk()
    // reads a whole chunk of spaces, which over every step of a long text of spaces is
    // quadratic. A run of spaces is measured once, by the first chunk that starts in it.
    const auto walkWith = [&](auto& cursor, auto& out) {
        std::size_t spacesEnd = 0; // where the run of spaces measured last ends
        while (const auto chunk = cursor.next()) {
            const std::u16string_view text = chunk->text;
            bool blank = false;
            if (text.size() == 1) {
                blank = text[0] == u' ' || text[0] == u'\t' || text[0] == u'\n' || text[0] == u'\r';
            } else if (text.front() == u' ' && text.back() == u' ') {
                const auto begin = static_cast<std::size_t>(text.data() - m_trimmed.data());
                if (begin >= spacesEnd) {
                    spacesEnd = begin;
                    while (spacesEnd < m_trimmed.size() && m_trimmed[spacesEnd] == u' ')
                        ++spacesEnd;
                }
                blank = begin + text.size() <= spacesEnd;
            }
            if (blank)
                out.bare(text);
            else
                out.tagged(text, chunk->color);
        }
    };
    const auto walk = [&](auto& out) {
        withCursor(
            m_trimmed, step, m_gradient, textSize(), m_options.perLine,
            [&](auto& cursor) { walkWith(cursor, out); }, m_index.get());
    };
    if (m_options.merge) {
        walk(merged);
        merged.finish();
    } else {
        walk(counter);
    }
    // Hex codes are six ASCII digits: as many characters, bytes and units.
    CodeLength::Sizes codes = counter.codeSizes;
    if (m_options.colorCode == ColorCode::Hex)
        codes = codes + Sizes{6 * counter.runs, 6 * counter.runs, 6 * counter.runs};
    return {counter.runs, counter.pairs, codes};
}

std::uint64_t CodeLength::at(std::int32_t step, LengthUnit unit) const
{
    if (m_whole)
        return m_whole->in(unit);
    const Runs runs = countRuns(effectiveStep(std::optional<std::int32_t>(step), textSize()));
    // Two lone surrogates of 3 bytes each that meet become one character of 4 bytes.
    const std::uint64_t pairSaving = unit == LengthUnit::Chars   ? 1
                                     : unit == LengthUnit::Bytes ? 2
                                                                 : 0;
    const std::uint64_t tags =
        runs.tagged * m_tags.in(unit) + runs.codeSizes.in(unit) + m_around.in(unit);
    return m_text.in(unit) + tags - runs.pairsAcrossSeams * pairSaving;
}

std::uint64_t codeLength(std::u16string_view input, const ConvertRequest& request, LengthUnit unit)
{
    const CodeLength length(input, request);
    return length.at(effectiveStep(request.step, length.textSize()), unit);
}

} // namespace prismel
