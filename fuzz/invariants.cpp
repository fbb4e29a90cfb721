#include "invariants.h"

#include "core/chunking.h"
#include "core/codelength.h"
#include "core/colorwalk.h"
#include "core/conversion.h"
#include "core/format.h"
#include "core/gradient.h"
#include "core/step.h"
#include "core/utf8.h"

#include <unicode/ubrk.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace prismel::fuzzing {

// The leading number of the step text, read as a string of digits so that no width can
// overflow, rounded half to even; nothing when it lies outside the signed 32-bit range.
std::optional<std::int64_t> stepValue(std::u16string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == u' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';
    const auto isDigit = [&](std::size_t at) {
        return at < text.size() && text[at] >= u'0' && text[at] <= u'9';
    };
    std::u16string digits;
    for (; isDigit(i); ++i)
        if (!digits.empty() || text[i] != u'0')
            digits += text[i];
    if (digits.size() > 11)
        return std::nullopt;
    std::int64_t value = 0;
    for (const char16_t d : digits)
        value = value * 10 + (d - u'0');
    if (i < text.size() && text[i] == u'.' && isDigit(i + 1)) {
        const char16_t first = text[i + 1];
        std::size_t j = i + 2;
        bool beyondHalf = first > u'5';
        for (; isDigit(j); ++j)
            beyondHalf = beyondHalf || (first == u'5' && text[j] != u'0');
        if (beyondHalf || (first == u'5' && value % 2 == 1))
            ++value;
    }
    if (negative)
        value = -value;
    if (value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return value;
}

std::int64_t expectedStep(std::u16string_view stepText, std::int64_t length)
{
    const auto value = stepValue(stepText);
    if (!value || *value <= 0 || *value >= length)
        return 1;
    return *value;
}

// Code units as "U+0041 U+D83D ...", cut short for long runs.
std::string unitsOf(std::u16string_view text)
{
    constexpr std::size_t shown = 12;
    std::string out;
    for (std::size_t i = 0; i < std::min(text.size(), shown); ++i) {
        char unit[8];
        std::snprintf(unit, sizeof unit, "U+%04X", static_cast<unsigned>(text[i]));
        out += (i == 0 ? "" : " ");
        out += unit;
    }
    if (text.size() > shown)
        out += " ... (" + std::to_string(text.size()) + " units)";
    return out.empty() ? "(empty)" : out;
}

namespace {

// The fuzzed step goes through the parser as a typed one does.
ConvertRequest requestOf(std::u16string_view stepText, TagTemplate tags, Gradient gradient,
                         ConvertOptions options = {})
{
    return {parseStep(stepText), std::move(tags), std::move(gradient), options};
}

std::u16string_view trimmedOf(std::u16string_view text)
{
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && text[first] == u' ')
        ++first;
    while (last > first && text[last - 1] == u' ')
        --last;
    return text.substr(first, last - first);
}

bool isBlank(std::u16string_view chunk)
{
    if (chunk.size() == 1 && (chunk[0] == u'\t' || chunk[0] == u'\n' || chunk[0] == u'\r'))
        return true;
    return std::all_of(chunk.begin(), chunk.end(), [](char16_t c) { return c == u' '; });
}

// s + (e - s) * pos / len in exact rational arithmetic, ties to even. For the lengths a fuzzer
// produces this is what the double-precision rule gives too.
std::int64_t expectedChannel(std::int64_t s, std::int64_t e, std::int64_t pos, std::int64_t len)
{
    const std::int64_t numerator = s * len + (e - s) * pos;
    std::int64_t quotient = numerator / len;
    std::int64_t remainder = numerator % len;
    if (remainder < 0) {
        --quotient;
        remainder += len;
    }
    if (2 * remainder > len || (2 * remainder == len && quotient % 2 != 0))
        ++quotient;
    return quotient;
}

std::array<std::int64_t, 3> expectedColor(const ColorPair& c, std::int64_t pos, std::int64_t len)
{
    return {expectedChannel(c.StartR, c.EndR, pos, len),
            expectedChannel(c.StartG, c.EndG, pos, len),
            expectedChannel(c.StartB, c.EndB, pos, len)};
}

std::u16string hexOf(const std::array<std::int64_t, 3>& color)
{
    static constexpr char16_t digits[] = u"0123456789ABCDEF";
    std::u16string code;
    for (const std::int64_t channel : color) {
        const auto v = static_cast<std::size_t>(channel & 0xFF);
        code += digits[v / 16];
        code += digits[v % 16];
    }
    return code;
}

// Where a chunk may end: at every boundary that ICU's character iterator finds walking the whole
// text from the front, and between CR and LF, which the chunk rule keeps as a boundary.
std::vector<bool> allowedChunkEnds(std::u16string_view text)
{
    std::vector<bool> allowed(text.size() + 1, false);
    allowed[0] = allowed[text.size()] = true;
    UErrorCode status = U_ZERO_ERROR;
    UBreakIterator* breaks =
        ubrk_open(UBRK_CHARACTER, "", text.data(), static_cast<std::int32_t>(text.size()), &status);
    if (U_FAILURE(status))
        std::abort(); // no verdict is possible without the iterator
    for (std::int32_t at = ubrk_first(breaks); at != UBRK_DONE; at = ubrk_next(breaks))
        allowed[static_cast<std::size_t>(at)] = true;
    ubrk_close(breaks);
    for (std::size_t i = 1; i < text.size(); ++i)
        if (text[i - 1] == u'\r' && text[i] == u'\n')
            allowed[i] = true;
    return allowed;
}

std::string chunkLabel(std::size_t index, std::size_t offset)
{
    return "chunk " + std::to_string(index) + " at offset " + std::to_string(offset) + ": ";
}

std::string checkChunks(const FuzzInput& input, std::u16string_view trimmed, std::int64_t step,
                        std::vector<Chunk>& chunks)
{
    const std::size_t n = trimmed.size();
    const auto stepUnits = static_cast<std::size_t>(step);
    const auto len = static_cast<std::int64_t>(n);
    const ColorPair& c = input.colors;

    const std::vector<bool> allowed = allowedChunkEnds(trimmed);
    ChunkCursor cursor(trimmed, static_cast<std::int32_t>(step), c);
    std::size_t offset = 0;
    while (const auto chunk = cursor.next()) {
        const std::string where = chunkLabel(chunks.size(), offset);
        const std::size_t size = chunk->text.size();
        if (offset >= n)
            return where + "a chunk after the end of the trimmed text";
        if (size == 0)
            return where + "empty chunk";
        if (size > n - offset)
            return where + "runs past the end of the trimmed text";
        if (chunk->text != trimmed.substr(offset, size))
            return where + "holds " + unitsOf(chunk->text) + " instead of " +
                   unitsOf(trimmed.substr(offset, size));
        if (chunk->position != static_cast<std::int64_t>(offset) + 1)
            return where + "position " + std::to_string(chunk->position) + ", expected " +
                   std::to_string(offset + 1);

        // The chunk ends at the first allowed end at or after one step, or at the text's end.
        const std::size_t end = offset + size;
        if (!allowed[end])
            return where + "ends inside the grapheme cluster " +
                   unitsOf(trimmed.substr(end - 1, 2)) + " with a step of " + std::to_string(step);
        const std::size_t stepEnd = std::min(offset + stepUnits, n);
        const auto firstAllowed = static_cast<std::size_t>(
            std::find(allowed.begin() + static_cast<std::ptrdiff_t>(stepEnd), allowed.end(), true) -
            allowed.begin());
        if (end != firstAllowed)
            return where + "length " + std::to_string(size) + " with a step of " +
                   std::to_string(step) + " where the first allowed end is at " +
                   std::to_string(firstAllowed) + " (" + unitsOf(chunk->text) + ")";

        const Rgb ownColor = colorAt(c, chunk->position, len);
        if (chunk->color != ownColor)
            return where + "colour differs from colorAt of its position";
        const auto expected = expectedColor(c, chunk->position, len);
        const std::array<std::int64_t, 3> got{chunk->color.r, chunk->color.g, chunk->color.b};
        const std::array<std::int64_t, 3> from{c.StartR, c.StartG, c.StartB};
        const std::array<std::int64_t, 3> to{c.EndR, c.EndG, c.EndB};
        for (std::size_t k = 0; k < 3; ++k) {
            if (got[k] < std::min(from[k], to[k]) || got[k] > std::max(from[k], to[k]))
                return where + "channel " + std::to_string(k) + " is " + std::to_string(got[k]) +
                       ", outside " + std::to_string(from[k]) + " to " + std::to_string(to[k]);
        }
        if (got != expected)
            return where + "colour " + std::to_string(got[0]) + "," + std::to_string(got[1]) + "," +
                   std::to_string(got[2]) + ", expected " + std::to_string(expected[0]) + "," +
                   std::to_string(expected[1]) + "," + std::to_string(expected[2]) +
                   " for position " + std::to_string(chunk->position) + " of " + std::to_string(n);

        chunks.push_back(*chunk);
        offset = end;
        if (cursor.remaining() != n - offset)
            return where + "remaining() is " + std::to_string(cursor.remaining()) + ", expected " +
                   std::to_string(n - offset);
    }
    if (offset != n)
        return "chunks stop at offset " + std::to_string(offset) + " of " + std::to_string(n);
    return {};
}

std::string checkMarkup(const FuzzInput& input, std::u16string_view trimmed,
                        const std::vector<Chunk>& chunks, std::u16string_view markup)
{
    const TagTemplate& tags = input.tags;
    std::size_t at = 0;
    std::u16string untagged;
    const auto expect = [&](std::u16string_view piece) {
        if (markup.substr(at, piece.size()) != piece)
            return false;
        at += piece.size();
        return true;
    };
    const auto mismatch = [&](std::size_t index, const char* what, std::u16string_view piece) {
        return "markup of chunk " + std::to_string(index) + " at unit " + std::to_string(at) +
               ": expected " + what + " " + unitsOf(piece) + ", found " +
               unitsOf(markup.substr(at, piece.size()));
    };

    for (std::size_t i = 0; i < chunks.size(); ++i) {
        const std::u16string_view text = chunks[i].text;
        if (isBlank(text)) {
            if (!expect(text))
                return mismatch(i, "the bare blank chunk", text);
            untagged += text;
            continue;
        }
        if (!expect(tags.TagHead))
            return mismatch(i, "the head", tags.TagHead);
        const std::u16string_view code = markup.substr(at, 6);
        const bool sixHexDigits =
            code.size() == 6 && std::all_of(code.begin(), code.end(), [](char16_t d) {
                return (d >= u'0' && d <= u'9') || (d >= u'A' && d <= u'F');
            });
        if (!sixHexDigits)
            return "markup of chunk " + std::to_string(i) + " at unit " + std::to_string(at) +
                   ": colour code " + unitsOf(code) + " is not six upper-case hex digits";
        const std::u16string wanted = hexOf(expectedColor(
            input.colors, chunks[i].position, static_cast<std::int64_t>(trimmed.size())));
        if (!expect(wanted))
            return mismatch(i, "the colour code", wanted);
        if (!expect(tags.TagMid))
            return mismatch(i, "the mid", tags.TagMid);
        if (!expect(text))
            return mismatch(i, "the chunk", text);
        untagged += text;
        if (!expect(tags.TagClose))
            return mismatch(i, "the close", tags.TagClose);
    }
    if (at != markup.size())
        return "markup goes on after the last chunk: " + unitsOf(markup.substr(at));
    if (untagged != trimmed)
        return "removing the tags leaves " + unitsOf(untagged) + " instead of the trimmed input " +
               unitsOf(trimmed);
    return {};
}

// `text` with every lone surrogate replaced by U+FFFD: the text as it reaches the converter
// through UTF-8, which cannot carry a lone surrogate.
std::u16string withoutLoneSurrogates(std::u16string_view text)
{
    std::u16string out(text);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const bool high = out[i] >= 0xD800 && out[i] <= 0xDBFF;
        const bool low = out[i] >= 0xDC00 && out[i] <= 0xDFFF;
        if (high && i + 1 < out.size() && out[i + 1] >= 0xDC00 && out[i + 1] <= 0xDFFF)
            ++i;
        else if (high || low)
            out[i] = u'\xFFFD';
    }
    return out;
}

