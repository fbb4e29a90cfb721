#pragma once

#include "core/codelength.h"
#include "core/convertrequest.h"
#include "core/format.h"
#include "core/gradient.h"
#include "core/tagtemplate.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace prismel::cli {

// What prismel-convert was asked to do.
struct Options {
    TagTemplate tags = startupTemplate();
    // --step as read (see parseStep()); nothing for one outside the 32-bit range.
    std::optional<std::int32_t> step = 1;
    // The gradient as --start and --end (the first and the last stop), --stops, --gradient,
    // --space, --hue and --reverse ask, resolved by resolveGradient() once the user's gradients
    // are known.
    std::vector<GradientStop> stops = Gradient().stops;
    std::optional<std::u16string> gradientName;
    std::optional<ColorSpace> space;
    std::optional<HueMethod> hue;
    bool reverse = false;
    bool listGradients = false;
    std::optional<FormatName> format; // --format; the tags and conversion already follow it
    ConvertOptions conversion;
    std::optional<std::uint64_t> fitLimit; // --fit: choose the step whose code fits
    LengthUnit count = LengthUnit::Chars;  // the unit of fitLimit and of the statistics
    bool stats = false;
    std::string file = "-"; // "-" is standard input
};

// --help or --version: print `text` to standard output and succeed.
struct Info {
    std::string text;
};

// A command line that cannot be used: print `message` to standard error and exit 64.
struct UsageError {
    std::string message;
};

using ParseResult = std::variant<Options, Info, UsageError>;

// Reads the arguments after the program name. Each option takes its value as the next argument
// (even one starting with "-") or after "="; only whole option names are accepted; explicit tag
// pieces win over --format whatever their order. Not reentrant: it uses getopt_long's global
// state.
ParseResult parseArguments(std::span<const char* const> args);

// The gradient `options` ask for, with `own` the user's named gradients; a UsageError when a
// --gradient name is unknown, --hue is given for a space other than oklch, or the format draws
// the gradient itself and cannot draw this one.
std::variant<Gradient, UsageError> resolveGradient(const Options& options,
                                                   const std::vector<NamedGradient>& own);

// The usage text printed by --help.
std::string usageText();

// The lines of --list-formats: each format's name and a few words.
std::string formatList();

} // namespace prismel::cli
