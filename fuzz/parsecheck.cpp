#include "parsecheck.h"

#include "core/gradient.h"
#include "core/gradientsfile.h"
#include "core/utf8.h"

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace prismel::fuzzing {

namespace {

using Text = std::u16string_view;

bool isBlank(char16_t c)
{
    return c == u' ' || c == u'\t';
}

Text trim(Text text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::vector<Text> split(Text text, char16_t at)
{
    std::vector<Text> parts;
    std::size_t from = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == at) {
            parts.push_back(text.substr(from, i - from));
            from = i + 1;
        }
    }
    return parts;
}

int hexDigit(char16_t c)
{
    const std::u16string_view digits = u"0123456789abcdef";
    const char16_t lower = c >= u'A' && c <= u'F' ? static_cast<char16_t>(c + 32) : c;
    const std::size_t found = digits.find(lower);
    return found == Text::npos ? -1 : static_cast<int>(found);
}

bool allOf(Text text, bool (*test)(char16_t))
{
    return !text.empty() && std::all_of(text.begin(), text.end(), test);
}

bool isLetter(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isHex(char16_t c)
{
    return hexDigit(c) >= 0;
}

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

// #RGB, #RRGGBB or RRGGBB; a word of letters is a name, whose list the core holds: this reading
// only asks that its case not matter.
std::optional<Rgb> expectedColor(Text text)
{
    const bool hash = text.starts_with(u'#');
    const Text digits = hash ? text.substr(1) : text;
    const auto byte = [&](std::size_t i, std::size_t j) {
        return static_cast<std::int16_t>(hexDigit(digits[i]) * 16 + hexDigit(digits[j]));
    };
    if (allOf(digits, isHex) && digits.size() == 6)
        return Rgb{byte(0, 1), byte(2, 3), byte(4, 5)};
    if (hash && allOf(digits, isHex) && digits.size() == 3)
        return Rgb{byte(0, 0), byte(1, 1), byte(2, 2)};
    if (hash || !allOf(text, isLetter))
        return std::nullopt;
    std::u16string lower(text);
    for (char16_t& c : lower)
        if (c >= u'A' && c <= u'Z')
            c = static_cast<char16_t>(c + 32);
    return parseColor(lower);
}

// 0 to 100 with at most two decimals, then '%', in hundredths.
std::optional<std::int32_t> placeOf(Text text)
{
    if (!text.ends_with(u'%'))
        return std::nullopt;
    const std::vector<Text> parts = split(text.substr(0, text.size() - 1), u'.');
    if (parts.size() > 2 || !allOf(parts[0], isDigit))
        return std::nullopt;
    if (parts.size() == 2 && (!allOf(parts[1], isDigit) || parts[1].size() > 2))
        return std::nullopt;
    std::int64_t value = 0;
    for (const char16_t c : parts[0])
        value = std::min<std::int64_t>(value * 10 + (c - u'0'), 1000);
    value *= 100;
    if (parts.size() == 2)
        value += (parts[1][0] - u'0') * 10 + (parts[1].size() == 2 ? parts[1][1] - u'0' : 0);
    return value <= 10000 ? std::optional<std::int32_t>(static_cast<std::int32_t>(value))
                          : std::nullopt;
}

std::optional<std::vector<GradientStop>> expectedStops(Text text)
{
    std::vector<GradientStop> stops;
    for (const Text item : split(text, u',')) {
        const Text stop = trim(item);
        const std::size_t blank = std::min({stop.find(u' '), stop.find(u'\t'), stop.size()});
        const auto color = expectedColor(stop.substr(0, blank));
        if (!color)
            return std::nullopt;
        std::optional<std::int32_t> place;
        if (const Text rest = trim(stop.substr(blank)); !rest.empty()) {
            place = placeOf(rest);
            if (!place)
                return std::nullopt;
        }
        stops.push_back({*color, place});
    }
    if (stops.size() < 2 || stops.size() > 64)
        return std::nullopt;
    return stops;
}

std::vector<Text> words(Text text)
{
    std::vector<Text> found;
    for (const Text word : split(text, u' '))
        for (const Text part : split(word, u'\t'))
            if (!part.empty())
                found.push_back(part);
    return found;
}

bool isNameUnit(char16_t c)
{
    return isLetter(c) || isDigit(c) || c == u'-' || c == u'_';
}

std::optional<Gradient> expectedLine(Text line)
{
    const std::size_t colon = line.find(u':');
    if (colon == Text::npos || !allOf(trim(line.substr(0, colon)), isNameUnit))
        return std::nullopt;
    Text rest = line.substr(colon + 1);
    Gradient gradient;
    if (const std::size_t second = rest.find(u':'); second != Text::npos) {
        const std::vector<Text> how = words(rest.substr(0, second));
        rest = rest.substr(second + 1);
        const std::vector<std::pair<Text, ColorSpace>> spaces{{u"rgb", ColorSpace::Rgb},
                                                              {u"oklab", ColorSpace::Oklab},
                                                              {u"oklch", ColorSpace::Oklch}};
        const std::vector<std::pair<Text, HueMethod>> hues{{u"shorter", HueMethod::Shorter},
                                                           {u"longer", HueMethod::Longer},
                                                           {u"increasing", HueMethod::Increasing},
                                                           {u"decreasing", HueMethod::Decreasing}};
        const auto space = std::find_if(spaces.begin(), spaces.end(), [&](const auto& s) {
            return !how.empty() && s.first == how[0];
        });
        if (how.empty() || how.size() > 2 || space == spaces.end())
            return std::nullopt;
        gradient.space = space->second;
        if (how.size() == 2) {
            const auto hue = std::find_if(hues.begin(), hues.end(),
                                          [&](const auto& h) { return h.first == how[1]; });
            if (gradient.space != ColorSpace::Oklch || hue == hues.end())
                return std::nullopt;
            gradient.hue = hue->second;
        }
    }
    const auto stops = expectedStops(rest);
    if (!stops)
        return std::nullopt;
    gradient.stops = *stops;
    return gradient;
}

std::string checkFile(Text text)
{
    std::vector<std::size_t> faults;
    std::map<std::u16string, Gradient> gradients;
    const std::vector<Text> lines = split(text, u'\n');
    for (std::size_t number = 1; number <= lines.size(); ++number) {
        Text line = lines[number - 1];
        if (line.ends_with(u'\r'))
            line.remove_suffix(1);
        line = trim(line);
        if (line.empty() || line.front() == u'#')
            continue;
        if (auto gradient = expectedLine(line))
            gradients.insert_or_assign(std::u16string(trim(line.substr(0, line.find(u':')))),
                                       std::move(*gradient));
        else
            faults.push_back(number);
    }
    const std::u8string bytes = toUtf8(text);
    const GradientsFile file = parseGradientsFile(
        std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    std::vector<std::size_t> got;
    for (const auto& fault : file.faults) {
        if (fault.message.empty())
            return "a fault of the gradients file has no message";
        got.push_back(fault.line);
    }
    if (got != faults)
        return "the gradients file's faults are not on the lines expected";
    std::map<std::u16string, Gradient> made;
    for (const auto& named : file.gradients)
        if (!made.emplace(named.name, named.gradient).second)
            return "the gradients file gives one name twice";
    if (made != gradients)
        return "the gradients file's gradients differ from the lines' reading";
    return {};
}

} // namespace

std::string checkParsers(std::span<const std::uint8_t> data)
{
    if (data.empty())
        return {};
    std::u16string text;
    for (const std::uint8_t byte : data.subspan(1))
        text += static_cast<char16_t>(byte);
    switch (data[0]) {
    case 0: {
        const auto parsed = parseStops(text);
        if (parsed.value != expectedStops(text))
            return parsed.value ? "the stop list is taken but should be refused"
                                : "the stop list is refused but should be taken";
        if (!parsed.value && parsed.error.empty())
            return "a refused stop list has no message";
        return {};
    }
    case 1:
        return checkFile(text);
    default:
        if (parseColor(text) != expectedColor(text))
            return "the colour is read otherwise";
        return {};
    }
}

} // namespace prismel::fuzzing
