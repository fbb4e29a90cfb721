#pragma once

#include "chunking.h"
#include "colorpair.h"
#include "format.h"
#include "gradient.h"
#include "mergedtags.h"
#include "tagtemplate.h"
#include "utf8.h"

#include <algorithm>
#include <array>
#include <concepts>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace prismel {

namespace detail {

// The one loop that turns chunks into markup, for either encoding; `out` decides where the
// pieces go: out.bare(text) for a blank chunk, out.tagged(text, colour) for any other.
template <bool stepOfOne, typename Cursor, typename Writer>
void writeChunksWith(Cursor& cursor, Writer& out, std::size_t stop)
{
    cursor.template forEach<stepOfOne>(
        // Inlined also where a line cursor hands out each line's chunks in a loop of its own.
        [&out](const BasicChunk<typename Cursor::CodeUnit>& chunk) __attribute__((always_inline)) {
            // A writer that tells blank chunks itself takes every chunk in one call.
            if constexpr (requires { out.chunk(chunk.text, chunk.color); })
                out.chunk(chunk.text, chunk.color);
            else if (isBlankChunk(chunk.text))
                out.bare(chunk.text);
            else
                out.tagged(chunk.text, chunk.color);
        },
        stop);
}

// The loop over about `units` more units of the text (the chunk that reaches them ends it), so
// that a caller may look up from a long conversion after a bounded amount of work whatever the
// step; says whether any chunks are left. `cursor` is a whole text's or a line cursor.
template <typename Cursor, typename Writer>
bool writeChunks(Cursor& cursor, Writer& out, std::size_t units)
{
    const std::size_t stop = units >= cursor.remaining() ? SIZE_MAX : cursor.offset() + units;
    if (cursor.step() == 1)
        writeChunksWith<true>(cursor, out, stop);
    else
        writeChunksWith<false>(cursor, out, stop);
    return cursor.remaining() > 0;
}

template <typename Cursor, typename Writer> void writeChunks(Cursor& cursor, Writer& out)
{
    writeChunks(cursor, out, SIZE_MAX);
}

// The same loop with the choices of `options` applied on the way to `out`.
template <typename Cursor, typename Writer>
void writeChunks(Cursor& cursor, Writer& out, ConvertOptions options)
{
    if (!options.merge) {
        writeChunks(cursor, out);
        return;
    }
    MergingWriter<Writer, typename Cursor::CodeUnit> merged(out);
    writeChunks(cursor, merged);
    merged.finish();
}

template <typename Writer>
void writeMarkup(std::u16string_view input, const ConvertRequest& request, Writer& out)
{
    withCursor(prepareText(input, request.step), request.gradient, request.options.perLine,
               [&](auto& cursor) { writeChunks(cursor, out, request.options); });
}

// A sink that takes a filled block whole, `used` bytes of it, and gives back an empty one of at
// least `capacity` bytes, so that it may write one block while the next is being filled.
template <typename Sink>
concept BlockTakingSink = requires(Sink& sink, std::unique_ptr<char8_t[]> block)
{
    {
        sink.handOver(std::move(block), std::size_t{}, std::size_t{})
        } -> std::same_as<std::unique_ptr<char8_t[]>>;
};

// Lays UTF-8 markup into one block of memory and hands the block to `sink` each time it fills,
// so that output leaves in large writes from memory that stays in cache. The tags are encoded
// once; a piece longer than the block goes to the sink straight from the input.
template <typename Sink> class Utf8MarkupWriter {
public:
    // Chunk text may be read up to `inputEnd` (the end of the text it is cut from), which lets
    // a short chunk be copied as one fixed-size block.
    Utf8MarkupWriter(const TagTemplate& tags, Sink& sink, std::size_t blockSize,
                     const char8_t* inputEnd, const ConvertOptions& options = {})
        : m_sink(sink), m_inputEnd(inputEnd), m_codes(options.colorCode),
          m_blockSize(std::max<std::size_t>(blockSize, 1)),
          m_block(std::make_unique_for_overwrite<char8_t[]>(m_blockSize)), m_at(m_block.get())
    {
        const std::u8string head = toUtf8(tags.TagHead);
        m_opening = head + u8"000000" + toUtf8(tags.TagMid);
        m_codeOffset = head.size();
        m_close = toUtf8(tags.TagClose);
        m_decimal = options.colorCode == ColorCode::Decimal;
        m_otherCode = !m_decimal && options.colorCode != ColorCode::Hex;
        m_special = !hasPlainChunks(options);
        m_escaping = options.escaping;
        m_comma = options.colorCode == ColorCode::Irc16;
        const auto units = escapedUnits(options.escaping);
        for (unsigned c = 0; c < 128; ++c) {
            m_escaped[c] = ((units[c >> 6] >> (c & 63)) & 1) != 0;
            // Controls are tested as a range; the other escaped bytes one by one.
            if (m_escaped[c] && c >= 32 && c != 127 && m_escapedBytes < m_escapedByte.size())
                m_escapedByte[m_escapedBytes++] = static_cast<char8_t>(c);
        }
        m_controls = options.escaping == Escaping::Terminal;
        // A code that varies with the colour may grow to its longest.
        const std::size_t longest = m_opening.size() - 6 +
                                    (m_decimal     ? decimalCodeSize
                                     : m_otherCode ? maxColorCodeSize
                                                   : 6);
        m_shortTags = longest <= longPiece && m_close.size() <= shortPiece;
        if (m_shortTags) {
            std::copy(m_opening.begin(), m_opening.end(), m_paddedOpening.begin());
            std::copy(m_close.begin(), m_close.end(), m_paddedClose.begin());
        }
    }

    [[gnu::always_inline]] void bare(std::u8string_view text) { put(text); }

    [[gnu::always_inline]] void tagged(std::u8string_view text, Rgb color)
    {
        if (fitsShortCopies(text)) [[likely]] {
            writeShort(text, color, ~std::size_t{0});
            return;
        }
        if (m_special && needsWork(text)) [[unlikely]] {
            writeSpecial(text, color);
            return;
        }
        useColor(color);
        put(m_opening);
        put(text);
        put(m_close);
    }

    // Either kind of chunk, for the loop that does not merge. Whether a short chunk is blank
    // decides only how far the tags advance, not which code runs, so that text mixing spaces,
    // line breaks and words costs no mispredicted branch a chunk.
    [[gnu::always_inline]] void chunk(std::u8string_view text, Rgb color)
    {
        if (fitsShortCopies(text)) [[likely]] {
            writeShort(text, color, isShortBlank(text) ? 0 : ~std::size_t{0});
            return;
        }
        if (isBlankChunk(text))
            bare(text);
        else
            tagged(text, color);
    }

    /// Hands over what the block holds.
    void flush()
    {
        if (m_at != m_block.get()) {
            if constexpr (BlockTakingSink<Sink>)
                m_block =
                    m_sink.handOver(std::move(m_block),
                                    static_cast<std::size_t>(m_at - m_block.get()), m_blockSize);
            else
                m_sink(std::u8string_view(m_block.get(), m_at));
        }
        m_at = m_block.get();
    }

private:
    static constexpr std::size_t shortPiece = 16;
    static constexpr std::size_t longPiece = 32;

    std::size_t room() const
    {
        return m_blockSize - static_cast<std::size_t>(m_at - m_block.get());
    }

    // Neighbouring chunks of a long text mostly share a colour, so the digits are rewritten
    // only when it changes.
    [[gnu::always_inline]] void useColor(Rgb color)
    {
        if (color == m_lastColor) [[likely]]
            return;
        m_lastColor = color;
        if (m_decimal) [[unlikely]] {
            useDecimal(color);
            return;
        }
        if (m_otherCode) [[unlikely]] {
            useOtherCode(color);
            return;
        }
        writeColorCode(m_opening.data() + m_codeOffset, color);
        if (m_shortTags)
            writeColorCode(m_paddedOpening.data() + m_codeOffset, color);
    }

    // A decimal code's length varies with the colour, so the opening is laid anew.
    [[gnu::noinline]] void useDecimal(Rgb color)
    {
        char8_t code[decimalCodeSize];
        const auto size = static_cast<std::size_t>(writeDecimalColorCode(code, color) - code);
        m_opening.replace(m_codeOffset, m_codeSize, code, size);
        m_codeSize = size;
        if (m_shortTags)
            std::copy(m_opening.begin(), m_opening.end(), m_paddedOpening.begin());
    }

    [[gnu::noinline]] void useOtherCode(Rgb color)
    {
        // Codes are ASCII but for Minecraft's section sign, two bytes.
        std::array<char8_t, maxColorCodeSize> code{};
        std::size_t size = 0;
        for (const char16_t unit : m_codes.of(color)) {
            if (unit < 0x80) {
                code[size++] = static_cast<char8_t>(unit);
                continue;
            }
            code[size++] = static_cast<char8_t>(0xC0 | (unit >> 6));
            code[size++] = static_cast<char8_t>(0x80 | (unit & 0x3F));
        }
        m_opening.replace(m_codeOffset, m_codeSize, code.data(), size);
        m_codeSize = size;
        if (m_shortTags)
            std::copy(m_opening.begin(), m_opening.end(), m_paddedOpening.begin());
    }

    // A chunk whose text needs escaping, or an IRC chunk starting with a comma, which a client
    // would read with the digits after it as a background colour.
    bool needsWork(std::u8string_view text) const
    {
        if (text.empty())
            return false;
        bool work = m_comma && text[0] == u8',';
        for (const char8_t unit : text)
            work |= unit < 128 && m_escaped[unit];
        return work;
    }

    // needsWork() for a chunk of at most `shortPiece` bytes that may be read as a block of that
    // many, tested a block at a time so that text needing nothing stays on the fast path.
    bool shortNeedsWork(std::u8string_view text) const
    {
#ifdef __SSE2__
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data()));
        __m128i hits = _mm_setzero_si128();
        for (std::size_t k = 0; k < m_escapedBytes; ++k)
            hits = _mm_or_si128(
                hits, _mm_cmpeq_epi8(block, _mm_set1_epi8(static_cast<char>(m_escapedByte[k]))));
        if (m_controls) {
            const __m128i belowSpace =
                _mm_cmpeq_epi8(_mm_min_epu8(block, _mm_set1_epi8(0x1F)), block);
            const __m128i kept =
                _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(block, _mm_set1_epi8('\t')),
                                          _mm_cmpeq_epi8(block, _mm_set1_epi8('\n'))),
                             _mm_cmpeq_epi8(block, _mm_set1_epi8('\r')));
            hits = _mm_or_si128(hits, _mm_andnot_si128(kept, belowSpace));
            hits = _mm_or_si128(hits, _mm_cmpeq_epi8(block, _mm_set1_epi8(0x7F)));
        }
        const std::uint32_t within = (std::uint32_t{1} << text.size()) - 1;
        const auto found = static_cast<std::uint32_t>(_mm_movemask_epi8(hits)) & within;
        return found != 0 || (m_comma && !text.empty() && text[0] == u8',');
