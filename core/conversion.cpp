#include "conversion.h"

#include <algorithm>
#include <cstring>

namespace prismel {

namespace {

// Writes straight into memory sized once up front, with no capacity checks per piece. Head,
// colour code and mid are laid down as one block whose six digits are then filled in.
class BufferWriter {
public:
    BufferWriter(char16_t* at, const TagTemplate& tags, const ConvertOptions& options)
        : m_at(at), m_opening(tags.TagHead + u"000000" + tags.TagMid),
          m_codeOffset(tags.TagHead.size()), m_decimal(options.colorCode != ColorCode::Hex),
          m_codes(options.colorCode), m_special(!detail::hasPlainChunks(options)),
          m_options(options), m_escaped(detail::escapedUnits(options.escaping)),
          m_close(tags.TagClose)
    {
    }

    void bare(std::u16string_view text) { m_at = copy(text, m_at); }

    void tagged(std::u16string_view text, Rgb color)
    {
        // Neighbouring chunks of a long text mostly share a colour, so the digits are rewritten
        // only when it changes.
        if (color != m_lastColor) {
            if (m_decimal) [[unlikely]]
                writeDecimal(color);
            else
                writeColorCode(m_opening.data() + m_codeOffset, color);
            m_lastColor = color;
        }
        if (m_special) [[unlikely]] {
            writeSpecial(text);
            return;
        }
        m_at = copy(m_close, copy(text, copy(m_opening, m_at)));
    }

    char16_t* end() const { return m_at; }

private:
    // A decimal code's length varies with the colour, so the opening is laid anew; kept out of
    // line, which keeps tagged() small enough for the chunk loop.
    [[gnu::noinline]] void writeDecimal(Rgb color)
    {
        const std::u16string_view code = m_codes.of(color);
        m_opening.replace(m_codeOffset, m_codeSize, code);
        m_codeSize = code.size();
    }

    // Escaping, or an IRC chunk's guard against a comma read as a background colour.
    [[gnu::noinline]] void writeSpecial(std::u16string_view text)
    {
        m_at = copy(m_opening, m_at);
        if (m_options.colorCode == ColorCode::Irc16 && text.front() == u',')
            m_at = copy(u"\x02\x02", m_at);
        if (detail::needsEscape(text, m_escaped))
            detail::putEscaped(text, m_options.escaping,
                               [this](std::u16string_view piece) { m_at = copy(piece, m_at); });
        else
            m_at = copy(text, m_at);
        m_at = copy(m_close, m_at);
    }

    static char16_t* copy(std::u16string_view piece, char16_t* to)
    {
        // Most chunks are a single unit; the rest go to memcpy, which is fastest for short runs.
        if (piece.size() == 1) {
            *to = piece[0];
            return to + 1;
        }
        std::memcpy(to, piece.data(), piece.size() * sizeof(char16_t));
        return to + piece.size();
    }

