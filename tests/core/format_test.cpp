#include "core/codelength.h"
#include "core/conversion.h"
#include "core/format.h"
#include "core/oklab.h"
#include "typedrequest.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using prismel::ConvertOptions;
using prismel::FormatName;
using prismel::Rgb;

struct FormatCase {
    FormatName format;
    std::u16string_view expected;
};

void PrintTo(const FormatCase& c, std::ostream* os)
{
    *os << prismel::formatTable()[static_cast<std::size_t>(c.format)].keyword;
}

// UTF-8 as bytes, which GoogleTest prints.
std::string bytes(std::u8string_view text)
{
    return {text.begin(), text.end()};
}

std::string utf8Of(std::u16string_view text)
{
    return bytes(prismel::toUtf8(text));
}

// The text ",<\" at step 1 from FF00FF to 00FF00: AA55AA, 55AA55 and 00FF00.
constexpr std::u16string_view threeChunks = u",<\\";

std::u16string converted(std::u16string_view text, FormatName format, ConvertOptions options = {})
{
    const prismel::TagTemplate tags = prismel::applyFormat(format, options);
    return prismel::ConvertText(text, typedRequest(u"1", tags, prismel::Gradient{}, options));
}

std::string convertedUtf8(std::u16string_view text, FormatName format, ConvertOptions options = {})
{
    const prismel::TagTemplate tags = prismel::applyFormat(format, options);
    std::u8string code;
    prismel::convertUtf8To(
        prismel::toUtf8(text), static_cast<std::int64_t>(text.size()),
        typedRequest(u"1", tags, prismel::Gradient{}, options),
        [&](std::u8string_view block) { code += block; }, 16);
    return bytes(code);
}

class EveryFormat : public testing::TestWithParam<FormatCase> {};

TEST_P(EveryFormat, WritesItsCodeInBothEncodingsAndCountsIt)
{
    const auto& c = GetParam();
    EXPECT_EQ(converted(threeChunks, c.format), c.expected);
    EXPECT_EQ(convertedUtf8(threeChunks, c.format), utf8Of(c.expected));
    ConvertOptions options;
    const prismel::TagTemplate tags = prismel::applyFormat(c.format, options);
    EXPECT_EQ(prismel::codeLength(threeChunks,
                                  typedRequest(u"1", tags, prismel::Gradient{}, options),
                                  prismel::LengthUnit::Units),
              c.expected.size());
}

INSTANTIATE_TEST_SUITE_P(
    Table, EveryFormat,
    testing::Values(
        FormatCase{FormatName::Html, u"<font color=AA55AA>,</font><font color=55AA55><</font>"
                                     u"<font color=00FF00>\\</font>"},
        FormatCase{FormatName::Ubb,
                   u"[color=AA55AA],[/color][color=55AA55]<[/color][color=00FF00]\\[/color]"},
        FormatCase{FormatName::Qq, u"[ftc=AA55AA],[/ft][ftc=55AA55]<[/ft][ftc=00FF00]\\[/ft]"},
        FormatCase{FormatName::Ansi, u"\x1b[38;2;170;85;170m,\x1b[39m\x1b[38;2;85;170;85m<\x1b[39m"
                                     u"\x1b[38;2;0;255;0m\\\x1b[39m"},
        FormatCase{FormatName::Bbcode,
                   u"[color=#AA55AA],[/color][color=#55AA55]<[/color][color=#00FF00]\\[/color]"},
        FormatCase{FormatName::HtmlSpan,
                   u"<span style=\"color:#AA55AA\">,</span><span style=\"color:#55AA55\">&lt;"
                   u"</span><span style=\"color:#00FF00\">\\</span>"},
        FormatCase{FormatName::MiniMessage, u"<#AA55AA>,<#55AA55>\\<<#00FF00>\\\\"},
        FormatCase{FormatName::MiniMessageGradient,
                   u"<gradient:#FF00FF:#00FF00>,\\<\\\\</gradient>"},
        FormatCase{FormatName::Minecraft, u"&#AA55AA,&#55AA55<&#00FF00\\"},
        FormatCase{FormatName::MinecraftX, u"&x&A&A&5&5&A&A,&x&5&5&A&A&5&5<&x&0&0&F&F&0&0\\"},
        FormatCase{FormatName::MinecraftSection, u"§x§A§A§5§5§A§A,§x§5§5§A§A§5§5<§x§0§0§F§F§0§0\\"},
        FormatCase{FormatName::Minecraft16, u"&5,&2<&a\\"},
        FormatCase{FormatName::Pango,
                   u"<span foreground=\"#AA55AA\">,</span><span foreground=\"#55AA55\">&lt;"
                   u"</span><span foreground=\"#00FF00\">\\</span>"},
        FormatCase{FormatName::Latex, u"\\textcolor[HTML]{AA55AA}{,}\\textcolor[HTML]{55AA55}{<}"
                                      u"\\textcolor[HTML]{00FF00}{\\textbackslash{}}"},
        // The comma would be read as the start of a background colour.
        FormatCase{FormatName::Irc, u"\x03"
                                    u"06\x02\x02,\x03"
                                    u"03<\x03"
                                    u"09\\"},
        FormatCase{FormatName::Ansi256, u"\x1b[38;5;133m,\x1b[39m\x1b[38;5;71m<\x1b[39m"
                                        u"\x1b[38;5;46m\\\x1b[39m"},
        FormatCase{FormatName::Ansi16, u"\x1b[35m,\x1b[39m\x1b[32m<\x1b[39m\x1b[92m\\\x1b[39m"}));

