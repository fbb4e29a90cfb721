#include "gradient.h"

#include "colornames.h"
#include "messagetext.h"
#include "utf8.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>
#include <utility>

namespace prismel {

namespace {

int hexValue(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

std::u16string numberText(std::size_t n)
{
    const std::string digits = std::to_string(n);
    return {digits.begin(), digits.end()};
}

std::optional<Rgb> hexColor(std::u16string_view digits)
{
    std::array<int, 6> values{};
    if (digits.size() != 3 && digits.size() != 6)
        return std::nullopt;
    for (std::size_t i = 0; i < 6; ++i) {
        // #RGB stands for #RRGGBB.
        const int value = hexValue(digits[digits.size() == 3 ? i / 2 : i]);
        if (value < 0)
            return std::nullopt;
        values.at(i) = value;
    }
    const auto channel = [&](std::size_t i) {
        return static_cast<std::int16_t>(values.at(i) * 16 + values.at(i + 1));
    };
    return Rgb{channel(0), channel(2), channel(4)};
}

// A typed place: a decimal number as a C-locale reading of a double takes it, a sign, an
// exponent and any number of decimals included, to the nearest hundredth, held to 0 to 100.
std::optional<std::int32_t> typedPlace(std::u16string_view text)
{
    std::string number;
    for (const char16_t unit : text) {
        if (unit > 0x7F)
            return std::nullopt;
        number += static_cast<char>(unit);
    }
    // from_chars takes no '+', which a typed number may carry.
    std::string_view digits = number;
    if (digits.starts_with('+') && !digits.starts_with("+-") && !digits.starts_with("++"))
        digits.remove_prefix(1);
    double percent = 0;
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), percent);
    if (digits.empty() || error != std::errc{} || end != digits.data() + digits.size() ||
        !std::isfinite(percent))
        return std::nullopt;
    return static_cast<std::int32_t>(std::lround(std::clamp(percent, 0.0, 100.0) * 100));
}

} // namespace

Parsed<std::int32_t> parsePlace(std::u16string_view text, PlaceInput input)
{
    const std::u16string bad = u"position " + quoted(text);
    const std::u16string notPercentage = bad + u" is not a percentage like 30% or 12.5%";
    if (input == PlaceInput::Typed) {
        std::u16string_view number = trimBlanks(text, Blanks::WhiteSpace);
        if (number.ends_with(u'%'))
            number = trimBlanks(number.substr(0, number.size() - 1), Blanks::WhiteSpace);
        if (const auto place = typedPlace(number))
            return {place, {}};
        return {std::nullopt, notPercentage};
    }
    // Digits, then at most two decimals, then '%', 0 to 100.
    std::u16string_view rest = text;
    const bool negative = !rest.empty() && rest.front() == u'-';
    if (negative)
        rest.remove_prefix(1);
    std::int64_t whole = 0;
    std::size_t digits = 0;
    while (!rest.empty() && rest.front() >= u'0' && rest.front() <= u'9') {
        whole = std::min<std::int64_t>(whole * 10 + (rest.front() - u'0'), 1'000'000);
        rest.remove_prefix(1);
        ++digits;
    }
    std::int64_t hundredths = 0;
    std::size_t decimals = 0;
    if (!rest.empty() && rest.front() == u'.') {
        rest.remove_prefix(1);
        while (!rest.empty() && rest.front() >= u'0' && rest.front() <= u'9') {
            if (++decimals > 2)
                return {std::nullopt, bad + u" has more than two decimals"};
            hundredths = hundredths * 10 + (rest.front() - u'0');
            rest.remove_prefix(1);
        }
        if (decimals == 0)
            return {std::nullopt, notPercentage};
    }
    if (digits == 0 || rest != u"%")
        return {std::nullopt, notPercentage};
    const std::int64_t value = whole * 100 + (decimals == 1 ? hundredths * 10 : hundredths);
    if (negative || value > Gradient::wholeWay)
        return {std::nullopt, bad + u" lies outside 0% to 100%"};
    return {static_cast<std::int32_t>(value), {}};
}

std::u16string placeText(std::int32_t hundredths, PlaceForm form)
{
    std::u16string text = numberText(static_cast<std::size_t>(hundredths / 100));
    const std::int32_t fraction = hundredths % 100;
    if (form == PlaceForm::TwoDecimals || fraction != 0) {
        text += u'.';
        text += static_cast<char16_t>(u'0' + fraction / 10);
        if (form == PlaceForm::TwoDecimals || fraction % 10 != 0)
            text += static_cast<char16_t>(u'0' + fraction % 10);
    }
    text += form == PlaceForm::TwoDecimals ? u" %" : u"%";
    return text;
}

