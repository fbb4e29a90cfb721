#pragma once

#include "gradient.h"
#include "tagtemplate.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace prismel {

/// How a colour is written between the head and the mid of a tag.
enum class ColorCode {
    Hex,             ///< RRGGBB, upper case
    Decimal,         ///< R;G;B, as a terminal's 24-bit colour sequence takes it
    AmpersandDigits, ///< &R&R&G&G&B&B, Spigot's legacy hex
    SectionDigits,   ///< §R§R§G§G§B§B
    Minecraft16,     ///< 0-9, a-f: the nearest of Minecraft's 16 colours
    Irc16,           ///< 00-15: the nearest mIRC colour
    Ansi256,         ///< 16-255: the nearest of the 256-colour terminal's cube and greys
    Ansi16,          ///< 30-37, 90-97: the nearest of xterm's 16 colours
};

/// The longest code any ColorCode writes, in UTF-8 bytes (a '§' is two).
inline constexpr std::size_t maxColorCodeSize = 18;

/// How the text of a chunk is escaped for the markup it goes into.
enum class Escaping { None, Html, Latex, MiniMessage, Terminal };

/// What is written next to colour, in this order wherever several are.
enum class Decoration { Bold, Italic, Underline, Strikethrough };
inline constexpr std::size_t decorationCount = 4;

/// Whose codes the decorations take; the Minecraft families write theirs after every colour
/// code, the others once around the whole code.
enum class DecorationStyle { Html, Bbcode, MiniMessage, Latex, Ansi, Irc, Ampersand, Section };

/// Choices of the conversion beyond its inputs; the defaults give the classic markup.
struct ConvertOptions {
    /// One tag for neighbouring chunks of the same colour with only spaces between them: the
    /// same look with much shorter code. Line breaks and tabs still close the tag.
    bool merge = false;
    /// Every line gets the whole gradient, cut from its own start (see BasicLineCursor).
    bool perLine = false;
    ColorCode colorCode = ColorCode::Hex;
    Escaping escaping = Escaping::None;
    /// Indexed by Decoration.
    std::array<bool, decorationCount> decorations{};
    DecorationStyle decorationStyle = DecorationStyle::Bbcode;
    /// MiniMessage's one gradient tag around the whole text (or each line) instead of a tag per
    /// chunk; the tags are not used.
    bool wholeTextGradient = false;
};

/// Everything a conversion is asked, read once where it comes in (the window's fields, the
/// command line); the text it converts goes beside it.
struct ConvertRequest {
    /// The step as parseStep() read it, nothing for one outside the 32-bit range; each text
    /// brings it into its own range (see effectiveStep()).
    std::optional<std::int32_t> step = 1;
    TagTemplate tags;
    Gradient gradient;
    ConvertOptions options;
};

} // namespace prismel