TEST(EveryFormat, TableIsInFormatNameOrder)
{
    const auto table = prismel::formatTable();
    for (std::size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(static_cast<std::size_t>(table[i].name), i);
        EXPECT_EQ(prismel::formatNamed(table[i].keyword), table[i].name);
    }
}

struct DecorationCase {
    const char* name;
    FormatName format;
    std::array<bool, 4> decorations;
    std::u16string_view expected;
};

void PrintTo(const DecorationCase& c, std::ostream* os)
{
    *os << c.name;
}

class Decorations : public testing::TestWithParam<DecorationCase> {};

// "a b" at step 1: two tagged chunks around a bare space.
TEST_P(Decorations, InTheFormatsOwnCodes)
{
    const auto& c = GetParam();
    const ConvertOptions options{.decorations = c.decorations};
    EXPECT_EQ(converted(u"a b", c.format, options), c.expected);
    EXPECT_EQ(convertedUtf8(u"a b", c.format, options), utf8Of(c.expected));
}

constexpr std::array<bool, 4> bold{true, false, false, false};
constexpr std::array<bool, 4> all{true, true, true, true};
constexpr std::array<bool, 4> italicUnderline{false, true, true, false};

INSTANTIATE_TEST_SUITE_P(
    Table, Decorations,
    testing::Values(
        DecorationCase{"minecraft after every code, not on the space", FormatName::Minecraft, all,
                       u"&#AA55AA&l&o&n&ma &#00FF00&l&o&n&mb"},
        DecorationCase{"section signs", FormatName::MinecraftSection, bold,
                       u"§x§A§A§5§5§A§A§la §x§0§0§F§F§0§0§lb"},
        DecorationCase{"palette code", FormatName::Minecraft16, italicUnderline,
                       u"&5&o&na &a&o&nb"},
        DecorationCase{"html around the whole code", FormatName::HtmlSpan, all,
                       u"<b><i><u><s><span style=\"color:#AA55AA\">a</span> <span "
                       u"style=\"color:#00FF00\">b</span></s></u></i></b>"},
        DecorationCase{"bbcode", FormatName::Bbcode, italicUnderline,
                       u"[i][u][color=#AA55AA]a[/color] [color=#00FF00]b[/color][/u][/i]"},
        DecorationCase{"minimessage's strikethrough", FormatName::MiniMessage, all,
                       u"<b><i><u><st><#AA55AA>a <#00FF00>b</st></u></i></b>"},
        DecorationCase{"latex", FormatName::Latex, italicUnderline,
                       u"\\textit{\\underline{\\textcolor[HTML]{AA55AA}{a} "
                       u"\\textcolor[HTML]{00FF00}{b}}}"},
        DecorationCase{"ansi: the chosen numbers only", FormatName::Ansi256, italicUnderline,
                       u"\x1b[3;4m\x1b[38;5;133ma\x1b[39m \x1b[38;5;46mb\x1b[39m\x1b[0m"},
        DecorationCase{"irc", FormatName::Irc, all,
                       u"\x02\x1d\x1f\x1e\x03"
                       u"06a \x03"
                       u"09b\x0f"},
        DecorationCase{"whole-text gradient", FormatName::MiniMessageGradient, bold,
                       u"<b><gradient:#FF00FF:#00FF00>a b</gradient></b>"}));

