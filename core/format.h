#pragma once

#include "colorpair.h"
#include "convertrequest.h"
#include "tagtemplate.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace prismel {

/// The markups known by name, in the order they are listed.
enum class FormatName {
    Html,
    Ubb,
    Qq,
    Ansi,
    Bbcode,
    HtmlSpan,
    MiniMessage,
    MiniMessageGradient,
    Minecraft,
    MinecraftX,
    MinecraftSection,
    Minecraft16,
    Pango,
    Latex,
    Irc,
    Ansi256,
    Ansi16,
};

/// A named format: its keyword, its caption in the window's format list, a few words about it,
/// and what it sets.
struct FormatInfo {
    FormatName name;
    std::string_view keyword;
    /// UTF-8, the window's source text for its translations; empty for the terminal's formats,
    /// which the window does not list.
    std::string_view caption;
    std::string_view about;
    std::u16string_view head;
    std::u16string_view mid;
    std::u16string_view close;
    ColorCode code;
    Escaping escaping;
    DecorationStyle decorationStyle;
    bool wholeTextGradient;
};

/// Every named format, in FormatName's order.
std::span<const FormatInfo> formatTable();

/// The format of a keyword ("minecraft-x"), if any.
std::optional<FormatName> formatNamed(std::string_view keyword);

/// The template and the options `name` gives; `options` keeps its merge, per-line and
/// decoration choices.
TagTemplate applyFormat(FormatName name, ConvertOptions& options);

/// The template fields a window shows for `name`: applyFormat()'s, or for a format that writes
/// one gradient tag around the text, the tag's parts around the colour code.
TagTemplate shownTemplate(FormatName name);

/// Why MiniMessage's gradient tag cannot carry `gradient` as the conversion would colour it
/// (the server mixes evenly spaced stops in RGB), in prismel-convert's words; nothing if it can.
std::optional<std::string_view> gradientTagProblem(const Gradient& gradient);

/// The same for a step: the server gives every character a colour.
std::optional<std::string_view> gradientTagStepProblem(std::optional<std::int32_t> step);

/// Why `request` cannot be written as it asks: its gradient tag's step or gradient (see above);
/// nothing for a request that writes no gradient tag.
std::optional<std::string_view> gradientTagProblem(const ConvertRequest& request);

/// A piece of the text of MiniMessage's gradient tag and the colour the server gives it.
struct TaggedColor {
    std::size_t offset; ///< in UTF-16 units of the trimmed text
    std::size_t size;
    Rgb color;
};

/// The colours the server gives the text of the gradient tag: every code point of each tagged
/// run (the whole trimmed text, or with `perLine` each line between its end spaces) its own, the
/// first the first stop's and the last the last stop's, evenly between; pieces from `stop` on are
/// left out.
std::vector<TaggedColor> gradientTagColors(std::u16string_view trimmed, const Gradient& gradient,
                                           bool perLine, std::size_t stop = SIZE_MAX);

/// The colour a reader of `code`'s target sees for `color`: the nearest palette colour for a
/// palette code, `color` itself otherwise.
Rgb shownColor(ColorCode code, Rgb color);

/// The keyword of each Escaping, in its order.
std::span<const std::string_view> escapingKeywords();

/// The keyword of each Decoration ("bold"), in its order.
std::span<const std::string_view> decorationKeywords();

/// The colour code of `color` in `code` as UTF-16.
std::u16string colorCodeText(ColorCode code, Rgb color);

/// The index of the colour of `palette` nearest to `color` by Euclidean distance in OKLab;
/// the first listed on a tie.
std::size_t nearestColor(Rgb color, std::span<const Rgb> palette);

/// `text` without terminal escape sequences: ESC '[' parameters, intermediates and a final
/// character; ESC ']' up to BEL or ESC '\'; any other ESC with the character after it. A
/// sequence the text ends inside is removed to the end. Nothing when `text` holds no ESC.
std::optional<std::u16string> withoutEscapeSequences(std::u16string_view text);
std::optional<std::u8string> withoutEscapeSequences(std::u8string_view text);

