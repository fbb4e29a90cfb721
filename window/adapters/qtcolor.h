#pragma once

#include "core/colorpair.h"

#include <QColor>

#include <cstdint>

namespace prismel {

// Colours cross into Qt here and nowhere else: the layers below speak Rgb, Qt speaks QColor.

// The colour as Qt draws it, fully opaque.
QColor toQColor(Rgb color);

// The chosen colour as the colour dialog hands it back: R + 256 G + 65536 B, top byte zero.
std::uint32_t toPacked(const QColor& color);

} // namespace prismel
