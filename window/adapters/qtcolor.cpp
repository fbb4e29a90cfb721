#include "window/adapters/qtcolor.h"

namespace prismel {

QColor toQColor(Rgb color)
{
    return {color.r, color.g, color.b};
}

Rgb toRgb(const QColor& color)
{
    const QRgb rgb = color.rgb();
    return {static_cast<std::int16_t>(qRed(rgb)), static_cast<std::int16_t>(qGreen(rgb)),
            static_cast<std::int16_t>(qBlue(rgb))};
}

} // namespace prismel