#else
        return needsWork(text);
#endif
    }

    [[gnu::noinline]] void writeSpecial(std::u8string_view text, Rgb color)
    {
        useColor(color);
        put(m_opening);
        if (m_comma && text[0] == u8',')
            put(u8"\x02\x02");
        putEscaped(text, m_escaping, [this](std::u8string_view piece) { put(piece); });
        put(m_close);
    }

    // The common case: short tags and a short chunk, each copied as a block of fixed size
    // whatever its length, which takes no length-dependent branches. What a copy lays past its
    // piece is overwritten by the next or lies unused in the block.
    bool fitsShortCopies(std::u8string_view text) const
    {
        return m_shortTags && text.size() <= shortPiece &&
               static_cast<std::size_t>(m_inputEnd - text.data()) >= shortPiece &&
               longPiece + 2 * shortPiece <= room() && (!m_special || !shortNeedsWork(text));
    }

    // `tags` is all ones for a tagged chunk and 0 for a bare one, whose tags are laid down all
    // the same and then overwritten.
    [[gnu::always_inline]] void writeShort(std::u8string_view text, Rgb color, std::size_t tags)
    {
        useColor(color);
        std::memcpy(m_at, m_paddedOpening.data(), longPiece);
        m_at += m_opening.size() & tags;
        std::memcpy(m_at, text.data(), shortPiece);
        m_at += text.size();
        std::memcpy(m_at, m_paddedClose.data(), shortPiece);
        m_at += m_close.size() & tags;
    }

    // isBlankChunk() for a chunk of at most `shortPiece` bytes that may be read as a block of
    // that many, with masks where its tests would branch.
    static bool isShortBlank(std::u8string_view text)
    {
        const std::uint32_t within = (std::uint32_t{1} << text.size()) - 1;
        std::uint32_t spaces = 0;
#ifdef __SSE2__
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data()));
        spaces = static_cast<std::uint32_t>(
            _mm_movemask_epi8(_mm_cmpeq_epi8(block, _mm_set1_epi8(' '))));
