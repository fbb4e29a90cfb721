#include "options.h"

#include "cli/utf8.h"

#include <array>
#include <optional>
#include <string_view>

namespace prismel::cli {

namespace {

constexpr std::string_view usageHint = "; see 'prismel-convert --help'";

std::optional<std::u16string> decodeArgument(std::string_view value)
{
    auto decoded = decodeUtf8(value);
    if (decoded.errorOffset)
        return std::nullopt;
    return std::move(decoded.text);
}

// Six hexadecimal digits, either case, with an optional "#".
std::optional<Rgb> parseColor(std::string_view text)
{
    if (!text.empty() && text.front() == '#')
        text.remove_prefix(1);
    if (text.size() != 6)
        return std::nullopt;
    std::array<int, 6> digits{};
    for (std::size_t i = 0; i < 6; ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9')
            digits[i] = c - '0';
        else if (c >= 'a' && c <= 'f')
            digits[i] = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digits[i] = c - 'A' + 10;
        else
            return std::nullopt;
    }
    const auto channel = [&](std::size_t i) {
        return static_cast<std::int16_t>(digits[i] * 16 + digits[i + 1]);
    };
    return Rgb{channel(0), channel(2), channel(4)};
}

std::optional<int> presetIndex(std::string_view name)
{
    constexpr std::array<std::string_view, 3> names{"html", "ubb", "qq"};
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (name == names[i])
            return static_cast<int>(i);
    }
    return std::nullopt;
}

} // namespace

std::string usageText()
{
    return "Usage: prismel-convert [OPTION]... [FILE]\n"
           "Turn the UTF-8 text of FILE (or standard input when FILE is absent or \"-\")\n"
           "into rainbow-coloured markup on standard output.\n"
           "\n"
           "  --format html|ubb|qq  take all three tag pieces from a preset\n"
           "  --head TEXT           text before the colour code   (default \"[color=#\")\n"
           "  --mid TEXT            text between code and chunk   (default \"]\")\n"
           "  --close TEXT          text after the chunk          (default \"[/color]\")\n"
           "  --step TEXT           characters per colour, read like the step field (default 1)\n"
           "  --start RRGGBB        start colour (default FF00FF)\n"
           "  --end RRGGBB          end colour (default 00FF00)\n"
           "  --help                show this help\n"
           "  --version             show the version\n"
           "\n"
           "Each option takes its value as the next argument or after '=' (--head=).\n"
           "Exit status: 0 done, 64 bad command line, 65 input not UTF-8,\n"
           "66 input unreadable, 74 output could not be written.\n";
}

ParseResult parseArguments(std::span<const char* const> args)
{
    Options options;
    std::optional<int> preset;
    std::optional<std::u16string> head, mid, close;
    bool haveFile = false;
    bool endOfOptions = false;

    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (!endOfOptions && arg.size() > 1 && arg[0] == '-' && !arg.starts_with("--"))
            return UsageError{"unknown option '" + std::string(arg) + "'" + std::string(usageHint)};
        if (endOfOptions || !arg.starts_with("--")) {
            if (haveFile)
                return UsageError{"unexpected argument '" + std::string(arg) +
                                  "': only one input file" + std::string(usageHint)};
            options.file = std::string(arg);
            haveFile = true;
            continue;
        }
        if (arg == "--") {
            endOfOptions = true;
            continue;
        }
        if (arg == "--help")
            return Info{usageText()};
        if (arg == "--version")
            return Info{"prismel-convert " PRISMEL_DISPLAY_VERSION "\n"};

        const auto equals = arg.find('=');
        const std::string_view name = arg.substr(0, equals);
        std::string_view value;
        if (name != "--format" && name != "--head" && name != "--mid" && name != "--close" &&
            name != "--step" && name != "--start" && name != "--end")
            return UsageError{"unknown option '" + std::string(name) + "'" +
                              std::string(usageHint)};
        if (equals != std::string_view::npos) {
            value = arg.substr(equals + 1);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            return UsageError{"option '" + std::string(name) + "' needs a value" +
                              std::string(usageHint)};
        }

        if (name == "--format") {
            preset = presetIndex(value);
            if (!preset)
                return UsageError{"unknown format '" + std::string(value) +
                                  "': choose html, ubb or qq" + std::string(usageHint)};
            continue;
        }
        if (name == "--start" || name == "--end") {
            const auto color = parseColor(value);
            if (!color)
                return UsageError{"colour '" + std::string(value) + "' of " + std::string(name) +
                                  " is not six hexadecimal digits" + std::string(usageHint)};
            if (name == "--start") {
                options.colors.StartR = color->r;
                options.colors.StartG = color->g;
                options.colors.StartB = color->b;
            } else {
                options.colors.EndR = color->r;
                options.colors.EndG = color->g;
                options.colors.EndB = color->b;
            }
            continue;
        }
        auto text = decodeArgument(value);
        if (!text)
            return UsageError{"value of " + std::string(name) + " is not valid UTF-8" +
                              std::string(usageHint)};
        if (name == "--head")
            head = std::move(text);
        else if (name == "--mid")
            mid = std::move(text);
        else if (name == "--close")
            close = std::move(text);
        else
            options.stepText = std::move(*text);
    }

    if (preset)
        options.tags = *presetTemplate(*preset);
    if (head)
        options.tags.TagHead = std::move(*head);
    if (mid)
        options.tags.TagMid = std::move(*mid);
    if (close)
        options.tags.TagClose = std::move(*close);
    return options;
}

} // namespace prismel::cli
