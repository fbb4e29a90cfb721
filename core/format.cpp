#include "format.h"

#include "oklab.h"

#include "gradient.h"
#include "step.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace prismel {

namespace {

constexpr std::u16string_view ansiClose = u"\x1b[39m";

constexpr std::array<FormatInfo, 17> formats{{
    // The three classic presets: their pieces are formatPresets()'s, filled in by applyFormat().
    {FormatName::Html,
     "html",
     "Html(网页)",
     "HTML of old forums: <font color=FF8000>T</font>",
     {},
     {},
     {},
     ColorCode::Hex,
     Escaping::None,
     DecorationStyle::Html,
     false},
    {FormatName::Ubb,
     "ubb",
     "UBB(论坛)",
     "UBB: [color=FF8000]T[/color]",
     {},
     {},
     {},
     ColorCode::Hex,
     Escaping::None,
     DecorationStyle::Bbcode,
     false},
    {FormatName::Qq,
     "qq",
     "QQ空间",
     "QQ zone: [ftc=FF8000]T[/ft]",
     {},
     {},
     {},
     ColorCode::Hex,
     Escaping::None,
     DecorationStyle::Bbcode,
     false},
    {FormatName::Ansi, "ansi", "", "24-bit terminal colour: ESC[38;2;255;128;0m, T, ESC[39m",
     u"\x1b[38;2;", u"m", ansiClose, ColorCode::Decimal, Escaping::Terminal, DecorationStyle::Ansi,
     false},
    {FormatName::Bbcode, "bbcode", "BBCode(论坛)", "BBCode: [color=#FF8000]T[/color]", u"[color=#",
     u"]", u"[/color]", ColorCode::Hex, Escaping::None, DecorationStyle::Bbcode, false},
    {FormatName::HtmlSpan, "html-span", "HTML <span>(网页)",
     "HTML: <span style=\"color:#FF8000\">T</span>", u"<span style=\"color:#", u"\">", u"</span>",
     ColorCode::Hex, Escaping::Html, DecorationStyle::Html, false},
    {FormatName::MiniMessage, "minimessage", "MiniMessage", "MiniMessage: <#FF8000>T", u"<#", u">",
     u"", ColorCode::Hex, Escaping::MiniMessage, DecorationStyle::MiniMessage, false},
    {FormatName::MiniMessageGradient, "minimessage-gradient", "MiniMessage 渐变标签",
     "MiniMessage: <gradient:#FF00FF:#00FF00>TEXT</gradient>", u"", u"", u"", ColorCode::Hex,
     Escaping::MiniMessage, DecorationStyle::MiniMessage, true},
    {FormatName::Minecraft, "minecraft", "Minecraft &#", "Minecraft chat plugins: &#FF8000T", u"&#",
     u"", u"", ColorCode::Hex, Escaping::None, DecorationStyle::Ampersand, false},
    {FormatName::MinecraftX, "minecraft-x", "Minecraft &x", "Spigot: &x&F&F&8&0&0&0T", u"&x", u"",
     u"", ColorCode::AmpersandDigits, Escaping::None, DecorationStyle::Ampersand, false},
    {FormatName::MinecraftSection, "minecraft-section", "Minecraft §x",
     "Spigot, section signs: \u00a7x\u00a7F\u00a7F\u00a78\u00a70\u00a70\u00a70T", u"\u00a7x", u"",
     u"", ColorCode::SectionDigits, Escaping::None, DecorationStyle::Section, false},
    {FormatName::Minecraft16, "minecraft-16", "Minecraft 16 色", "Minecraft's 16 colours: &6T",
     u"&", u"", u"", ColorCode::Minecraft16, Escaping::None, DecorationStyle::Ampersand, false},
    {FormatName::Pango, "pango", "Pango", "Pango: <span foreground=\"#FF8000\">T</span>",
     u"<span foreground=\"#", u"\">", u"</span>", ColorCode::Hex, Escaping::Html,
     DecorationStyle::Html, false},
    {FormatName::Latex, "latex", "LaTeX", "LaTeX with xcolor: \\textcolor[HTML]{FF8000}{T}",
     u"\\textcolor[HTML]{", u"}{", u"}", ColorCode::Hex, Escaping::Latex, DecorationStyle::Latex,
     false},
    {FormatName::Irc, "irc", "", "IRC's 16 colours: ^C07T", u"\x03", u"", u"", ColorCode::Irc16,
     Escaping::Terminal, DecorationStyle::Irc, false},
    {FormatName::Ansi256, "ansi-256", "", "256 terminal colours: ESC[38;5;208m, T, ESC[39m",
     u"\x1b[38;5;", u"m", ansiClose, ColorCode::Ansi256, Escaping::Terminal, DecorationStyle::Ansi,
     false},
    {FormatName::Ansi16, "ansi-16", "", "16 terminal colours: ESC[91m, T, ESC[39m", u"\x1b[", u"m",
     ansiClose, ColorCode::Ansi16, Escaping::Terminal, DecorationStyle::Ansi, false},
}};

constexpr std::array<std::string_view, 5> escapings{"none", "html", "latex", "minimessage",
                                                    "terminal"};

constexpr std::array<std::string_view, decorationCount> decorationNames{
    "bold", "italic", "underline", "strikethrough"};

// The codes of one DecorationStyle: each decoration's opening and closing, and what closes
// them all at once where the style has that instead.
struct DecorationCodes {
    std::array<std::u16string_view, decorationCount> open;
    std::array<std::u16string_view, decorationCount> close;
    std::u16string_view closeAll;
};

// In DecorationStyle's order. ANSI's codes are parameters of one sequence.
constexpr std::array<DecorationCodes, 8> decorationCodes{{
    {{u"<b>", u"<i>", u"<u>", u"<s>"}, {u"</b>", u"</i>", u"</u>", u"</s>"}, {}},
    {{u"[b]", u"[i]", u"[u]", u"[s]"}, {u"[/b]", u"[/i]", u"[/u]", u"[/s]"}, {}},
    {{u"<b>", u"<i>", u"<u>", u"<st>"}, {u"</b>", u"</i>", u"</u>", u"</st>"}, {}},
    {{u"\\textbf{", u"\\textit{", u"\\underline{", u""}, {u"}", u"}", u"}", u""}, {}},
    {{u"1", u"3", u"4", u"9"}, {}, u"\x1b[0m"},
    {{u"\x02", u"\x1d", u"\x1f", u"\x1e"}, {}, u"\x0f"},
    {{u"&l", u"&o", u"&n", u"&m"}, {}, {}},
    {{u"\u00a7l", u"\u00a7o", u"\u00a7n", u"\u00a7m"}, {}, {}},
}};

struct PaletteEntry {
    std::uint32_t rgb;
    std::u16string_view code;
};

constexpr std::array<PaletteEntry, 16> minecraftColors{{
    {0x000000, u"0"},
    {0x0000AA, u"1"},
    {0x00AA00, u"2"},
    {0x00AAAA, u"3"},
    {0xAA0000, u"4"},
    {0xAA00AA, u"5"},
    {0xFFAA00, u"6"},
    {0xAAAAAA, u"7"},
    {0x555555, u"8"},
    {0x5555FF, u"9"},
    {0x55FF55, u"a"},
    {0x55FFFF, u"b"},
    {0xFF5555, u"c"},
    {0xFF55FF, u"d"},
    {0xFFFF55, u"e"},
    {0xFFFFFF, u"f"},
}};

constexpr std::array<PaletteEntry, 16> ircColors{{
    {0xFFFFFF, u"00"},
    {0x000000, u"01"},
    {0x00007F, u"02"},
    {0x009300, u"03"},
    {0xFF0000, u"04"},
    {0x7F0000, u"05"},
    {0x9C009C, u"06"},
    {0xFC7F00, u"07"},
    {0xFFFF00, u"08"},
    {0x00FC00, u"09"},
    {0x009393, u"10"},
    {0x00FFFF, u"11"},
    {0x0000FC, u"12"},
    {0xFF00FF, u"13"},
    {0x7F7F7F, u"14"},
    {0xD2D2D2, u"15"},
}};

constexpr std::array<PaletteEntry, 16> ansi16Colors{{
    {0x000000, u"30"},
    {0xCD0000, u"31"},
    {0x00CD00, u"32"},
    {0xCDCD00, u"33"},
    {0x0000EE, u"34"},
    {0xCD00CD, u"35"},
    {0x00CDCD, u"36"},
    {0xE5E5E5, u"37"},
    {0x7F7F7F, u"90"},
    {0xFF0000, u"91"},
    {0x00FF00, u"92"},
    {0xFFFF00, u"93"},
    {0x5C5CFF, u"94"},
    {0xFF00FF, u"95"},
    {0x00FFFF, u"96"},
    {0xFFFFFF, u"97"},
}};

template <std::size_t n> constexpr std::array<Rgb, n> colorsOf(const std::array<PaletteEntry, n>& p)
{
    std::array<Rgb, n> colors{};
    for (std::size_t i = 0; i < n; ++i)
        colors[i] = hexRgb(p[i].rgb);
    return colors;
}

// Colours 16 to 255 of a 256-colour terminal: the 6x6x6 cube, then 24 greys.
constexpr std::array<Rgb, 240> ansi256Colors = [] {
    constexpr std::array<std::int16_t, 6> levels{0, 95, 135, 175, 215, 255};
    std::array<Rgb, 240> colors{};
    for (std::size_t i = 0; i < 216; ++i)
        colors[i] = {levels[i / 36], levels[(i / 6) % 6], levels[i % 6]};
    for (std::size_t i = 0; i < 24; ++i) {
        const auto grey = static_cast<std::int16_t>(8 + 10 * i);
        colors[216 + i] = {grey, grey, grey};
    }
    return colors;
}();

constexpr auto minecraftRgb = colorsOf(minecraftColors);
constexpr auto ircRgb = colorsOf(ircColors);
constexpr auto ansi16Rgb = colorsOf(ansi16Colors);

// "16" to "255", the numbers of the 256-colour terminal's colours past the first 16.
constexpr auto ansi256Codes = [] {
    std::array<std::array<char16_t, 3>, 240> codes{};
    for (std::size_t i = 0; i < codes.size(); ++i) {
        const std::size_t n = i + 16;
        codes[i] = n < 100 ? std::array<char16_t, 3>{static_cast<char16_t>(u'0' + n / 10),
                                                     static_cast<char16_t>(u'0' + n % 10), 0}
                           : std::array<char16_t, 3>{static_cast<char16_t>(u'0' + n / 100),
                                                     static_cast<char16_t>(u'0' + n / 10 % 10),
                                                     static_cast<char16_t>(u'0' + n % 10)};
    }
    return codes;
}();

// The code of palette entry `index`.
std::u16string_view paletteCode(ColorCode code, std::size_t index)
{
    switch (code) {
    case ColorCode::Minecraft16:
        return minecraftColors[index].code;
    case ColorCode::Irc16:
        return ircColors[index].code;
    case ColorCode::Ansi16:
        return ansi16Colors[index].code;
    default:
        return {ansi256Codes[index].data(), index + 16 < 100 ? std::size_t{2} : std::size_t{3}};
    }
}

// The code of a colour in a notation without a palette, in place of what `out` held.
void writeCodeOf(std::u16string& out, ColorCode code, Rgb color)
{
    out.clear();
    if (code == ColorCode::Decimal) {
        std::array<char16_t, decimalCodeSize> digits{};
        const char16_t* end = writeDecimalColorCode(digits.data(), color);
        out.append(digits.data(), static_cast<std::size_t>(end - digits.data()));
        return;
    }
    std::array<char16_t, 6> digits{};
    writeColorCode(digits.data(), color);
    for (const char16_t digit : digits) {
        if (code == ColorCode::AmpersandDigits)
            out += u'&';
        else if (code == ColorCode::SectionDigits)
            out += u'\u00a7';
        out += digit;
    }
}

// The OKLab coordinates of every colour of a palette, computed at the first use.
std::span<const Oklab> oklabPalette(ColorCode code)
{
    const auto make = [](std::span<const Rgb> colors) {
        std::vector<Oklab> labs;
        labs.reserve(colors.size());
        for (const Rgb color : colors)
            labs.push_back(oklabOf(color));
        return labs;
    };
    static const std::vector<Oklab> minecraft = make(minecraftRgb);
    static const std::vector<Oklab> irc = make(ircRgb);
    static const std::vector<Oklab> ansi256 = make(ansi256Colors);
    static const std::vector<Oklab> ansi16 = make(ansi16Rgb);
    switch (code) {
    case ColorCode::Minecraft16:
        return minecraft;
    case ColorCode::Irc16:
        return irc;
    case ColorCode::Ansi256:
        return ansi256;
    case ColorCode::Ansi16:
        return ansi16;
    default:
        return {};
    }
}

std::size_t nearestLab(const Oklab& lab, std::span<const Oklab> palette)
{
    std::size_t best = 0;
    double bestDistance = INFINITY;
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const double dl = palette[i].l - lab.l;
        const double da = palette[i].a - lab.a;
        const double db = palette[i].b - lab.b;
        const double distance = dl * dl + da * da + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

template <typename Unit>
std::optional<std::basic_string<Unit>> strippedOf(std::basic_string_view<Unit> text)
{
    constexpr Unit esc{0x1b};
    if (text.find(esc) == std::basic_string_view<Unit>::npos)
        return std::nullopt;
    std::basic_string<Unit> out;
    out.reserve(text.size());
    const std::size_t n = text.size();
    const auto in = [&](std::size_t i, unsigned low, unsigned high) {
        return i < n && text[i] >= low && text[i] <= high;
    };
    std::size_t i = 0;
    while (i < n) {
        if (text[i] != esc) {
            out += text[i++];
            continue;
        }
        ++i;
        if (i < n && text[i] == Unit{'['}) {
            ++i;
            while (in(i, 0x30, 0x3F))
                ++i;
            while (in(i, 0x20, 0x2F))
                ++i;
            if (in(i, 0x40, 0x7E))
                ++i;
        } else if (i < n && text[i] == Unit{']'}) {
            ++i;
            while (i < n && text[i] != Unit{0x07} &&
                   !(text[i] == esc && i + 1 < n && text[i + 1] == Unit{'\\'}))
                ++i;
            if (i < n)
                i += text[i] == esc ? std::size_t{2} : std::size_t{1}; // BEL, or ESC and '\\'
        } else if (i < n) {
            // The whole character after ESC: a surrogate pair, or a lead byte and its tail.
            const auto unit = static_cast<std::uint32_t>(text[i++]);
            if constexpr (sizeof(Unit) == 2) {
                if (unit >= 0xD800 && unit < 0xDC00 && in(i, 0xDC00, 0xDFFF))
                    ++i;
            } else {
                if (unit >= 0xC0)
                    while (in(i, 0x80, 0xBF))
                        ++i;
            }
        }
    }
    return out;
}

} // namespace

std::span<const FormatInfo> formatTable()
{
    return formats;
}

std::optional<FormatName> formatNamed(std::string_view keyword)
{
    const auto found = std::find_if(formats.begin(), formats.end(),
                                    [&](const FormatInfo& f) { return f.keyword == keyword; });
    if (found == formats.end())
        return std::nullopt;
    return found->name;
}

TagTemplate applyFormat(FormatName name, ConvertOptions& options)
{
    const FormatInfo& info = formats[static_cast<std::size_t>(name)];
    options.colorCode = info.code;
    options.escaping = info.escaping;
    options.decorationStyle = info.decorationStyle;
    options.wholeTextGradient = info.wholeTextGradient;
    if (const auto preset = presetTemplate(static_cast<int>(name)))
        return *preset;
    return {std::u16string(info.head), std::u16string(info.mid), std::u16string(info.close)};
}

TagTemplate shownTemplate(FormatName name)
{
    ConvertOptions options;
    TagTemplate tags = applyFormat(name, options);
    if (options.wholeTextGradient)
        return {u"<gradient:#", u">", std::u16string(detail::gradientClose)};
    return tags;
}

std::optional<std::string_view> gradientTagProblem(const Gradient& gradient)
{
    if (gradient.space != ColorSpace::Rgb)
        return "minimessage-gradient mixes in rgb only, as the server does";
    const std::vector<std::int32_t> places = shownPlaces(gradient);
    const auto last = static_cast<std::int64_t>(places.size() - 1);
    for (std::size_t i = 0; i < places.size(); ++i) {
        const std::int64_t even =
            (static_cast<std::int64_t>(i) * Gradient::wholeWay * 2 + last) / (2 * last);
        if (places[i] != even)
            return "minimessage-gradient needs evenly spaced stops, as the server spaces them";
    }
    return std::nullopt;
}

std::optional<std::string_view> gradientTagStepProblem(std::optional<std::int32_t> step)
{
    if (effectiveStep(step, std::numeric_limits<std::int64_t>::max()) != 1)
        return "minimessage-gradient takes --step 1 only: the server gives every character a "
               "colour";
    return std::nullopt;
}

std::optional<std::string_view> gradientTagProblem(const ConvertRequest& request)
{
    if (!request.options.wholeTextGradient)
        return std::nullopt;
    if (auto problem = gradientTagStepProblem(request.step))
        return problem;
    return gradientTagProblem(request.gradient);
}

std::vector<TaggedColor> gradientTagColors(std::u16string_view trimmed, const Gradient& gradient,
                                           bool perLine, std::size_t stop)
{
    std::vector<TaggedColor> colors;
    const auto isHigh = [](char16_t c) { return c >= 0xD800 && c < 0xDC00; };
    const auto isLow = [](char16_t c) { return c >= 0xDC00 && c < 0xE000; };
    const auto sizeAt = [&](std::size_t i, std::size_t end) {
        return isHigh(trimmed[i]) && i + 1 < end && isLow(trimmed[i + 1]) ? std::size_t{2}
                                                                          : std::size_t{1};
    };
    const auto run = [&](std::size_t first, std::size_t last) {
        std::int64_t count = 0;
        for (std::size_t i = first; i < last; i += sizeAt(i, last))
            ++count;
        const std::int64_t len = std::max<std::int64_t>(count - 1, 1);
        std::int64_t n = 0;
        for (std::size_t i = first; i < last && i < stop; ++n) {
            const std::size_t size = sizeAt(i, last);
            colors.push_back({i, size, colorAt(gradient, n, len)});
            i += size;
        }
    };
    if (!perLine) {
        run(0, trimmed.size());
        return colors;
    }
    std::size_t at = 0;
    while (at < trimmed.size() && at < stop) {
        std::size_t end = at;
        while (end < trimmed.size() && trimmed[end] != u'\r' && trimmed[end] != u'\n')
            ++end;
        std::size_t first = at;
        while (first < end && trimmed[first] == u' ')
            ++first;
        std::size_t last = end;
        while (last > first && trimmed[last - 1] == u' ')
            --last;
        run(first, last);
        at = end + 1;
    }
    return colors;
}

Rgb shownColor(ColorCode code, Rgb color)
{
    const std::span<const Oklab> palette = oklabPalette(code);
    if (palette.empty())
        return color;
    const std::size_t index = nearestLab(oklabOf(color), palette);
    switch (code) {
    case ColorCode::Minecraft16:
        return minecraftRgb[index];
    case ColorCode::Irc16:
        return ircRgb[index];
    case ColorCode::Ansi16:
        return ansi16Rgb[index];
    default:
        return ansi256Colors[index];
    }
}

std::span<const std::string_view> escapingKeywords()
{
    return escapings;
}

std::span<const std::string_view> decorationKeywords()
{
    return decorationNames;
}

std::u16string colorCodeText(ColorCode code, Rgb color)
{
    const std::span<const Oklab> palette = oklabPalette(code);
    if (!palette.empty())
        return std::u16string(paletteCode(code, nearestLab(oklabOf(color), palette)));
    std::u16string text;
    writeCodeOf(text, code, color);
    return text;
}

std::size_t nearestColor(Rgb color, std::span<const Rgb> palette)
{
    std::vector<Oklab> labs;
    labs.reserve(palette.size());
    for (const Rgb entry : palette)
        labs.push_back(oklabOf(entry));
    return nearestLab(oklabOf(color), labs);
}

std::optional<std::u16string> withoutEscapeSequences(std::u16string_view text)
{
    return strippedOf(text);
}

std::optional<std::u8string> withoutEscapeSequences(std::u8string_view text)
{
    return strippedOf(text);
}

namespace detail {

DressedTemplate dressed(const TagTemplate& tags, const ConvertOptions& options)
{
    DressedTemplate result{tags, {}, {}};
    const DecorationCodes& codes =
        decorationCodes[static_cast<std::size_t>(options.decorationStyle)];
    const bool perCode = options.decorationStyle == DecorationStyle::Ampersand ||
                         options.decorationStyle == DecorationStyle::Section;
    std::u16string ansi;
    for (std::size_t d = 0; d < decorationCount; ++d) {
        if (!options.decorations[d])
            continue;
        if (perCode) {
            result.tags.TagMid += codes.open[d];
        } else if (options.decorationStyle == DecorationStyle::Ansi) {
            ansi += (ansi.empty() ? u"" : u";");
            ansi += codes.open[d];
        } else {
            result.before += codes.open[d];
            result.after.insert(0, codes.close[d]);
        }
    }
    if (!ansi.empty())
        result.before = u"\x1b[" + ansi + u"m";
    if (!result.before.empty() && !codes.closeAll.empty())
        result.after = codes.closeAll;
    return result;
}

bool hasPlainChunks(const ConvertOptions& options)
{
    return options.escaping == Escaping::None && options.colorCode != ColorCode::Irc16;
}

std::u16string_view escapeOf(Escaping escaping, unsigned unit)
{
    switch (escaping) {
    case Escaping::Html:
        switch (unit) {
        case '&':
            return u"&amp;";
        case '<':
            return u"&lt;";
        case '>':
            return u"&gt;";
        case '"':
            return u"&quot;";
        default:
            return {};
        }
    case Escaping::Latex:
        switch (unit) {
        case '\\':
            return u"\\textbackslash{}";
        case '{':
            return u"\\{";
        case '}':
            return u"\\}";
        case '$':
            return u"\\$";
        case '&':
            return u"\\&";
        case '#':
            return u"\\#";
        case '^':
            return u"\\textasciicircum{}";
        case '_':
            return u"\\_";
        case '~':
            return u"\\textasciitilde{}";
        case '%':
            return u"\\%";
        default:
            return {};
        }
    case Escaping::MiniMessage:
        switch (unit) {
        case '\\':
            return u"\\\\";
        case '<':
            return u"\\<";
        default:
            return {};
        }
    case Escaping::Terminal: {
        // U+2400 to U+241F picture C0's controls, U+2421 DEL.
        static constexpr std::array<char16_t, 34> pictures = [] {
            std::array<char16_t, 34> p{};
            for (std::size_t c = 0; c < 32; ++c)
                p[c] = static_cast<char16_t>(0x2400 + c);
            p[32] = u'\u2421';
            return p;
        }();
        if (unit == '\t' || unit == '\n' || unit == '\r')
            return {};
        if (unit < 32)
            return {&pictures[unit], 1};
        if (unit == 0x7F)
            return {&pictures[32], 1};
        return {};
    }
    case Escaping::None:
        break;
    }
    return {};
}

std::array<std::uint64_t, 2> escapedUnits(Escaping escaping)
{
    std::array<std::uint64_t, 2> units{};
    for (unsigned c = 0; c < 128; ++c)
        if (!escapeOf(escaping, c).empty())
            units[c >> 6] |= std::uint64_t{1} << (c & 63);
    return units;
}

std::size_t escapeGrowth(std::u16string_view text, Escaping escaping)
{
    if (escaping == Escaping::None)
        return 0;
    const auto units = escapedUnits(escaping);
    std::size_t growth = 0;
    for (const char16_t c : text)
        if (c < 128 && ((units[c >> 6] >> (c & 63)) & 1) != 0)
            growth += escapeOf(escaping, c).size() - 1;
    return growth;
}

std::u16string_view ColorCodeCache::of(Rgb color)
{
    if (color == m_last)
        return m_text;
    m_last = color;
    const std::span<const Oklab> palette = oklabPalette(m_code);
    if (palette.empty()) {
        writeCodeOf(m_text, m_code, color);
        return m_text;
    }
    // Lines of many lengths give a few thousand colours, each looked up once.
    if (m_palette.empty())
        m_palette.resize(std::size_t{1} << paletteBits);
    const auto rgb = static_cast<std::uint32_t>(color.r << 16 | color.g << 8 | color.b);
    Entry& entry = m_palette[(rgb * 2654435761U) >> (32 - paletteBits)];
    if (entry.color != color)
        entry = {color, static_cast<std::uint8_t>(nearestLab(oklabOf(color), palette))};
    const std::u16string_view code = paletteCode(m_code, entry.index);
    m_text.assign(code);
    return m_text;
}

std::u16string gradientTagOf(const Gradient& gradient)
{
    std::u16string tag = u"<gradient";
    for (const GradientStop& stop : gradient.stops)
        tag += u":#" + hexCode(stop.color);
    return tag + u">";
}

} // namespace detail

} // namespace prismel