TEST(Decorations, NoneWhenTheTextIsBlank)
{
    const ConvertOptions options{.decorations = all};
    EXPECT_EQ(converted(u"   ", FormatName::Html, options), u"");
}

struct EscapeCase {
    prismel::Escaping escaping;
    std::u16string_view text;
    std::u16string_view expected;
};

TEST(Escaping, EachWayReplacesItsCharactersOnly)
{
    using prismel::Escaping;
    const EscapeCase cases[] = {
        {Escaping::Html, u"a&b<c>d\"e'\\", u"a&amp;b&lt;c&gt;d&quot;e'\\"},
        {Escaping::Latex, u"\\{}$&#^_~%<",
         u"\\textbackslash{}\\{\\}\\$\\&\\#\\textasciicircum{}\\_\\textasciitilde{}\\%<"},
        {Escaping::MiniMessage, u"\\<>&", u"\\\\\\<>&"},
        // Tab, line feed and carriage return stay; other controls and DEL become pictures.
        {Escaping::Terminal, u"\x01\t\n\r\x1f\x7f\u0085好", u"\u2401\t\n\r\u241f\u2421\u0085好"},
        {Escaping::None, u"<&\\\x01", u"<&\\\x01"},
    };
    for (const auto& c : cases) {
        std::u16string escaped;
        prismel::detail::putEscaped(c.text, c.escaping,
                                    [&](std::u16string_view piece) { escaped += piece; });
        EXPECT_EQ(escaped, c.expected) << static_cast<int>(c.escaping);
        std::u8string escaped8;
        prismel::detail::putEscaped(std::u8string_view(prismel::toUtf8(c.text)), c.escaping,
                                    [&](std::u8string_view piece) { escaped8 += piece; });
        EXPECT_EQ(bytes(escaped8), utf8Of(c.expected)) << static_cast<int>(c.escaping);
    }
}

struct StripCase {
    const char* name;
    std::u16string_view text;
    std::u16string_view expected;
};

TEST(Escaping, TerminalRemovesEscapeSequencesBeforeTrimming)
{
    const StripCase cases[] = {
        {"colour", u"\x1b[1;31mred\x1b[0m", u"red"},
        {"intermediate bytes", u"a\x1b[5 qb", u"ab"},
        {"title ended by BEL", u"\x1b]0;title\x07x", u"x"},
        {"title ended by ESC backslash", u"\x1b]8;;url\x1b\\x", u"x"},
        {"other escape and its character", u"\x1b(Bx\x1b好y", u"Bxy"},
        {"cut short at the end", u"x\x1b[12", u"x"},
        {"open title to the end", u"x\x1b]0;no end", u"x"},
    };
    for (const auto& c : cases) {
        const auto stripped = prismel::withoutEscapeSequences(c.text);
        ASSERT_TRUE(stripped) << c.name;
        EXPECT_EQ(*stripped, c.expected) << c.name;
        const auto stripped8 = prismel::withoutEscapeSequences(prismel::toUtf8(c.text));
        ASSERT_TRUE(stripped8) << c.name;
        EXPECT_EQ(bytes(*stripped8), utf8Of(c.expected)) << c.name;
    }
    EXPECT_FALSE(prismel::withoutEscapeSequences(std::u16string_view(u"plain")));
    // The spaces the sequences hid are trimmed, and the colours run over what is left: "a"
    // alone takes the end colour.
    EXPECT_EQ(converted(u"\x1b[1m a\x1b[0m ", FormatName::Ansi16), u"\x1b[92ma\x1b[39m");
}