// The UTF-8 conversion of the text must give, byte for byte, the UTF-16 conversion's markup
// encoded as UTF-8, with and without merging. A small block makes the writer both fill blocks
// and hand long chunks over whole. In a large block the writer copies short chunks and tags as
// blocks of fixed size, the way it mostly runs, but only where that many bytes of the input
// follow the chunk: trailing spaces, which trimming drops, give every chunk of a short text
// that room.
std::string checkUtf8Conversion(const FuzzInput& input)
{
    const std::u16string text = withoutLoneSurrogates(input.text);
    const TagTemplate tags{withoutLoneSurrogates(input.tags.TagHead),
                           withoutLoneSurrogates(input.tags.TagMid),
                           withoutLoneSurrogates(input.tags.TagClose)};
    struct Run {
        bool merge;
        std::size_t blockSize;
        std::size_t trailingSpaces;
    };
    for (const Run run :
         {Run{false, 16, 0}, Run{true, 16, 0}, Run{false, 4096, 16}, Run{true, 4096, 16}}) {
        const ConvertOptions options{.merge = run.merge};
        const std::u8string expected =
            toUtf8(ConvertText(text, requestOf(input.stepText, tags, input.colors, options)));
        const std::u8string utf8 = toUtf8(text) + std::u8string(run.trailingSpaces, u8' ');
        std::u8string got;
        bool emptyBlock = false;
        convertUtf8To(
            utf8, static_cast<std::int64_t>(text.size() + run.trailingSpaces),
            requestOf(input.stepText, tags, input.colors, options),
            [&](std::u8string_view block) {
                emptyBlock = emptyBlock || block.empty();
                got += block;
            },
            run.blockSize);
        const std::string mode = std::string(run.merge ? " with --merge" : "") + " in blocks of " +
                                 std::to_string(run.blockSize);
        if (got != expected)
            return std::string("the UTF-8 conversion") + mode +
                   " differs from the UTF-16 one at byte " +
                   std::to_string(
                       std::mismatch(got.begin(), got.end(), expected.begin(), expected.end())
                           .first -
                       got.begin());
        if (emptyBlock)
            return std::string("the UTF-8 conversion") + mode + " handed over an empty block";
    }
    return {};
}