std::optional<Rgb> parseColor(std::u16string_view text)
{
    if (text.starts_with(u'#'))
        return hexColor(text.substr(1));
    // Six letters may also be a name: "orange", "maroon".
    if (const auto hex = text.size() == 6 ? hexColor(text) : std::nullopt)
        return hex;
    return namedColor(text);
}

Parsed<std::vector<GradientStop>> parseStops(std::u16string_view text)
{
    std::vector<GradientStop> stops;
    std::size_t number = 0;
    for (std::size_t at = 0;;) {
        const std::size_t comma = std::min(text.find(u',', at), text.size());
        const std::u16string_view item =
            trimBlanks(text.substr(at, comma - at), Blanks::SpacesAndTabs);
        ++number;
        if (item.empty())
            return {std::nullopt, u"stop " + numberText(number) + u" is empty"};
        const std::size_t blank = std::min(item.find_first_of(u" \t"), item.size());
        const std::u16string_view name = item.substr(0, blank);
        const auto color = parseColor(name);
        if (!color)
            return {std::nullopt, u"unknown colour " + quoted(name)};
        GradientStop stop{*color, std::nullopt};
        if (const std::u16string_view place = trimBlanks(item.substr(blank), Blanks::SpacesAndTabs);
            !place.empty()) {
            auto parsed = parsePlace(place);
            if (!parsed.value)
                return {std::nullopt, std::move(parsed.error)};
            stop.position = parsed.value;
        }
        if (stops.size() == Gradient::maxStops)
            return {std::nullopt, u"more than 64 stops"};
        stops.push_back(stop);
        if (comma == text.size())
            break;
        at = comma + 1;
    }
    if (stops.size() < Gradient::minStops)
        return {std::nullopt, u"a gradient needs at least two stops"};
    return {std::move(stops), {}};
}

namespace {

// Each keyword and caption once, for reading a gradient line, writing one, prismel-convert's
// options and messages, and the window's lists.
constexpr std::array<Keyword<ColorSpace>, 3> kSpaces{{
    {ColorSpace::Rgb, "rgb", "RGB(&G)"},
    {ColorSpace::Oklab, "oklab", "OKLab(&O)"},
    {ColorSpace::Oklch, "oklch", "OKLCH(&C)"},
}};
constexpr std::array<Keyword<HueMethod>, 4> kHues{{
    {HueMethod::Shorter, "shorter", "最短(&S)"},
    {HueMethod::Longer, "longer", "最长(&L)"},
    {HueMethod::Increasing, "increasing", "递增(&I)"},
    {HueMethod::Decreasing, "decreasing", "递减(&D)"},
}};

template <typename Enum, std::size_t N>
std::optional<Enum> valueNamed(const std::array<Keyword<Enum>, N>& table, std::u16string_view text)
{
    for (const Keyword<Enum>& row : table) {
        if (std::equal(text.begin(), text.end(), row.keyword.begin(), row.keyword.end()))
            return row.value;
    }
    return std::nullopt;
}

template <typename Enum, std::size_t N>
std::string_view nameOf(const std::array<Keyword<Enum>, N>& table, Enum value)
{
    for (const Keyword<Enum>& row : table) {
        if (row.value == value)
            return row.keyword;
    }
    return table.front().keyword;
}

// An ASCII message part as UTF-16.
std::u16string widened(std::string_view ascii)
{
    return {ascii.begin(), ascii.end()};
}

} // namespace

std::span<const Keyword<ColorSpace>> colorSpaceKeywords()
{
    return kSpaces;
}

std::span<const Keyword<HueMethod>> hueMethodKeywords()
{
    return kHues;
}

std::string_view keywordOf(ColorSpace space)
{
    return nameOf(kSpaces, space);
}

std::string_view keywordOf(HueMethod hue)
{
    return nameOf(kHues, hue);
}

std::optional<ColorSpace> parseColorSpace(std::u16string_view text)
{
    return valueNamed(kSpaces, text);
}

std::optional<HueMethod> parseHueMethod(std::u16string_view text)
{
    return valueNamed(kHues, text);
}

namespace {

bool isNameUnit(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
           c == u'-' || c == u'_';
}

} // namespace