#else
        for (std::size_t k = 0; k < text.size(); ++k)
            spaces |= std::uint32_t{text[k] == u8' '} << k;
#endif
        // A tab, line feed or carriage return alone; bits 9, 10 and 13.
        const std::uint32_t first = text.empty() ? 0xFF : text[0];
        const bool lineBreakOrTab =
            (text.size() == 1) & (first < 32) & ((0x2600u >> (first & 31)) & 1);
        return ((spaces & within) == within) | lineBreakOrTab;
    }

    [[gnu::always_inline]] void put(std::u8string_view piece)
    {
        if (piece.size() > room()) [[unlikely]] {
            putPastRoom(piece);
            return;
        }
        // Most bare chunks are a single space or line break.
        if (piece.size() == 1)
            *m_at = piece[0];
        else
            std::memcpy(m_at, piece.data(), piece.size());
        m_at += piece.size();
    }

    [[gnu::noinline]] void putPastRoom(std::u8string_view piece)
    {
        flush();
        if (piece.size() >= m_blockSize) {
            m_sink(piece);
            return;
        }
        std::memcpy(m_at, piece.data(), piece.size());
        m_at += piece.size();
    }

    Sink& m_sink;
    const char8_t* m_inputEnd;
    std::u8string m_opening; // head, six digits, mid
    std::size_t m_codeOffset = 0;
    std::size_t m_codeSize = 6;
    bool m_decimal = false;
    bool m_otherCode = false; // neither hex nor decimal: a palette's or Minecraft's digits
    bool m_special = false;   // chunks may need escaping or an IRC comma's guard
    bool m_comma = false;
    bool m_controls = false;
    std::array<char8_t, 10> m_escapedByte{};
    std::size_t m_escapedBytes = 0;
    Escaping m_escaping = Escaping::None;
    std::array<bool, 128> m_escaped{};
    ColorCodeCache m_codes;
    std::u8string m_close;
    bool m_shortTags = false;
    std::array<char8_t, longPiece> m_paddedOpening{};
    std::array<char8_t, shortPiece> m_paddedClose{};
    Rgb m_lastColor{-1, -1, -1}; // no colour the tool can hold
    std::size_t m_blockSize;
    std::unique_ptr<char8_t[]> m_block;
    char8_t* m_at;
};

} // namespace detail