TEST(WholeTextGradient, PerLineTagsEachLineBetweenItsEndSpaces)
{
    const ConvertOptions options{.perLine = true};
    EXPECT_EQ(converted(u"ab  \r\n   \n c<d", FormatName::MiniMessageGradient, options),
              u"<gradient:#FF00FF:#00FF00>ab</gradient>  \r\n   \n "
              u"<gradient:#FF00FF:#00FF00>c\\<d</gradient>");
}

// The palettes as listed, and the nearest of each by brute force in OKLab (whose own test
// checks it against the published coordinates).
struct PaletteCase {
    const char* name;
    prismel::ColorCode code;
    std::vector<std::uint32_t> colors;
    std::vector<std::u16string> codes;
};

std::vector<std::u16string> numbered(int first, int count, bool twoDigits)
{
    std::vector<std::u16string> codes;
    for (int n = first; n < first + count; ++n) {
        std::string text = std::to_string(n);
        if (twoDigits && text.size() < 2)
            text.insert(0, "0");
        codes.emplace_back(text.begin(), text.end());
    }
    return codes;
}

std::vector<std::uint32_t> ansi256()
{
    const std::uint32_t levels[] = {0, 95, 135, 175, 215, 255};
    std::vector<std::uint32_t> colors;
    colors.reserve(240);
    for (int i = 0; i < 216; ++i)
        colors.push_back(levels[i / 36] << 16 | levels[i / 6 % 6] << 8 | levels[i % 6]);
    for (std::uint32_t n = 232; n < 256; ++n) {
        const std::uint32_t grey = 8 + 10 * (n - 232);
        colors.push_back(grey << 16 | grey << 8 | grey);
    }
    return colors;
}

TEST(Palettes, NearestInOklabByBruteForce)
{
    std::vector<std::u16string> ansi16Codes = numbered(30, 8, false);
    for (auto& code : numbered(90, 8, false))
        ansi16Codes.push_back(code);
    const PaletteCase cases[] = {
        {"minecraft",
         prismel::ColorCode::Minecraft16,
         {0x000000, 0x0000AA, 0x00AA00, 0x00AAAA, 0xAA0000, 0xAA00AA, 0xFFAA00, 0xAAAAAA, 0x555555,
          0x5555FF, 0x55FF55, 0x55FFFF, 0xFF5555, 0xFF55FF, 0xFFFF55, 0xFFFFFF},
         {u"0", u"1", u"2", u"3", u"4", u"5", u"6", u"7", u"8", u"9", u"a", u"b", u"c", u"d", u"e",
          u"f"}},
        {"irc",
         prismel::ColorCode::Irc16,
         {0xFFFFFF, 0x000000, 0x00007F, 0x009300, 0xFF0000, 0x7F0000, 0x9C009C, 0xFC7F00, 0xFFFF00,
          0x00FC00, 0x009393, 0x00FFFF, 0x0000FC, 0xFF00FF, 0x7F7F7F, 0xD2D2D2},
         numbered(0, 16, true)},
        {"ansi-16",
         prismel::ColorCode::Ansi16,
         {0x000000, 0xCD0000, 0x00CD00, 0xCDCD00, 0x0000EE, 0xCD00CD, 0x00CDCD, 0xE5E5E5, 0x7F7F7F,
          0xFF0000, 0x00FF00, 0xFFFF00, 0x5C5CFF, 0xFF00FF, 0x00FFFF, 0xFFFFFF},
         ansi16Codes},
        {"ansi-256", prismel::ColorCode::Ansi256, ansi256(), numbered(16, 240, false)},
    };
    for (const auto& c : cases) {
        std::vector<prismel::Oklab> labs;
        for (const std::uint32_t color : c.colors)
            labs.push_back(prismel::oklabOf(prismel::hexRgb(color)));
        // Every colour of a 16-level grid, the palette's own colours among them.
        for (std::uint32_t r = 0; r < 256; r += 17)
            for (std::uint32_t g = 0; g < 256; g += 17)
                for (std::uint32_t b = 0; b < 256; b += 17) {
                    const Rgb color = prismel::hexRgb(r << 16 | g << 8 | b);
                    const prismel::Oklab lab = prismel::oklabOf(color);
                    std::size_t best = 0;
                    double bestDistance = 1e9;
                    for (std::size_t i = 0; i < labs.size(); ++i) {
                        const double d =
                            std::hypot(labs[i].l - lab.l, labs[i].a - lab.a, labs[i].b - lab.b);
                        if (d < bestDistance) {
                            bestDistance = d;
                            best = i;
                        }
                    }
                    EXPECT_EQ(prismel::colorCodeText(c.code, color), c.codes[best])
                        << c.name << " " << r << "," << g << "," << b;
                }
        for (std::size_t i = 0; i < c.colors.size(); ++i) {
            EXPECT_EQ(prismel::colorCodeText(c.code, prismel::hexRgb(c.colors[i])), c.codes[i])
                << c.name << " " << i;
        }
    }
}