Parsed<NamedGradient> parseGradientLine(std::u16string_view line)
{
    const std::size_t first = line.find(u':');
    if (first == std::u16string_view::npos)
        return {std::nullopt, u"expected 'name: stops' or 'name: space: stops'"};
    const std::u16string_view name = trimBlanks(line.substr(0, first), Blanks::SpacesAndTabs);
    if (name.empty() || !std::all_of(name.begin(), name.end(), isNameUnit))
        return {std::nullopt, u"name " + quoted(name) + u" is not letters, digits, '-' and '_'"};
    std::u16string_view rest = line.substr(first + 1);
    Gradient gradient;
    if (const std::size_t second = rest.find(u':'); second != std::u16string_view::npos) {
        const std::u16string_view how = trimBlanks(rest.substr(0, second), Blanks::SpacesAndTabs);
        rest = rest.substr(second + 1);
        const std::size_t blank = std::min(how.find_first_of(u" \t"), how.size());
        const std::u16string_view spaceName = how.substr(0, blank);
        const std::u16string_view hueName = trimBlanks(how.substr(blank), Blanks::SpacesAndTabs);
        const auto space = parseColorSpace(spaceName);
        if (!space)
            return {std::nullopt, u"unknown colour space " + quoted(spaceName) + u": choose " +
                                      widened(alternatives(keywordsOf(colorSpaceKeywords())))};
        gradient.space = *space;
        if (!hueName.empty()) {
            const auto hue = parseHueMethod(hueName);
            if (!takesHueMethod(*space))
                return {std::nullopt,
                        u"a hue method goes only with " + widened(keywordOf(ColorSpace::Oklch))};
            if (!hue)
                return {std::nullopt, u"unknown hue method " + quoted(hueName) + u": choose " +
                                          widened(alternatives(keywordsOf(hueMethodKeywords())))};
            gradient.hue = *hue;
        }
    }
    auto stops = parseStops(rest);
    if (!stops.value)
        return {std::nullopt, std::move(stops.error)};
    gradient.stops = std::move(*stops.value);
    return {NamedGradient{std::u16string(name), std::move(gradient)}, {}};
}

bool isGradientName(std::u16string_view name)
{
    return !name.empty() && std::all_of(name.begin(), name.end(), isNameUnit);
}

std::u16string gradientLine(std::u16string_view name, const Gradient& gradient)
{
    std::u16string line(name);
    line += u": ";
    line += widened(keywordOf(gradient.space));
    if (takesHueMethod(gradient.space)) {
        line += u' ';
        line += widened(keywordOf(gradient.hue));
    }
    line += u':';
    const char16_t* separator = u" ";
    for (const GradientStop& stop : gradient.stops) {
        line += separator;
        separator = u", ";
        // A stray channel is written as the nearest value a line can hold, as a stray place is.
        const auto held = [](std::int16_t channel) -> std::int16_t {
            return std::clamp<std::int16_t>(channel, 0, 255);
        };
        line += u'#';
        line +=
            hexCode({held(stop.color.r), held(stop.color.g), held(stop.color.b)}, HexCase::Lower);
        if (stop.position) {
            line += u' ';
            line += placeText(std::clamp(*stop.position, 0, Gradient::wholeWay));
        }
    }
    return line;
}

const std::vector<NamedGradient>& builtinGradients()
{
    static const std::vector<NamedGradient> gradients = [] {
        const std::array<std::u16string_view, 7> lines{
            u"rainbow: rgb: ff0000, ffff00, 00ff00, 00ffff, 0000ff, ff00ff",
            u"pastel: oklab: ffb3ba, ffdfba, ffffba, baffc9, bae1ff",
            u"sunset: oklab: 355c7d, 6c5b7b, c06c84, f67280, f8b195",
            u"ocean: oklab: 001f3f, 0074d9, 7fdbff, 39cccc",
            u"fire: rgb: 800000, ff0000, ff8c00 60%, ffd700, ffffe0",
            u"forest: oklch: 0b3d0b, 228b22, 9acd32",
            u"hue-circle: oklch longer: ff0000, ff0000",
        };
        std::vector<NamedGradient> made;
        made.reserve(lines.size());
        for (const auto line : lines)
            made.push_back(std::move(*parseGradientLine(line).value));
        return made;
    }();
    return gradients;
}

std::optional<Gradient> findGradient(std::u16string_view name,
                                     const std::vector<NamedGradient>& own)
{
    for (const auto* list : {&own, &builtinGradients()}) {
        const auto found = std::find_if(list->begin(), list->end(),
                                        [&](const NamedGradient& g) { return g.name == name; });
        if (found != list->end())
            return found->gradient;
    }
    return std::nullopt;
}

} // namespace prismel
