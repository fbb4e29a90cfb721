#include "colornames.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

namespace prismel {

namespace {

struct NamedColor {
    std::u16string_view name;
    Rgb color;
};

// The table is written in the hex digits CSS lists the colours by, split at compile time.
consteval Rgb hex(std::uint32_t code)
{
    return hexRgb(code);
}

// The named colours of CSS Color 4, in order of name for a binary search.
constexpr std::array<NamedColor, 148> namedColors{{
    {u"aliceblue", hex(0xF0F8FF)},
    {u"antiquewhite", hex(0xFAEBD7)},
    {u"aqua", hex(0x00FFFF)},
    {u"aquamarine", hex(0x7FFFD4)},
    {u"azure", hex(0xF0FFFF)},
    {u"beige", hex(0xF5F5DC)},
    {u"bisque", hex(0xFFE4C4)},
    {u"black", hex(0x000000)},
    {u"blanchedalmond", hex(0xFFEBCD)},
    {u"blue", hex(0x0000FF)},
    {u"blueviolet", hex(0x8A2BE2)},
    {u"brown", hex(0xA52A2A)},
    {u"burlywood", hex(0xDEB887)},
    {u"cadetblue", hex(0x5F9EA0)},
    {u"chartreuse", hex(0x7FFF00)},
    {u"chocolate", hex(0xD2691E)},
    {u"coral", hex(0xFF7F50)},
    {u"cornflowerblue", hex(0x6495ED)},
    {u"cornsilk", hex(0xFFF8DC)},
    {u"crimson", hex(0xDC143C)},
    {u"cyan", hex(0x00FFFF)},
    {u"darkblue", hex(0x00008B)},
    {u"darkcyan", hex(0x008B8B)},
    {u"darkgoldenrod", hex(0xB8860B)},
    {u"darkgray", hex(0xA9A9A9)},
    {u"darkgreen", hex(0x006400)},
    {u"darkgrey", hex(0xA9A9A9)},
    {u"darkkhaki", hex(0xBDB76B)},
    {u"darkmagenta", hex(0x8B008B)},
    {u"darkolivegreen", hex(0x556B2F)},
    {u"darkorange", hex(0xFF8C00)},
    {u"darkorchid", hex(0x9932CC)},
    {u"darkred", hex(0x8B0000)},
    {u"darksalmon", hex(0xE9967A)},
    {u"darkseagreen", hex(0x8FBC8F)},
    {u"darkslateblue", hex(0x483D8B)},
    {u"darkslategray", hex(0x2F4F4F)},
    {u"darkslategrey", hex(0x2F4F4F)},
    {u"darkturquoise", hex(0x00CED1)},
    {u"darkviolet", hex(0x9400D3)},
    {u"deeppink", hex(0xFF1493)},
    {u"deepskyblue", hex(0x00BFFF)},
    {u"dimgray", hex(0x696969)},
    {u"dimgrey", hex(0x696969)},
    {u"dodgerblue", hex(0x1E90FF)},
    {u"firebrick", hex(0xB22222)},
    {u"floralwhite", hex(0xFFFAF0)},
    {u"forestgreen", hex(0x228B22)},
    {u"fuchsia", hex(0xFF00FF)},
    {u"gainsboro", hex(0xDCDCDC)},
    {u"ghostwhite", hex(0xF8F8FF)},
    {u"gold", hex(0xFFD700)},
    {u"goldenrod", hex(0xDAA520)},
    {u"gray", hex(0x808080)},
    {u"green", hex(0x008000)},
    {u"greenyellow", hex(0xADFF2F)},
    {u"grey", hex(0x808080)},
    {u"honeydew", hex(0xF0FFF0)},
    {u"hotpink", hex(0xFF69B4)},
    {u"indianred", hex(0xCD5C5C)},
    {u"indigo", hex(0x4B0082)},
    {u"ivory", hex(0xFFFFF0)},
    {u"khaki", hex(0xF0E68C)},
    {u"lavender", hex(0xE6E6FA)},
    {u"lavenderblush", hex(0xFFF0F5)},
    {u"lawngreen", hex(0x7CFC00)},
    {u"lemonchiffon", hex(0xFFFACD)},
    {u"lightblue", hex(0xADD8E6)},
    {u"lightcoral", hex(0xF08080)},
    {u"lightcyan", hex(0xE0FFFF)},
    {u"lightgoldenrodyellow", hex(0xFAFAD2)},
    {u"lightgray", hex(0xD3D3D3)},
    {u"lightgreen", hex(0x90EE90)},
    {u"lightgrey", hex(0xD3D3D3)},
    {u"lightpink", hex(0xFFB6C1)},
    {u"lightsalmon", hex(0xFFA07A)},
    {u"lightseagreen", hex(0x20B2AA)},
    {u"lightskyblue", hex(0x87CEFA)},
    {u"lightslategray", hex(0x778899)},
    {u"lightslategrey", hex(0x778899)},
    {u"lightsteelblue", hex(0xB0C4DE)},
    {u"lightyellow", hex(0xFFFFE0)},
    {u"lime", hex(0x00FF00)},
    {u"limegreen", hex(0x32CD32)},
    {u"linen", hex(0xFAF0E6)},
    {u"magenta", hex(0xFF00FF)},
    {u"maroon", hex(0x800000)},
    {u"mediumaquamarine", hex(0x66CDAA)},
    {u"mediumblue", hex(0x0000CD)},
    {u"mediumorchid", hex(0xBA55D3)},
    {u"mediumpurple", hex(0x9370DB)},
    {u"mediumseagreen", hex(0x3CB371)},
    {u"mediumslateblue", hex(0x7B68EE)},
    {u"mediumspringgreen", hex(0x00FA9A)},
    {u"mediumturquoise", hex(0x48D1CC)},
    {u"mediumvioletred", hex(0xC71585)},
    {u"midnightblue", hex(0x191970)},
    {u"mintcream", hex(0xF5FFFA)},
    {u"mistyrose", hex(0xFFE4E1)},
    {u"moccasin", hex(0xFFE4B5)},
    {u"navajowhite", hex(0xFFDEAD)},
    {u"navy", hex(0x000080)},
    {u"oldlace", hex(0xFDF5E6)},
    {u"olive", hex(0x808000)},
    {u"olivedrab", hex(0x6B8E23)},
    {u"orange", hex(0xFFA500)},
    {u"orangered", hex(0xFF4500)},
    {u"orchid", hex(0xDA70D6)},
    {u"palegoldenrod", hex(0xEEE8AA)},
    {u"palegreen", hex(0x98FB98)},
    {u"paleturquoise", hex(0xAFEEEE)},
    {u"palevioletred", hex(0xDB7093)},
    {u"papayawhip", hex(0xFFEFD5)},
    {u"peachpuff", hex(0xFFDAB9)},
    {u"peru", hex(0xCD853F)},
    {u"pink", hex(0xFFC0CB)},
    {u"plum", hex(0xDDA0DD)},
    {u"powderblue", hex(0xB0E0E6)},
    {u"purple", hex(0x800080)},
    {u"rebeccapurple", hex(0x663399)},
    {u"red", hex(0xFF0000)},
    {u"rosybrown", hex(0xBC8F8F)},
    {u"royalblue", hex(0x4169E1)},
    {u"saddlebrown", hex(0x8B4513)},
    {u"salmon", hex(0xFA8072)},
    {u"sandybrown", hex(0xF4A460)},
    {u"seagreen", hex(0x2E8B57)},
    {u"seashell", hex(0xFFF5EE)},
    {u"sienna", hex(0xA0522D)},
    {u"silver", hex(0xC0C0C0)},
    {u"skyblue", hex(0x87CEEB)},
    {u"slateblue", hex(0x6A5ACD)},
    {u"slategray", hex(0x708090)},
    {u"slategrey", hex(0x708090)},
    {u"snow", hex(0xFFFAFA)},
    {u"springgreen", hex(0x00FF7F)},
    {u"steelblue", hex(0x4682B4)},
    {u"tan", hex(0xD2B48C)},
    {u"teal", hex(0x008080)},
    {u"thistle", hex(0xD8BFD8)},
    {u"tomato", hex(0xFF6347)},
    {u"turquoise", hex(0x40E0D0)},
    {u"violet", hex(0xEE82EE)},
    {u"wheat", hex(0xF5DEB3)},
    {u"white", hex(0xFFFFFF)},
    {u"whitesmoke", hex(0xF5F5F5)},
    {u"yellow", hex(0xFFFF00)},
    {u"yellowgreen", hex(0x9ACD32)},
}};

constexpr bool isSortedByName()
{
    for (std::size_t i = 1; i < namedColors.size(); ++i) {
        if (!(namedColors[i - 1].name < namedColors[i].name))
            return false;
    }
    return true;
}
static_assert(isSortedByName(), "the search needs the names in order");

} // namespace

std::optional<Rgb> namedColor(std::u16string_view name)
{
    std::u16string lower(name);
    for (char16_t& c : lower) {
        if (c >= u'A' && c <= u'Z')
            c = static_cast<char16_t>(c - u'A' + u'a');
    }
    const auto found = std::lower_bound(
        namedColors.begin(), namedColors.end(), lower,
        [](const NamedColor& color, const std::u16string& key) { return color.name < key; });
    if (found == namedColors.end() || found->name != lower)
        return std::nullopt;
    return found->color;
}

} // namespace prismel