TEST(ShownColor, PaletteCodesShowTheirPalettesColour)
{
    EXPECT_EQ(prismel::shownColor(prismel::ColorCode::Minecraft16, Rgb{0, 255, 0}),
              (Rgb{0x55, 0xFF, 0x55}));
    EXPECT_EQ(prismel::shownColor(prismel::ColorCode::Ansi256, Rgb{254, 1, 1}), (Rgb{255, 0, 0}));
    EXPECT_EQ(prismel::shownColor(prismel::ColorCode::SectionDigits, Rgb{1, 2, 3}), (Rgb{1, 2, 3}));
}

TEST(GradientTag, ProblemsInPrismelConvertsWords)
{
    EXPECT_EQ(prismel::gradientTagProblem(prismel::Gradient{}), std::nullopt);
    prismel::Gradient oklab;
    oklab.space = prismel::ColorSpace::Oklab;
    EXPECT_EQ(prismel::gradientTagProblem(oklab),
              "minimessage-gradient mixes in rgb only, as the server does");
    EXPECT_EQ(prismel::gradientTagStepProblem(1), std::nullopt);
    EXPECT_NE(prismel::gradientTagStepProblem(3), std::nullopt);
    EXPECT_EQ(prismel::shownTemplate(FormatName::MiniMessageGradient).TagClose, u"</gradient>");
    EXPECT_EQ(prismel::shownTemplate(FormatName::Bbcode).TagHead, u"[color=#");
}

// The server colours the tag's first character with the first stop and its last with the last.
TEST(GradientTag, ColorsAsTheServerGivesThem)
{
    const auto colors = prismel::gradientTagColors(u"A\U0001F600C", prismel::Gradient{}, false);
    ASSERT_EQ(colors.size(), 3U);
    EXPECT_EQ(colors[0].color, (Rgb{255, 0, 255}));
    EXPECT_EQ(colors[1].offset, 1U);
    EXPECT_EQ(colors[1].size, 2U);
    EXPECT_EQ(colors[1].color, (Rgb{128, 128, 128}));
    EXPECT_EQ(colors[2].color, (Rgb{0, 255, 0}));
    const auto lines = prismel::gradientTagColors(u"AB\n C", prismel::Gradient{}, true);
    ASSERT_EQ(lines.size(), 3U);
    EXPECT_EQ(lines[1].color, (Rgb{0, 255, 0}));
    EXPECT_EQ(lines[2].offset, 4U);
    EXPECT_EQ(lines[2].color, (Rgb{255, 0, 255}));
}

} // namespace
