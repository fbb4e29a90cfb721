#pragma once

#include <QFont>
#include <QStringList>

namespace prismel {

// The window's face. Debian has no "宋体"; the font substitutions below map it to a Song face
// that Debian ships so that every caption shows Chinese glyphs.
inline constexpr char16_t songFamily[] = u"宋体";

// The colour emoji face, tried after the Chinese ones so that an emoji never falls back to a face
// that draws it as a monochrome outline.
inline constexpr char16_t emojiFamily[] = u"Noto Color Emoji";

// The faces tried for "宋体", best first.
QStringList songSubstitutes();

// Registers the substitutions once per process; later calls do nothing.
void installFontSubstitutions();

// "宋体" 9 point (12 pixels), regular, with the substitutions installed, then the colour emoji.
QFont windowFont();

} // namespace prismel