namespace detail {

// What the template and options write around the chunks: the mid with the decorations that
// follow every colour code, and what goes once before and after the whole code.
struct DressedTemplate {
    TagTemplate tags;
    std::u16string before;
    std::u16string after;
};
DressedTemplate dressed(const TagTemplate& tags, const ConvertOptions& options);

// True when a chunk's code is head + code + mid + text + close with nothing escaped or added.
bool hasPlainChunks(const ConvertOptions& options);

// The replacement of an ASCII unit under `escaping`, empty for one kept as it is; a control
// character's Control Picture is the one replacement outside ASCII.
std::u16string_view escapeOf(Escaping escaping, unsigned unit);

// Which ASCII units `escaping` replaces, bit c of word c / 64.
std::array<std::uint64_t, 2> escapedUnits(Escaping escaping);

// How many units escaping adds to `text`.
std::size_t escapeGrowth(std::u16string_view text, Escaping escaping);

// A colour's code, cached: palette codes are looked up once per distinct colour in a small
// table, and the last colour's code is kept whole.
class ColorCodeCache {
public:
    explicit ColorCodeCache(ColorCode code) : m_code(code) {}
    std::u16string_view of(Rgb color);

private:
    ColorCode m_code;
    Rgb m_last{-1, -1, -1}; // no colour the tool can hold
    std::u16string m_text;
    struct Entry {
        Rgb color{-1, -1, -1};
        std::uint8_t index = 0;
    };
    static constexpr unsigned paletteBits = 12;
    std::vector<Entry> m_palette; // indexed by a hash of the colour, made at the first use
};

// The MiniMessage gradient tag of a gradient's stops: "<gradient:#RRGGBB:#RRGGBB>".
std::u16string gradientTagOf(const Gradient& gradient);
inline constexpr std::u16string_view gradientClose = u"</gradient>";

template <typename Unit>
bool needsEscape(std::basic_string_view<Unit> text, const std::array<std::uint64_t, 2>& units)
{
    for (const Unit unit : text) {
        const auto c = static_cast<std::uint32_t>(unit);
        if (c < 128 && ((units[c >> 6] >> (c & 63)) & 1) != 0)
            return true;
    }
    return false;
}

// `text` escaped, in pieces handed to `put`: the runs that need nothing straight from the text.
template <typename Unit, typename Put>
void putEscaped(std::basic_string_view<Unit> text, Escaping escaping, Put&& put)
{
    const std::array<std::uint64_t, 2> units = escapedUnits(escaping);
    std::size_t from = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<std::uint32_t>(text[i]);
        if (c >= 128 || ((units[c >> 6] >> (c & 63)) & 1) == 0)
            continue;
        if (i > from)
            put(text.substr(from, i - from));
        from = i + 1;
        const std::u16string_view replacement = escapeOf(escaping, c);
        std::array<Unit, 24> encoded{};
        std::size_t size = 0;
        for (const char16_t r : replacement) {
            if constexpr (sizeof(Unit) == 1) {
                if (r >= 0x800) { // a Control Picture
                    encoded[size++] = static_cast<Unit>(0xE0 | (r >> 12));
                    encoded[size++] = static_cast<Unit>(0x80 | ((r >> 6) & 0x3F));
                    encoded[size++] = static_cast<Unit>(0x80 | (r & 0x3F));
                    continue;
                }
            }
            encoded[size++] = static_cast<Unit>(r);
        }
        put(std::basic_string_view<Unit>(encoded.data(), size));
    }
    if (from < text.size())
        put(text.substr(from));
}

// The whole trimmed text in MiniMessage's gradient tag, or with `perLine` each line's text
// between its end spaces, which stay bare like the line breaks.
template <typename Unit, typename Put>
void putWholeTextGradient(std::basic_string_view<Unit> trimmed,
                          std::basic_string_view<Unit> openTag, bool perLine, Escaping escaping,
                          Put&& put)
{
    std::array<Unit, gradientClose.size()> closeTag{};
    std::copy(gradientClose.begin(), gradientClose.end(), closeTag.begin());
    const std::basic_string_view<Unit> close(closeTag.data(), closeTag.size());
    const auto tagged = [&](std::basic_string_view<Unit> text) {
        put(openTag);
        putEscaped(text, escaping, put);
        put(close);
    };
    if (!perLine) {
        if (!trimmed.empty())
            tagged(trimmed);
        return;
    }
    std::size_t at = 0;
    while (at < trimmed.size()) {
        std::size_t end = at;
        while (end < trimmed.size() && trimmed[end] != Unit{'\r'} && trimmed[end] != Unit{'\n'})
            ++end;
        std::size_t first = at;
        while (first < end && trimmed[first] == Unit{' '})
            ++first;
        std::size_t last = end;
        while (last > first && trimmed[last - 1] == Unit{' '})
            --last;
        if (first > at)
            put(trimmed.substr(at, first - at));
        if (last > first)
            tagged(trimmed.substr(first, last - first));
        if (end > last)
            put(trimmed.substr(last, end - last));
        if (end < trimmed.size())
            put(trimmed.substr(end, 1));
        at = end + 1;
    }
}

} // namespace detail

} // namespace prismel