/// Converts `input` to rainbow markup, handing each piece of the result to `append` as a
/// std::u16string_view, front to back. Useful to stream a large result without holding it.
///
/// The input is trimmed of spaces, cut into chunks of the step (see chunksOf()), and every
/// chunk that is not blank becomes head + code + mid + chunk + close, as `options` write them.
template <typename Append>
void convertTextTo(std::u16string_view input, const ConvertRequest& request, Append&& append)
{
    const ConvertOptions& options = request.options;
    if (options.escaping == Escaping::Terminal) {
        if (const auto stripped = withoutEscapeSequences(input)) {
            convertTextTo(*stripped, request, append);
            return;
        }
    }
    const detail::DressedTemplate dress = detail::dressed(request.tags, options);
    const bool empty = trimSpaces(input).empty();
    if (!empty && !dress.before.empty())
        append(std::u16string_view(dress.before));
    if (options.wholeTextGradient) {
        const std::u16string tag = detail::gradientTagOf(request.gradient);
        detail::putWholeTextGradient(trimSpaces(input), std::u16string_view(tag), options.perLine,
                                     options.escaping,
                                     [&](std::u16string_view piece) { append(piece); });
    } else {
        struct Forward {
            const TagTemplate& tags;
            Append& append;
            const ConvertOptions& options;
            detail::ColorCodeCache codes;
            void bare(std::u16string_view text) { append(text); }
            void tagged(std::u16string_view text, Rgb color)
            {
                append(std::u16string_view(tags.TagHead));
                append(codes.of(color));
                append(std::u16string_view(tags.TagMid));
                if (options.colorCode == ColorCode::Irc16 && text.front() == u',')
                    append(std::u16string_view(u"\x02\x02"));
                detail::putEscaped(text, options.escaping,
                                   [this](std::u16string_view piece) { append(piece); });
                append(std::u16string_view(tags.TagClose));
            }
        } out{dress.tags, append, options, detail::ColorCodeCache(options.colorCode)};
        detail::writeMarkup(input, request, out);
    }
    if (!empty && !dress.after.empty())
        append(std::u16string_view(dress.after));
}

