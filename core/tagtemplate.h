#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace prismel {

/// The three strings a tagged chunk is made of: head + RRGGBB + mid + chunk + close.
struct TagTemplate {
    std::u16string TagHead;
    std::u16string TagMid;
    std::u16string TagClose;

    friend bool operator==(const TagTemplate&, const TagTemplate&) = default;
};

/// The template a fresh window shows. Its head carries a "#" that the UBB preset's does not.
TagTemplate startupTemplate();

/// The template one of the first entries of the format list fills in; the entry's caption is
/// its row of formatTable().
struct FormatPreset {
    std::u16string_view head;
    std::u16string_view mid;
    std::u16string_view close;

    TagTemplate tagTemplate() const
    {
        return {std::u16string(head), std::u16string(mid), std::u16string(close)};
    }
};

/// The presets in list order: HTML, UBB, QQ zone.
const std::array<FormatPreset, 3>& formatPresets();

/// The preset at a list index, or nothing for an index outside the list.
std::optional<TagTemplate> presetTemplate(int index);

} // namespace prismel