// A gradient, per-line cut and colour form made from the input itself, so that every input the
// fuzzer tries also runs through stops, places, spaces and lines: the input's two colours are the
// end stops, and its bytes seed the rest.
struct GradientRun {
    Gradient gradient;
    ConvertOptions options;
    std::optional<TagTemplate> tags; // a named format's, else the input's own
};

GradientRun gradientRunOf(const FuzzInput& input)
{
    std::uint64_t seed = 14695981039346656037ULL; // FNV-1a over the colours and the text
    const auto mix = [&](std::uint64_t value) { seed = (seed ^ value) * 1099511628211ULL; };
    for (const std::int16_t channel :
         {input.colors.StartR, input.colors.StartG, input.colors.StartB, input.colors.EndR,
          input.colors.EndG, input.colors.EndB})
        mix(static_cast<std::uint16_t>(channel));
    for (const char16_t unit : input.text)
        mix(unit);
    const auto next = [&](std::uint64_t below) {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        return (seed >> 33) % below;
    };
    const auto color = [&] {
        return Rgb{static_cast<std::int16_t>(next(256)), static_cast<std::int16_t>(next(256)),
                   static_cast<std::int16_t>(next(256))};
    };
    const ColorPair& c = input.colors;
    std::vector<GradientStop> stops{{Rgb{c.StartR, c.StartG, c.StartB}, std::nullopt}};
    const std::uint64_t middle = next(5);
    for (std::uint64_t k = 0; k < middle; ++k)
        stops.push_back({color(), std::nullopt});
    stops.push_back({Rgb{c.EndR, c.EndG, c.EndB}, std::nullopt});
    for (auto& stop : stops) {
        const std::uint64_t kind = next(4);
        if (kind == 1)
            stop.position = static_cast<std::int32_t>(next(10001));
        else if (kind == 2)
            stop.position = static_cast<std::int32_t>(next(3) * 5000);
    }
    GradientRun run{Gradient(std::move(stops), static_cast<ColorSpace>(next(3)),
                             static_cast<HueMethod>(next(4))),
                    {},
                    std::nullopt};
    if (run.gradient.space != ColorSpace::Oklch)
        run.gradient.hue = HueMethod::Shorter;
    if (next(2) != 0)
        run.gradient = reversed(run.gradient);
    run.options = {.merge = next(2) != 0,
                   .perLine = next(2) != 0,
                   .colorCode = next(2) != 0 ? ColorCode::Decimal : ColorCode::Hex};
    // Every named format, its escaping sometimes overridden, with any decorations.
    const std::size_t formats = formatTable().size();
    if (const std::uint64_t format = next(formats + 1); format < formats) {
        run.tags = applyFormat(static_cast<FormatName>(format), run.options);
        if (next(4) == 0)
            run.options.escaping = static_cast<Escaping>(next(escapingKeywords().size()));
        for (bool& decoration : run.options.decorations)
            decoration = next(3) == 0;
    }
    return run;
}