    char16_t* m_at;
    std::u16string m_opening;
    std::size_t m_codeOffset;
    std::size_t m_codeSize = 6;
    bool m_decimal; // any code but hex, whose length varies with the colour
    detail::ColorCodeCache m_codes;
    bool m_special;
    ConvertOptions m_options;
    std::array<std::uint64_t, 2> m_escaped;
    Rgb m_lastColor{-1, -1, -1}; // no colour the tool can hold
    std::u16string_view m_close;
};

} // namespace

std::size_t markupCapacity(std::u16string_view input, const ConvertRequest& request)
{
    const ConvertOptions& options = request.options;
    if (options.escaping == Escaping::Terminal) {
        if (const auto stripped = withoutEscapeSequences(input))
            return markupCapacity(*stripped, request);
    }
    const detail::DressedTemplate dress = detail::dressed(request.tags, options);
    const TrimmedText<char16_t> text = prepareText(input, request.step);
    const std::u16string_view trimmed = text.trimmed;
    const std::size_t around = dress.before.size() + dress.after.size();
    const std::size_t lineBreaks = static_cast<std::size_t>(std::count_if(
        trimmed.begin(), trimmed.end(), [](char16_t c) { return c == u'\r' || c == u'\n'; }));
    const std::size_t growth = detail::escapeGrowth(trimmed, options.escaping);
    if (options.wholeTextGradient) {
        const std::size_t wrapper = detail::gradientTagOf(Gradient(ColorPair{})).size() +
                                    (Gradient::maxStops - Gradient::minStops) * 8 +
                                    detail::gradientClose.size();
        return trimmed.size() + growth + around + (lineBreaks + 1) * wrapper;
    }
    const std::size_t units = trimmed.size();
    const auto step = static_cast<std::size_t>(text.step);
    // At most one set of tags per chunk, plus the text itself; a chunk stretched to the end of
    // a cluster only lowers the count. Cut line by line, each line may end in one short chunk.
    std::size_t chunks = (units + step - 1) / step;
    if (options.perLine)
        chunks += 1 + lineBreaks;
    const std::size_t codeSize = options.colorCode == ColorCode::Hex ? 6 : maxColorCodeSize;
    const std::size_t comma = options.colorCode == ColorCode::Irc16 ? 2 : 0;
    const std::size_t perChunk = dress.tags.TagHead.size() + codeSize + dress.tags.TagMid.size() +
                                 dress.tags.TagClose.size() + comma;
    return units + growth + around + chunks * perChunk;
}

void convertTextInto(std::u16string& result, std::u16string_view input,
                     const ConvertRequest& request)
{
    convertTextInto(result, input, request, {});
}

WrittenCode convertTextInto(std::span<char16_t> out, std::u16string_view input,
                            const ConvertRequest& request, const ConvertProgress& progress)
{
    const ConvertOptions& options = request.options;
    if (options.escaping == Escaping::Terminal) {
        if (const auto stripped = withoutEscapeSequences(input))
            return convertTextInto(out, *stripped, request, progress);
    }
    const detail::DressedTemplate dress = detail::dressed(request.tags, options);
    const TrimmedText<char16_t> text = prepareText(input, request.step);
    const std::u16string_view trimmed = text.trimmed;
    char16_t* start = out.data();
    if (!trimmed.empty())
        start = std::copy(dress.before.begin(), dress.before.end(), start);
    if (options.wholeTextGradient) {
        const std::u16string tag = detail::gradientTagOf(request.gradient);
        detail::putWholeTextGradient(trimmed, std::u16string_view(tag), options.perLine,
                                     options.escaping, [&](std::u16string_view piece) {
                                         start = std::copy(piece.begin(), piece.end(), start);
                                     });
        if (!trimmed.empty())
            start = std::copy(dress.after.begin(), dress.after.end(), start);
        return {static_cast<std::size_t>(start - out.data()), true};
    }
    // The memory is sized once and never moves, which lets the code so far be read while the
    // rest is written.
    BufferWriter writer(start, dress.tags, options);
    const auto written = [&] { return static_cast<std::size_t>(writer.end() - out.data()); };
    // Counted in units of the input rather than in chunks: a chunk of a large step, or one
    // stretched over a long cluster, is that much more work.
    const std::size_t unitsPerReport = progress ? std::size_t{1} << 16 : SIZE_MAX;
    bool finished = false;
    const auto writeWith = [&](auto& cursor) {
        const auto writeAll = [&](auto& to) {
            while (detail::writeChunks(cursor, to, unitsPerReport)) {
                if (!progress(std::u16string_view(out.data(), written())))
                    return false;
            }
            return true;
        };
        if (options.merge) {
            detail::MergingWriter<BufferWriter> merged(writer);
            finished = writeAll(merged);
            if (finished)
                merged.finish();
        } else {
            finished = writeAll(writer);
        }
    };
    withCursor(text, request.gradient, options.perLine, writeWith);
    if (!finished || trimmed.empty())
        return {written(), finished};
    const char16_t* end = std::copy(dress.after.begin(), dress.after.end(), writer.end());
    return {static_cast<std::size_t>(end - out.data()), true};
}

bool convertTextInto(std::u16string& result, std::u16string_view input,
                     const ConvertRequest& request, const ConvertProgress& progress)
{
    result.resize(markupCapacity(input, request));
    const WrittenCode code = convertTextInto(std::span(result), input, request, progress);
    result.resize(code.length);
    return code.finished;
}

std::u16string ConvertText(std::u16string_view input, const ConvertRequest& request)
{
    std::u16string result;
    convertTextInto(result, input, request);
    return result;
}

} // namespace prismel
