#pragma once

#include "core/colorpair.h"

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

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
    virtual void setForeColor(std::uint32_t packedColor) = 0;
    virtual void setCurrentX(float twips) = 0;
    virtual void setCurrentY(float twips) = 0;
    // Draws text from the current position on one line; what passes the edges is clipped.
    virtual void print(std::u16string_view text) = 0;
    // Height of the drawable area in twips; chunks starting below it are not drawn.
    virtual float visibleHeight() const = 0;
};

// One chunk of the preview: its text, packed colour and the top-left corner of its cell.
struct PreviewChunk {
    std::u16string text;
    std::uint32_t color = 0;
    std::int32_t x = 0; // twips
    std::int64_t y = 0; // twips; rows past the 16-bit range keep counting
    friend bool operator==(const PreviewChunk&, const PreviewChunk&) = default;
};

// The chunks of the trimmed input in drawing order, on the 38-cell grid for a surface that
// reports `fontSize` points. Chunks whose row is `rowLimit` or below are left out.
std::vector<PreviewChunk>
layoutTextPreview(std::u16string_view input, std::u16string_view stepText, const ColorPair& colors,
                  float fontSize, std::int64_t rowLimit = std::numeric_limits<std::int64_t>::max());

// Clears the surface and draws the chunks that can be visible on it.
void DrawTextPreview(TextSurface& surface, std::u16string_view input, std::u16string_view stepText,
                     const ColorPair& colors);

} // namespace prismel