// In RGB the colour is exact; mixed in OKLab or OKLCH the walk may be one off colorAt().
bool closeEnough(Rgb got, Rgb expected, ColorSpace space)
{
    const int slack = space == ColorSpace::Rgb ? 0 : 1;
    return std::abs(got.r - expected.r) <= slack && std::abs(got.g - expected.g) <= slack &&
           std::abs(got.b - expected.b) <= slack;
}

std::string describe(Rgb color)
{
    return std::to_string(color.r) + "," + std::to_string(color.g) + "," + std::to_string(color.b);
}

// The same text through a gradient of the input's own making: each chunk's colour is the
// gradient's at its position over the text's length or, line by line, over its line's without the
// spaces at the line's ends (bare chunks of their own), a chunk cut line by line
// neither crosses a line break nor starts anywhere but where the last ended, and both encodings
// and the code length agree on the markup.
std::string checkGradientConversion(const FuzzInput& input)
{
    const GradientRun run = gradientRunOf(input);
    const std::u16string text = withoutLoneSurrogates(input.text);
    const TagTemplate tags{withoutLoneSurrogates(input.tags.TagHead),
                           withoutLoneSurrogates(input.tags.TagMid),
                           withoutLoneSurrogates(input.tags.TagClose)};
    const std::u16string_view trimmed = trimmedOf(text);
    const auto n = static_cast<std::int64_t>(trimmed.size());
    const auto step = static_cast<std::int32_t>(expectedStep(input.stepText, n));
    const std::string mode = std::string(run.options.perLine ? " line by line" : "") +
                             (run.options.merge ? " merged" : "");
    std::size_t at = 0;
    std::string fault;
    withCursor(trimmed, step, run.gradient, n, run.options.perLine, [&](auto& cursor) {
        while (const auto chunk = cursor.next()) {
            const auto offset = static_cast<std::size_t>(chunk->text.data() - trimmed.data());
            const std::string where = "gradient chunk at " + std::to_string(offset) + mode + ": ";
            if (offset != at || chunk->text.empty()) {
                fault = where + "does not start where the last one ended";
                return;
            }
            at += chunk->text.size();
            std::int64_t position = static_cast<std::int64_t>(offset) + 1;
            std::int64_t length = n;
            if (run.options.perLine) {
                const bool lineBreak =
                    chunk->text.find_first_of(u"\r\n") != std::u16string_view::npos;
                if (lineBreak && chunk->text.size() != 1) {
                    fault = where + "holds a line break and more";
                    return;
                }
                if (lineBreak)
                    continue;
                const std::size_t lineStart = trimmed.find_last_of(u"\r\n", offset);
                const std::size_t begin =
                    lineStart == std::u16string_view::npos ? 0 : lineStart + 1;
                const std::size_t end =
                    std::min(trimmed.find_first_of(u"\r\n", offset), trimmed.size());
                // The spaces at a line's two ends are bare chunks of their own; the line's
                // gradient spans what lies between them.
                const std::u16string_view line = trimmed.substr(begin, end - begin);
                const std::size_t first = std::min(line.find_first_not_of(u' '), line.size());
                const std::size_t last =
                    first == line.size() ? first : line.find_last_not_of(u' ') + 1;
                const std::size_t inLine = offset - begin;
                if (inLine < first || inLine >= last) {
                    if (chunk->text.find_first_not_of(u' ') != std::u16string_view::npos ||
                        chunk->position != 0) {
                        fault = where + "is taken for a line's end spaces but is not bare";
                        return;
                    }
                    continue;
                }
                if (inLine + chunk->text.size() > last) {
                    fault = where + "runs into the spaces at its line's end";
                    return;
                }
                position = static_cast<std::int64_t>(inLine - first) + 1;
                length = static_cast<std::int64_t>(last - first);
            }
            if (chunk->position != position) {
                fault = where + "has position " + std::to_string(chunk->position) + ", expected " +
                        std::to_string(position);
                return;
            }
            const Rgb expected = colorAt(run.gradient, position, length);
            if (!closeEnough(chunk->color, expected, run.gradient.space)) {
                fault = where + "has colour " + describe(chunk->color) + ", the gradient's is " +
                        describe(expected);
                return;
            }
        }
    });
    if (!fault.empty())
        return fault;
    if (at != trimmed.size())
        return "gradient chunks" + mode + " end at " + std::to_string(at) + " of " +
               std::to_string(trimmed.size());

    const TagTemplate& used = run.tags ? *run.tags : tags;
    const std::u16string markup =
        ConvertText(text, requestOf(input.stepText, used, run.gradient, run.options));
    const std::uint64_t length = codeLength(
        text, requestOf(input.stepText, used, run.gradient, run.options), LengthUnit::Units);
    if (const CodeLength::Sizes sizes = CodeLength::sizesOf(markup);
        sizes.bytes != codeLength(text, requestOf(input.stepText, used, run.gradient, run.options),
                                  LengthUnit::Bytes))
        return "code length in bytes" + mode + " differs from the code's " +
               std::to_string(sizes.bytes);
    if (length != markup.size())
        return "code length" + mode + " is " + std::to_string(length) + ", the code's " +
               std::to_string(markup.size());
    for (const std::size_t blockSize : {std::size_t{16}, std::size_t{4096}}) {
        std::u8string got;
        convertUtf8To(
            toUtf8(text), static_cast<std::int64_t>(text.size()),
            requestOf(input.stepText, used, run.gradient, run.options),
            [&](std::u8string_view block) { got += block; }, blockSize);
        if (got != toUtf8(markup))
            return "the UTF-8 conversion of a gradient" + mode + " in blocks of " +
                   std::to_string(blockSize) + " differs from the UTF-16 one";
    }
    return {};
}

} // namespace

