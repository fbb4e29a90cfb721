#include "tagtemplate.h"

namespace prismel {

TagTemplate startupTemplate()
{
    return {u"[color=#", u"]", u"[/color]"};
}

const std::array<FormatPreset, 3>& formatPresets()
{
    static constexpr std::array<FormatPreset, 3> presets{{
        {u"<font color=", u">", u"</font>"},
        {u"[color=", u"]", u"[/color]"},
        {u"[ftc=", u"]", u"[/ft]"},
    }};
    return presets;
}

std::optional<TagTemplate> presetTemplate(int index)
{
    const auto& presets = formatPresets();
    if (index < 0 || static_cast<std::size_t>(index) >= presets.size())
        return std::nullopt;
    return presets[static_cast<std::size_t>(index)].tagTemplate();
}

} // namespace prismel
