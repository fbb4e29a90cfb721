#include "textpreview.h"

#include "core/chunking.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace prismel {

namespace {

constexpr std::int64_t cellsPerRow = 38;
constexpr std::int64_t twipsPerPoint = 20;
constexpr std::int64_t rowPitch = 200;
constexpr float previewFontSize = 10.0f;

struct PlacedChunk {
    std::u16string_view text;
    Rgb color;
    std::int32_t x;
    std::int64_t y;
};

// Half to even, as the column corner has always been rounded; a surface reporting a nonsense
// size (NaN, infinite, huge) gets a corner pinned to the 32-bit range instead of undefined
// behaviour.
std::int32_t roundedTwips(float value)
{
    if (std::isnan(value))
        return 0;
    const float rounded = std::nearbyint(value);
    if (rounded >= 2147483648.0f)
        return std::numeric_limits<std::int32_t>::max();
    if (rounded < -2147483648.0f)
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(rounded);
}

// A row can be seen when its top lies above the bottom edge (200 r < height). One row is always
// laid out, so even a collapsed surface gets its first line drawn.
std::int64_t visibleRows(float height)
{
    if (!(height > 0.0f))
        return 1;
    const double rows = std::ceil(static_cast<double>(height) / static_cast<double>(rowPitch));
    if (rows >= 9.0e18)
        return std::numeric_limits<std::int64_t>::max();
    return std::max<std::int64_t>(1, static_cast<std::int64_t>(rows));
}

// Walks the same chunks as the markup. A chunk sits in the cell of its first unit in the whole
// text, also when the gradient starts again on every line.
template <typename Visit>
void walkPreview(std::u16string_view input, const ConvertRequest& request, float fontSize,
                 std::int64_t rowLimit, Visit visit)
{
    withCursor(
        prepareText(input, request.step), request.gradient, request.options.perLine,
        [&](auto& cursor) {
            for (;;) {
                const auto cell = static_cast<std::int64_t>(cursor.offset());
                const auto chunk = cursor.next();
                if (!chunk)
                    break;
                const std::int64_t row = cell / cellsPerRow;
                // Cells only grow, so nothing after the first hidden row can be visible.
                if (row >= rowLimit)
                    break;
                const std::int64_t column = cell % cellsPerRow;
                // Single-precision size times an integer offset, rounded once, so a
                // reported 9.75 gives a pitch of exactly 195 twips.
                const float x = fontSize * static_cast<float>(twipsPerPoint * column);
                visit(PlacedChunk{chunk->text, chunk->color, roundedTwips(x), rowPitch * row});
            }
        });
}

} // namespace

void DrawTextPreview(TextSurface& surface, std::u16string_view input, const ConvertRequest& request)
{
    const ConvertOptions& options = request.options;
    surface.setFontSize(previewFontSize);
    surface.cls();
    const float fontSize = surface.fontSize();
    const std::int64_t rowLimit = visibleRows(surface.visibleHeight());
    surface.setDecorations(options.decorations);
    if (options.wholeTextGradient) {
        // The server's colours, one a character: what MiniMessage will show.
        const std::u16string_view trimmed = trimSpaces(input);
        const auto cells = static_cast<std::uint64_t>(cellsPerRow) *
                           static_cast<std::uint64_t>(std::min<std::int64_t>(rowLimit, 1 << 24));
        for (const TaggedColor& piece :
             gradientTagColors(trimmed, request.gradient, options.perLine, cells)) {
            const auto cell = static_cast<std::int64_t>(piece.offset);
            const float x = fontSize * static_cast<float>(twipsPerPoint * (cell % cellsPerRow));
            surface.setForeColor(piece.color);
            surface.setCurrentX(static_cast<float>(roundedTwips(x)));
            const std::int64_t y = rowPitch * (cell / cellsPerRow);
            surface.setCurrentY(static_cast<float>(y));
            surface.print(trimmed.substr(piece.offset, piece.size));
        }
        return;
    }
    const ColorCode code = options.colorCode;
    walkPreview(input, request, fontSize, rowLimit, [&surface, code](const PlacedChunk& placed) {
        surface.setForeColor(shownColor(code, placed.color));
        surface.setCurrentX(static_cast<float>(placed.x));
        surface.setCurrentY(static_cast<float>(placed.y));
        surface.print(placed.text);
    });
}

} // namespace prismel