std::string checkConversion(const FuzzInput& input)
{
    const std::u16string_view text = input.text;
    const std::u16string_view trimmed = trimmedOf(text);
    const std::u16string_view coreTrimmed = trimSpaces(text);
    if (coreTrimmed != trimmed || (!trimmed.empty() && coreTrimmed.data() != trimmed.data()))
        return "trimSpaces gives " + unitsOf(coreTrimmed) + " instead of " + unitsOf(trimmed);

    const auto n = static_cast<std::int64_t>(trimmed.size());
    const std::int64_t step = expectedStep(input.stepText, n);
    const std::int32_t coreStep = effectiveStep(parseStep(input.stepText), n);
    if (coreStep != step)
        return "step text " + unitsOf(input.stepText) + " over " + std::to_string(n) +
               " units gives a step of " + std::to_string(coreStep) + ", expected " +
               std::to_string(step);

    std::vector<Chunk> chunks;
    if (std::string fault = checkChunks(input, trimmed, step, chunks); !fault.empty())
        return fault;

    // Fitting a text to a length walks it through an index of its chunk ends made once, whole
    // or line by line; the chunks must be the same as without it.
    const detail::ClusterIndex index(trimmed);
    const Gradient gradient(input.colors);
    const auto sameChunks = [&](auto& plain, auto& indexed) -> std::string {
        while (const auto want = plain.next()) {
            const auto got = indexed.next();
            if (!got || got->text.data() != want->text.data() ||
                got->text.size() != want->text.size())
                return "the indexed walk's chunk at unit " +
                       std::to_string(want->text.data() - trimmed.data()) + " differs";
        }
        return indexed.next() ? "the indexed walk goes on past the last chunk" : "";
    };
    const auto stepOf = static_cast<std::int32_t>(step);
    ChunkCursor whole(trimmed, stepOf, gradient);
    ChunkCursor wholeIndexed(trimmed, stepOf, detail::ColorWalk(gradient, n), index);
    BasicLineCursor<char16_t> lines(trimmed, stepOf, gradient);
    BasicLineCursor<char16_t> linesIndexed(trimmed, stepOf, gradient, &index);
    for (std::string fault : {sameChunks(whole, wholeIndexed), sameChunks(lines, linesIndexed)})
        if (!fault.empty())
            return fault;

    const std::u16string markup =
        ConvertText(input.text, requestOf(input.stepText, input.tags, input.colors));
    if (std::string fault = checkMarkup(input, trimmed, chunks, markup); !fault.empty())
        return fault;

    std::u16string streamed;
    convertTextTo(input.text, requestOf(input.stepText, input.tags, input.colors),
                  [&](std::u16string_view piece) { streamed += piece; });
    if (streamed != markup)
        return "convertTextTo's pieces differ from ConvertText's result";

    // A reused result string must not keep anything from what it held before.
    std::u16string reused(markup.size() + 7, u'#');
    convertTextInto(reused, input.text, requestOf(input.stepText, input.tags, input.colors));
    if (reused != markup)
        return "convertTextInto into a used string differs from ConvertText's result";
    if (std::string fault = checkUtf8Conversion(input); !fault.empty())
        return fault;
    return checkGradientConversion(input);
}

} // namespace prismel::fuzzing
