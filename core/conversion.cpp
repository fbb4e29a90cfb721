#include "conversion.h"

#include <cstring>

namespace prismel {

namespace {

// Writes straight into memory sized once up front, with no capacity checks per piece. Head,
// colour code and mid are laid down as one block whose six digits are then filled in.
class BufferWriter {
public:
    BufferWriter(char16_t* at, const TagTemplate& tags)
        : m_at(at), m_opening(tags.TagHead + u"000000" + tags.TagMid),
          m_codeOffset(tags.TagHead.size()), m_close(tags.TagClose)
    {
    }

    void bare(std::u16string_view text) { m_at = copy(text, m_at); }

    void tagged(std::u16string_view text, Rgb color)
    {
        // Neighbouring chunks of a long text mostly share a colour, so the digits are rewritten
        // only when it changes.
        if (color != m_lastColor) {
            writeColorCode(m_opening.data() + m_codeOffset, color);
            m_lastColor = color;
        }
        m_at = copy(m_close, copy(text, copy(m_opening, m_at)));
    }

    char16_t* end() const { return m_at; }

private:
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
    Rgb m_lastColor{-1, -1, -1}; // no colour the tool can hold
    std::u16string_view m_close;
};

} // namespace

std::size_t markupCapacity(std::u16string_view input, std::u16string_view stepText,
                           const TagTemplate& tags)
{
    const ChunkCursor cursor = chunksOf(input, stepText, ColorPair{});
    const std::size_t units = cursor.remaining();
    // At most one set of tags per chunk, plus the text itself; a chunk stretched to the end of
    // a cluster only lowers the count.
    const std::size_t chunks = (units + cursor.step() - 1) / cursor.step();
    const std::size_t perChunk =
        tags.TagHead.size() + 6 + tags.TagMid.size() + tags.TagClose.size();
    return units + chunks * perChunk;
}

void convertTextInto(std::u16string& result, std::u16string_view input,
                     std::u16string_view stepText, const TagTemplate& tags, const ColorPair& colors,
                     ConvertOptions options)
{
    convertTextInto(result, input, stepText, tags, colors, options, {});
}

WrittenCode convertTextInto(std::span<char16_t> out, std::u16string_view input,
                            std::u16string_view stepText, const TagTemplate& tags,
                            const ColorPair& colors, ConvertOptions options,
                            const ConvertProgress& progress)
{
    // The memory is sized once and never moves, which lets the code so far be read while the
    // rest is written.
    BufferWriter writer(out.data(), tags);
    ChunkCursor cursor = chunksOf(input, stepText, colors);
    const auto written = [&] { return static_cast<std::size_t>(writer.end() - out.data()); };
    // Counted in units of the input rather than in chunks: a chunk of a large step, or one
    // stretched over a long cluster, is that much more work.
    const std::size_t unitsPerReport = progress ? std::size_t{1} << 16 : SIZE_MAX;
    const auto writeAll = [&](auto& to) {
        while (detail::writeChunks(cursor, to, unitsPerReport)) {
            if (!progress(std::u16string_view(out.data(), written())))
                return false;
        }
        return true;
    };
    bool finished = false;
    if (options.merge) {
        detail::MergingWriter<BufferWriter> merged(writer);
        finished = writeAll(merged);
        if (finished)
            merged.finish();
    } else {
        finished = writeAll(writer);
    }
    return {written(), finished};
}

bool convertTextInto(std::u16string& result, std::u16string_view input,
                     std::u16string_view stepText, const TagTemplate& tags, const ColorPair& colors,
                     ConvertOptions options, const ConvertProgress& progress)
{
    result.resize(markupCapacity(input, stepText, tags));
    const WrittenCode code =
        convertTextInto(std::span(result), input, stepText, tags, colors, options, progress);
    result.resize(code.length);
    return code.finished;
}

std::u16string ConvertText(std::u16string_view input, std::u16string_view stepText,
                           const TagTemplate& tags, const ColorPair& colors, ConvertOptions options)
{
    std::u16string result;
    convertTextInto(result, input, stepText, tags, colors, options);
    return result;
}

} // namespace prismel
