#include "codelength.h"

#include "chunking.h"
#include "step.h"

#include <optional>

namespace prismel {

CodeLength::Sizes CodeLength::sizesOf(std::u16string_view text)
{
    CodeLength::Sizes sizes;
    sizes.units = text.size();
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        ++sizes.chars;
        if (isHighSurrogate(c) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
            sizes.bytes += 4;
            ++i;
        } else {
            sizes.bytes += c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
        }
    }
    return sizes;
}

namespace {

CodeLength::Sizes operator+(CodeLength::Sizes a, CodeLength::Sizes b)
{
    return {a.chars + b.chars, a.bytes + b.bytes, a.units + b.units};
}

// Takes the place of the conversion's writer: counts the tagged runs, and the places where the
// template's ends and a run's ends make one character out of two lone surrogates.
struct RunCounter {
    const detail::TemplateSeams& seams;
    std::uint64_t runs = 0;
    std::uint64_t pairs = 0;
    bool codeEndsHigh = false; // the code so far ends in a high surrogate

    void bare(std::u16string_view) { codeEndsHigh = false; }

    void tagged(std::u16string_view text, Rgb)
    {
        ++runs;
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

CodeLength::CodeLength(std::u16string_view input, const TagTemplate& tags, const ColorPair& colors,
                       ConvertOptions options)
    : m_trimmed(trimSpaces(input)), m_colors(colors), m_options(options),
      m_text(sizesOf(m_trimmed)),
      m_tags(sizesOf(tags.TagHead) + Sizes{6, 6, 6} + sizesOf(tags.TagMid) + sizesOf(tags.TagClose))
{
    const std::u16string_view head = tags.TagHead;
    const std::u16string_view mid = tags.TagMid;
    const std::u16string_view close = tags.TagClose;
    m_seams.midEndsHigh = !mid.empty() && isHighSurrogate(mid.back());
    m_seams.closeStartsLow = !close.empty() && isLowSurrogate(close.front());
    m_seams.closeEmpty = close.empty();
    m_seams.closeEndsHigh = !close.empty() && isHighSurrogate(close.back());
    m_seams.headStartsLow = !head.empty() && isLowSurrogate(head.front());

    m_nonSpaceBefore.resize(m_trimmed.size() + 1);
    std::uint32_t count = 0;
    for (std::size_t i = 0; i < m_trimmed.size(); ++i) {
        m_nonSpaceBefore[i] = count;
        count += m_trimmed[i] != u' ' ? 1u : 0u;
    }
    m_nonSpaceBefore[m_trimmed.size()] = count;
}

CodeLength::Runs CodeLength::countRuns(std::int32_t step) const
{
    RunCounter counter{m_seams};
    detail::MergingWriter<RunCounter> merged(counter);

    // The conversion's chunk loop, with the blank test made constant-time: isBlankChunk() reads
    // a whole chunk of spaces, which over every step of a long text of spaces is quadratic.
    const auto walk = [&](auto& out) {
        ChunkCursor cursor(m_trimmed, step, m_colors);
        while (const auto chunk = cursor.next()) {
            const std::u16string_view text = chunk->text;
            bool blank;
            if (text.size() == 1) {
                blank = text[0] == u' ' || text[0] == u'\t' || text[0] == u'\n' || text[0] == u'\r';
            } else {
                const auto begin = static_cast<std::size_t>(chunk->position - 1);
                blank = text.front() == u' ' && text.back() == u' ' &&
                        m_nonSpaceBefore[begin + text.size()] == m_nonSpaceBefore[begin];
            }
            if (blank)
                out.bare(text);
            else
                out.tagged(text, chunk->color);
        }
    };
    if (m_options.merge) {
        walk(merged);
        merged.finish();
    } else {
        walk(counter);
    }
    return {counter.runs, counter.pairs};
}

std::uint64_t CodeLength::at(std::int32_t step, LengthUnit unit) const
{
    const Runs runs = countRuns(effectiveStep(std::optional<std::int32_t>(step), textSize()));
    // Two lone surrogates of 3 bytes each that meet become one character of 4 bytes.
    const std::uint64_t pairSaving = unit == LengthUnit::Chars   ? 1
                                     : unit == LengthUnit::Bytes ? 2
                                                                 : 0;
    const std::uint64_t tags = runs.tagged * m_tags.in(unit);
    return m_text.in(unit) + tags - runs.pairsAcrossSeams * pairSaving;
}

std::uint64_t codeLength(std::u16string_view input, std::u16string_view stepText,
                         const TagTemplate& tags, const ColorPair& colors, ConvertOptions options,
                         LengthUnit unit)
{
    const CodeLength length(input, tags, colors, options);
    return length.at(effectiveStep(stepText, length.textSize()), unit);
}

} // namespace prismel
