#pragma once

#include "core/colorpair.h"
#include "core/format.h"
#include "core/gradient.h"

#include <array>
#include <string_view>

namespace prismel {

// The text operations the preview needs from its picture box. Coordinates are twips from the
// top-left corner of the drawable area.
class TextSurface {
public:
    virtual ~TextSurface() = default;
    virtual void setFontSize(float points) = 0;
    // The size actually in effect, which may differ from the one requested.
    virtual float fontSize() const = 0;
    // Erases the surface and puts the text position at (0, 0).
    virtual void cls() = 0;
    virtual void setForeColor(Rgb color) = 0;
    // Bold, italic, underline and strike-through, indexed by Decoration, for what is printed
    // next; a surface that cannot draw them ignores them.
    virtual void setDecorations(const std::array<bool, decorationCount>& /*decorations*/) {}
    virtual void setCurrentX(float twips) = 0;
    virtual void setCurrentY(float twips) = 0;
    // Draws text from the current position on one line; what passes the edges is clipped.
    virtual void print(std::u16string_view text) = 0;
    // Height of the drawable area in twips; chunks starting below it are not drawn.
    virtual float visibleHeight() const = 0;
};

// Clears the surface and draws the chunks of the code of `request` that can be visible on it, as
// the code's target shows them: palette codes in their palette's colours, the gradient tag at
// one character a colour, the decorations drawn.
void DrawTextPreview(TextSurface& surface, std::u16string_view input,
                     const ConvertRequest& request);

} // namespace prismel
