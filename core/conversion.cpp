#include "conversion.h"

#include <algorithm>
#include <cstring>

namespace prismel {

namespace {

// Writes straight into memory sized once up front, with no capacity checks per piece. Head,
// colour code and mid are laid down as one block whose six digits are then filled in.
class BufferWriter {
public:
    BufferWriter(char16_t* at, const TagTemplate& tags, ColorCode code)
        : m_at(at), m_opening(tags.TagHead + u"000000" + tags.TagMid),
          m_codeOffset(tags.TagHead.size()), m_decimal(code == ColorCode::Decimal),
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
        m_at = copy(m_close, copy(text, copy(m_opening, m_at)));
    }

    char16_t* end() const { return m_at; }

private:
    // A decimal code's length varies with the colour, so the opening is laid anew; kept out of
    // line, which keeps tagged() small enough for the chunk loop.
    [[gnu::noinline]] void writeDecimal(Rgb color)
    {
        char16_t code[decimalCodeSize];
        const std::size_t size =
            static_cast<std::size_t>(writeDecimalColorCode(code, color) - code);
        m_opening.replace(m_codeOffset, m_codeSize, code, size);
        m_codeSize = size;
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
    bool m_decimal;
    Rgb m_lastColor{-1, -1, -1}; // no colour the tool can hold
    std::u16string_view m_close;
};

} // namespace

std::size_t markupCapacity(std::u16string_view input, std::u16string_view stepText,
                           const TagTemplate& tags, ConvertOptions options)
{
    const ChunkCursor cursor = chunksOf(input, stepText, ColorPair{});
    const std::size_t units = cursor.remaining();
    // At most one set of tags per chunk, plus the text itself; a chunk stretched to the end of
    // a cluster only lowers the count. Cut line by line, each line may end in one short chunk.
    std::size_t chunks = (units + cursor.step() - 1) / cursor.step();
    if (options.perLine) {
        const std::u16string_view trimmed = trimSpaces(input);
        chunks += 1 + static_cast<std::size_t>(
                          std::count_if(trimmed.begin(), trimmed.end(),
                                        [](char16_t c) { return c == u'\r' || c == u'\n'; }));
    }
    const std::size_t codeSize = options.colorCode == ColorCode::Decimal ? decimalCodeSize : 6;
    const std::size_t perChunk =
        tags.TagHead.size() + codeSize + tags.TagMid.size() + tags.TagClose.size();
    return units + chunks * perChunk;
}

void convertTextInto(std::u16string& result, std::u16string_view input,
                     std::u16string_view stepText, const TagTemplate& tags,
                     const Gradient& gradient, ConvertOptions options)
{
    convertTextInto(result, input, stepText, tags, gradient, options, {});
}

WrittenCode convertTextInto(std::span<char16_t> out, std::u16string_view input,
                            std::u16string_view stepText, const TagTemplate& tags,
                            const Gradient& gradient, ConvertOptions options,
                            const ConvertProgress& progress)
{
    // The memory is sized once and never moves, which lets the code so far be read while the
    // rest is written.
    BufferWriter writer(out.data(), tags, options.colorCode);
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
    const std::u16string_view trimmed = trimSpaces(input);
    const auto length = static_cast<std::int64_t>(trimmed.size());
    withCursor(trimmed, effectiveStep(stepText, length), gradient, length, options.perLine,
               writeWith);
    return {written(), finished};
}

bool convertTextInto(std::u16string& result, std::u16string_view input,
                     std::u16string_view stepText, const TagTemplate& tags,
                     const Gradient& gradient, ConvertOptions options,
                     const ConvertProgress& progress)
{
    result.resize(markupCapacity(input, stepText, tags, options));
    const WrittenCode code =
        convertTextInto(std::span(result), input, stepText, tags, gradient, options, progress);
    result.resize(code.length);
    return code.finished;
}

std::u16string ConvertText(std::u16string_view input, std::u16string_view stepText,
                           const TagTemplate& tags, const Gradient& gradient,
                           ConvertOptions options)
{
    std::u16string result;
    convertTextInto(result, input, stepText, tags, gradient, options);
    return result;
}

} // namespace prismel
