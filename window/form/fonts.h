#pragma once

#include <QFont>
#include <QStringList>

namespace prismel {

// The window's face. Debian has no "宋体"; the font substitutions below map it to a Song face
// that Debian ships so that every caption shows Chinese glyphs.
inline constexpr char16_t songFamily[] = u"宋体";

// The faces tried for "宋体", best first.
QStringList songSubstitutes();

// Registers the substitutions once per process; later calls do nothing.
void installFontSubstitutions();

// "宋体" 9 point (12 pixels), regular, with the substitutions installed.
QFont windowFont();

} // namespace prismel
