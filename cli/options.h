#pragma once

#include "core/colorpair.h"
#include "core/tagtemplate.h"

#include <span>
#include <string>
#include <variant>

namespace prismel::cli {

// What prismel-convert was asked to do.
struct Options {
    TagTemplate tags = startupTemplate();
    std::u16string stepText = u"1";
    ColorPair colors;
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

// The usage text printed by --help.
std::string usageText();

} // namespace prismel::cli
