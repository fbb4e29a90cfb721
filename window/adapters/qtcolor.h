#pragma once

#include "core/colorpair.h"

#include <QColor>

namespace prismel {

// Colours cross into Qt here and nowhere else: the layers below speak Rgb, Qt speaks QColor.

// The colour as Qt draws it, fully opaque.
QColor toQColor(Rgb color);

// The colour's red, green and blue, 0 to 255 each, whatever model Qt holds it in; alpha is dropped.
Rgb toRgb(const QColor& color);

} // namespace prismel