/// Converts well-formed UTF-8 `input`, whose length in UTF-16 code units is `utf16Length`, to
/// the markup ConvertText() gives for the same text, as UTF-8. The markup goes to `sink`, called
/// with a std::u8string_view, in blocks of up to `blockSize` bytes front to back (a chunk longer
/// than that in one piece of its own), so that neither the input nor the markup is copied whole.
/// A sink with handOver() (detail::BlockTakingSink) is given the blocks themselves instead, and
/// only the pieces longer than a block are passed as views.
/// Chunks, steps and positions count UTF-16 code units as in ConvertText().
template <typename Sink>
void convertUtf8To(std::u8string_view input, std::int64_t utf16Length,
                   const ConvertRequest& request, Sink&& sink, std::size_t blockSize = 1 << 20)
{
    const ConvertOptions& options = request.options;
    if (options.escaping == Escaping::Terminal) {
        if (const auto stripped = withoutEscapeSequences(input)) {
            convertUtf8To(*stripped, utf16Units(*stripped), request, sink, blockSize);
            return;
        }
    }
    const detail::DressedTemplate dress = detail::dressed(request.tags, options);
    detail::Utf8MarkupWriter<std::remove_reference_t<Sink>> out(
        dress.tags, sink, blockSize, input.data() + input.size(), options);
    const std::u8string_view trimmed = trimSpaces(input);
    if (!trimmed.empty())
        out.bare(toUtf8(dress.before));
    if (options.wholeTextGradient) {
        const std::u8string tag = toUtf8(detail::gradientTagOf(request.gradient));
        detail::putWholeTextGradient(trimmed, std::u8string_view(tag), options.perLine,
                                     options.escaping,
                                     [&](std::u8string_view piece) { out.bare(piece); });
    } else {
        withCursor(prepareText(input, utf16Length, request.step), request.gradient, options.perLine,
                   [&](auto& cursor) { detail::writeChunks(cursor, out, options); });
    }
    if (!trimmed.empty())
        out.bare(toUtf8(dress.after));
    out.flush();
}

/// An upper bound of the length of the generated code, to size a buffer once.
std::size_t markupCapacity(std::u16string_view input, const ConvertRequest& request);

/// The generated code written into `result`, replacing what it held. Reusing one string for
/// many conversions keeps its memory, which is faster than a fresh string each time.
void convertTextInto(std::u16string& result, std::u16string_view input,
                     const ConvertRequest& request);

/// Told the code that is final so far each time about 65,536 more units of the input are
/// converted, whatever the step, so a few milliseconds apart: the front of the result, which
/// stays where it is in memory and unchanged until the conversion ends, so another thread may
/// read it meanwhile. Returning false stops the conversion.
using ConvertProgress = std::function<bool(std::u16string_view doneSoFar)>;

/// convertTextInto() reporting to `progress` on the way; false when `progress` stopped it, and
/// `result` then holds only the code reported so far and perhaps a little more.
bool convertTextInto(std::u16string& result, std::u16string_view input,
                     const ConvertRequest& request, const ConvertProgress& progress);

/// How much of the memory given to convertTextInto() holds code, and whether it is all of it.
struct WrittenCode {
    std::size_t length = 0;
    bool finished = false;
};

/// The same into memory of the caller's, at least markupCapacity() units long, which need not
/// be initialised: a code of a few hundred megabytes is then written once rather than cleared
/// first, and a stop asked early finds little of it touched.
WrittenCode convertTextInto(std::span<char16_t> out, std::u16string_view input,
                            const ConvertRequest& request, const ConvertProgress& progress);

/// The whole generated code for `input` and `request`.
std::u16string ConvertText(std::u16string_view input, const ConvertRequest& request);

} // namespace prismel
