#include "options.h"

#include "cli/utf8.h"
#include "core/messagetext.h"
#include "core/step.h"
#include "core/utf8.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <getopt.h>
#include <iterator>
#include <optional>
#include <string_view>
#include <vector>

namespace prismel::cli {

namespace {

constexpr std::string_view usageHint = "; see 'prismel-convert --help'";

UsageError usageError(std::string message)
{
    return {std::move(message) + std::string(usageHint)};
}

// What the options have said so far. The tag pieces are kept apart until the end, so that
// they win over --format whatever their order.
struct Parsed {
    Options options;
    std::optional<Escaping> escaping;
    std::optional<std::u16string> head, mid, close, step;
    bool pairGiven = false; // --start or --end
    bool stopsGiven = false;
};

std::vector<std::string_view> formatKeywords()
{
    std::vector<std::string_view> keywords;
    for (const FormatInfo& format : formatTable())
        keywords.push_back(format.keyword);
    return keywords;
}

std::string formatChoices()
{
    return alternatives(formatKeywords());
}

std::string joined(std::span<const std::string_view> keywords)
{
    std::string text;
    for (const std::string_view keyword : keywords)
        text += (text.empty() ? "" : "|") + std::string(keyword);
    return text;
}

std::string formatValues()
{
    return joined(formatKeywords());
}

std::string escapingValues()
{
    return joined(escapingKeywords());
}

std::string spaceValues()
{
    return joined(keywordsOf(colorSpaceKeywords()));
}

std::string hueValues()
{
    return joined(keywordsOf(hueMethodKeywords()));
}

// A value as UTF-16, or the message that it is not UTF-8.
std::optional<std::u16string> decoded(std::string_view value)
{
    auto text = decodeUtf8(value);
    if (text.errorOffset)
        return std::nullopt;
    return std::move(text.text);
}

std::string narrow(std::u16string_view text)
{
    const std::u8string utf8 = toUtf8(text);
    return {utf8.begin(), utf8.end()};
}

// Takes one option's value (empty for an option without one); a result ends the parsing.
using Handler = std::optional<ParseResult> (*)(Parsed&, std::string_view option,
                                               std::string_view value);

struct OptionRow {
    const char* name;      // without the leading "--"
    const char* valueName; // shown in the help; nullptr when the option takes no value
    const char* help;
    Handler handle;
    // The value's choices, "a|b|c", when a table of the core names them; shown for valueName.
    std::string (*choices)() = nullptr;
};

std::optional<ParseResult> setFormat(Parsed& parsed, std::string_view, std::string_view value)
{
    parsed.options.format = formatNamed(value);
    if (!parsed.options.format)
        return usageError("unknown format " + quoted(value) + ": choose " + formatChoices());
    return std::nullopt;
}

std::optional<ParseResult> setEscape(Parsed& parsed, std::string_view, std::string_view value)
{
    const auto keywords = escapingKeywords();
    const auto found = std::find(keywords.begin(), keywords.end(), value);
    if (found == keywords.end())
        return usageError("unknown escaping " + quoted(value) + ": choose " +
                          alternatives(keywords));
    parsed.escaping = static_cast<Escaping>(found - keywords.begin());
    return std::nullopt;
}

template <Decoration decoration>
std::optional<ParseResult> setDecoration(Parsed& parsed, std::string_view, std::string_view)
{
    parsed.options.conversion.decorations[static_cast<std::size_t>(decoration)] = true;
    return std::nullopt;
}

std::optional<ParseResult> listFormats(Parsed&, std::string_view, std::string_view)
{
    return Info{formatList()};
}

template <std::optional<std::u16string> Parsed::*text>
std::optional<ParseResult> setText(Parsed& parsed, std::string_view option, std::string_view value)
{
    auto decoded = decodeUtf8(value);
    if (decoded.errorOffset)
        return usageError("value of " + std::string(option) + " is not valid UTF-8");
    parsed.*text = std::move(decoded.text);
    return std::nullopt;
}

template <bool start>
std::optional<ParseResult> setColor(Parsed& parsed, std::string_view option, std::string_view value)
{
    const auto text = decoded(value);
    const auto color = text ? parseColor(*text) : std::nullopt;
    if (!color)
        return usageError("colour " + quoted(value) + " of " + std::string(option) +
                          " is not six hexadecimal digits, #RGB or a colour name");
    auto& stops = parsed.options.stops;
    (start ? stops.front() : stops.back()).color = *color;
    parsed.pairGiven = true;
    return std::nullopt;
}

std::optional<ParseResult> setStops(Parsed& parsed, std::string_view option, std::string_view value)
{
    const auto text = decoded(value);
    if (!text)
        return usageError("value of " + std::string(option) + " is not valid UTF-8");
    auto stops = parseStops(*text);
    if (!stops.value)
        return usageError(std::string(option) + ": " + narrow(stops.error));
    parsed.options.stops = std::move(*stops.value);
    parsed.stopsGiven = true;
    return std::nullopt;
}

std::optional<ParseResult> setSpace(Parsed& parsed, std::string_view, std::string_view value)
{
    const auto text = decoded(value);
    parsed.options.space = text ? parseColorSpace(*text) : std::nullopt;
    if (!parsed.options.space)
        return usageError("unknown colour space " + quoted(value) + ": choose " +
                          alternatives(keywordsOf(colorSpaceKeywords())));
    return std::nullopt;
}

std::optional<ParseResult> setHue(Parsed& parsed, std::string_view, std::string_view value)
{
    const auto text = decoded(value);
    parsed.options.hue = text ? parseHueMethod(*text) : std::nullopt;
    if (!parsed.options.hue)
        return usageError("unknown hue method " + quoted(value) + ": choose " +
                          alternatives(keywordsOf(hueMethodKeywords())));
    return std::nullopt;
}

std::optional<ParseResult> setGradient(Parsed& parsed, std::string_view option,
                                       std::string_view value)
{
    auto text = decoded(value);
    if (!text || text->empty())
        return usageError("value of " + std::string(option) + " is not a gradient's name");
    parsed.options.gradientName = std::move(*text);
    return std::nullopt;
}

template <bool Options::*flag>
std::optional<ParseResult> setFlag(Parsed& parsed, std::string_view, std::string_view)
{
    parsed.options.*flag = true;
    return std::nullopt;
}

std::optional<ParseResult> setPerLine(Parsed& parsed, std::string_view, std::string_view)
{
    parsed.options.conversion.perLine = true;
    return std::nullopt;
}

std::optional<ParseResult> setMerge(Parsed& parsed, std::string_view, std::string_view)
{
    parsed.options.conversion.merge = true;
    return std::nullopt;
}

std::optional<ParseResult> setStats(Parsed& parsed, std::string_view, std::string_view)
{
    parsed.options.stats = true;
    return std::nullopt;
}

// Digits only: a sign, a space, a fraction or a unit after the number would each be a guess
// about what the user meant.
std::optional<ParseResult> setFitLimit(Parsed& parsed, std::string_view option,
                                       std::string_view value)
{
    std::uint64_t limit = 0;
    const char* end = value.data() + value.size();
    const auto [stop, error] = std::from_chars(value.data(), end, limit);
    const std::string length = "length " + quoted(value) + " of " + std::string(option);
    if (error == std::errc::result_out_of_range)
        return usageError(length + " is too large");
    if (value.empty() || error != std::errc() || stop != end || limit == 0)
        return usageError(length + " is not a positive whole number");
    parsed.options.fitLimit = limit;
    return std::nullopt;
}

std::optional<ParseResult> setCount(Parsed& parsed, std::string_view, std::string_view value)
{
    constexpr std::array<std::pair<std::string_view, LengthUnit>, 3> units{{
        {"chars", LengthUnit::Chars},
        {"bytes", LengthUnit::Bytes},
        {"units", LengthUnit::Units},
    }};
    const auto found = std::find_if(units.begin(), units.end(),
                                    [&](const auto& unit) { return unit.first == value; });
    if (found == units.end())
        return usageError("unknown count " + quoted(value) + ": choose chars, bytes or units");
    parsed.options.count = found->second;
    return std::nullopt;
}

std::optional<ParseResult> showHelp(Parsed&, std::string_view, std::string_view)
{
    return Info{usageText()};
}

std::optional<ParseResult> showVersion(Parsed&, std::string_view, std::string_view)
{
    return Info{"prismel-convert " PRISMEL_DISPLAY_VERSION "\n"};
}

// Every option, once: the help text, the parser's table and the dispatch are all made from it.
// A new option is one more row here.
constexpr std::array optionTable{
    OptionRow{"format", "NAME", "the markup by name (below; default \"[color=#\" as the window)",
              setFormat, formatValues},
    OptionRow{"list-formats", nullptr, "print the formats' names, each with an example",
              listFormats},
    OptionRow{"escape", "WAY", "escape the chunks' text so (default: the format's own way)",
              setEscape, escapingValues},
    OptionRow{"bold", nullptr, "bold text, in the format's own codes",
              setDecoration<Decoration::Bold>},
    OptionRow{"italic", nullptr, "italic text", setDecoration<Decoration::Italic>},
    OptionRow{"underline", nullptr, "underlined text", setDecoration<Decoration::Underline>},
    OptionRow{"strikethrough", nullptr, "struck-through text",
              setDecoration<Decoration::Strikethrough>},
    OptionRow{"head", "TEXT", "text before the colour code   (default \"[color=#\")",
              setText<&Parsed::head>},
    OptionRow{"mid", "TEXT", "text between code and chunk   (default \"]\")",
              setText<&Parsed::mid>},
    OptionRow{"close", "TEXT", "text after the chunk          (default \"[/color]\")",
              setText<&Parsed::close>},
    OptionRow{"step", "TEXT", "characters per colour, read like the step field (default 1)",
              setText<&Parsed::step>},
    OptionRow{"start", "COLOUR", "start colour: RRGGBB, #RGB or a name (default FF00FF)",
              setColor<true>},
    OptionRow{"end", "COLOUR", "end colour (default 00FF00)", setColor<false>},
    OptionRow{"stops", "LIST", "the gradient's stops instead: 'red, gold 30%, #00f'", setStops},
    OptionRow{"gradient", "NAME", "a named gradient, built in or from the gradients file",
              setGradient},
    OptionRow{"space", "SPACE", "where colours are mixed (default rgb)", setSpace, spaceValues},
    OptionRow{"hue", "WAY", "the way round the hue circle, with oklch (default shorter)", setHue,
              hueValues},
    OptionRow{"reverse", nullptr, "run the gradient backwards", setFlag<&Options::reverse>},
    OptionRow{"per-line", nullptr, "every line gets the whole gradient", setPerLine},
    OptionRow{"list-gradients", nullptr, "print the names of the named gradients",
              setFlag<&Options::listGradients>},
    OptionRow{"merge", nullptr, "one tag for neighbouring chunks of the same colour", setMerge},
    OptionRow{"fit", "N", "first step from --step up with code at most N long", setFitLimit},
    OptionRow{"count", "chars|bytes|units", "the unit of --fit and --stats (default chars)",
              setCount},
    OptionRow{"stats", nullptr, "after the code, its step and length on standard error", setStats},
    OptionRow{"help", nullptr, "show this help", showHelp},
    OptionRow{"version", nullptr, "show the version", showVersion},
};

// getopt_long's code for a row: past every character, so that it cannot be taken for one of
// the codes getopt_long returns itself (1, '?' and ':').
constexpr int firstRowCode = 256;

const OptionRow* rowOfCode(int code)
{
    const auto index = static_cast<std::size_t>(code - firstRowCode);
    return code >= firstRowCode && index < optionTable.size() ? &optionTable[index] : nullptr;
}

std::array<option, optionTable.size() + 1> getoptTable()
{
    std::array<option, optionTable.size() + 1> table{}; // ends with the all-zero row
    for (std::size_t i = 0; i < optionTable.size(); ++i)
        table[i] = {optionTable[i].name, optionTable[i].valueName ? required_argument : no_argument,
                    nullptr, firstRowCode + static_cast<int>(i)};
    return table;
}

} // namespace

std::string formatList()
{
    std::string text;
    for (const FormatInfo& format : formatTable()) {
        std::string line = "  " + std::string(format.keyword);
        line.resize(24, ' ');
        text += line + std::string(format.about) + "\n";
    }
    return text;
}

std::string usageText()
{
    std::string text =
        "Usage: prismel-convert [OPTION]... [FILE]\n"
        "Turn the UTF-8 text of FILE (or standard input when FILE is absent or \"-\")\n"
        "into rainbow-coloured markup on standard output.\n"
        "\n";
    constexpr std::size_t helpColumn = 24;
    for (const auto& row : optionTable) {
        std::string line = std::string("  --") + row.name;
        if (row.choices)
            line += " " + row.choices();
        else if (row.valueName)
            line += std::string(" ") + row.valueName;
        // A name too long for the column has its help on the next line.
        if (line.size() + 2 > helpColumn) {
            text += line + "\n";
            line.clear();
        }
        line.resize(helpColumn, ' ');
        text += line + row.help + "\n";
    }
    return text + "\nFormats:\n" + formatList() +
           "\n"
           "Each option takes its value as the next argument or after '=' (--head=).\n"
           "Exit status: 0 done, 1 no step fits the --fit length, 64 bad command line,\n"
           "65 input not UTF-8, 66 input unreadable, 71 out of memory,\n"
           "74 output could not be written.\n";
}

ParseResult parseArguments(std::span<const char* const> args)
{
    // getopt_long wants a program name first and may reorder what it is given, so it works on
    // copies. A leading '-' keeps the arguments in order, handing each FILE over as code 1; ':'
    // reports a missing value apart from other faults; opterr = 0 leaves the messages to us.
    std::vector<std::string> copies{"prismel-convert"};
    copies.insert(copies.end(), args.begin(), args.end());
    std::vector<char*> argv;
    argv.reserve(copies.size() + 1);
    for (auto& copy : copies)
        argv.push_back(copy.data());
    argv.push_back(nullptr);
    const int argc = static_cast<int>(copies.size());
    const auto longOptions = getoptTable();

    Parsed parsed;
    bool haveFile = false;
    const auto addFile = [&](std::string_view file) -> std::optional<ParseResult> {
        if (haveFile)
            return usageError("unexpected argument " + quoted(file) + ": only one input file");
        parsed.options.file = std::string(file);
        haveFile = true;
        return std::nullopt;
    };

    opterr = 0;
    optind = 0; // glibc's way to start afresh, forgetting any earlier parse
    for (;;) {
        // Options take no short forms and are never clustered, so the argument being read is
        // always the one at optind.
        const int at = std::max(optind, 1);
        const std::string_view arg = at < argc ? argv[static_cast<std::size_t>(at)] : "";
        const int code = getopt_long(argc, argv.data(), "-:", longOptions.data(), nullptr);
        if (code == -1)
            break;
        if (code == 1) {
            if (auto result = addFile(arg))
                return *result;
            continue;
        }
        // After '?' or ':' optopt names the row, or is 0 for a name that matches none.
        const OptionRow* row = rowOfCode(code == '?' || code == ':' ? optopt : code);
        const std::string_view name = arg.starts_with("--") ? arg.substr(0, arg.find('=')) : arg;
        // getopt_long also takes any unambiguous abbreviation; only whole names are options.
        if (!row || name.substr(std::min<std::size_t>(2, name.size())) != row->name)
            return usageError("unknown option " + quoted(name));
        if (code == ':')
            return usageError("option " + quoted(name) + " needs a value");
        if (code == '?')
            return usageError("option " + quoted(name) + " takes no value");
        if (auto result = row->handle(parsed, name, optarg ? std::string_view(optarg) : ""))
            return *result;
    }
    // After "--", every argument is a file, even one starting with "-".
    for (int i = optind; i < argc; ++i) {
        if (auto result = addFile(argv[static_cast<std::size_t>(i)]))
            return *result;
    }

    Options& options = parsed.options;
    if (parsed.stopsGiven && parsed.pairGiven)
        return usageError("--stops cannot be given with --start or --end");
    if (options.gradientName && (parsed.stopsGiven || parsed.pairGiven))
        return usageError("--gradient cannot be given with --stops, --start or --end");
    const bool typed = parsed.head || parsed.mid || parsed.close;
    const auto& decorations = options.conversion.decorations;
    const bool decorated =
        std::find(decorations.begin(), decorations.end(), true) != decorations.end();
    if (typed && decorated)
        return usageError("decorations need a named format");
    if (options.format == FormatName::Latex &&
        decorations[static_cast<std::size_t>(Decoration::Strikethrough)])
        return usageError("latex has no strikethrough without extra packages");
    if (options.format)
        options.tags = applyFormat(*options.format, options.conversion);
    if (parsed.escaping)
        options.conversion.escaping = *parsed.escaping;
    if (parsed.head)
        options.tags.TagHead = std::move(*parsed.head);
    if (parsed.mid)
        options.tags.TagMid = std::move(*parsed.mid);
    if (parsed.close)
        options.tags.TagClose = std::move(*parsed.close);
    if (parsed.step)
        options.step = parseStep(*parsed.step);
    if (options.conversion.wholeTextGradient) {
        if (const auto problem = gradientTagStepProblem(options.step))
            return usageError(std::string(*problem));
    }
    return options;
}

std::variant<Gradient, UsageError> resolveGradient(const Options& options,
                                                   const std::vector<NamedGradient>& own)
{
    Gradient gradient(options.stops);
    if (options.gradientName) {
        auto found = findGradient(*options.gradientName, own);
        if (!found)
            return UsageError{"unknown gradient " + quoted(narrow(*options.gradientName)) +
                              "; 'prismel-convert --list-gradients' names them"};
        gradient = std::move(*found);
    }
    if (options.space)
        gradient.space = *options.space;
    if (options.hue) {
        if (!takesHueMethod(gradient.space))
            return usageError("--hue goes only with the " +
                              std::string(keywordOf(ColorSpace::Oklch)) + " colour space");
        gradient.hue = *options.hue;
    }
    if (options.reverse)
        gradient = reversed(gradient);
    if (options.conversion.wholeTextGradient) {
        if (const auto problem = gradientTagProblem(gradient))
            return usageError(std::string(*problem));
    }
    return gradient;
}

} // namespace prismel::cli
