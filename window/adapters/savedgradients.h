#pragma once

#include "core/gradient.h"

#include <QString>

#include <vector>

namespace prismel {

// The user's gradients file, the one prismel-convert reads (userGradientsPath()), from the
// window's side.

// Its good lines; a file that is missing or cannot be read holds none.
std::vector<NamedGradient> loadSavedGradients();

// Adds the line for `gradient` under `name` (a valid gradient name) or replaces the one there.
// The new file is written beside the old one and renamed over it, so a crash never leaves half a
// file. Gives why it could not, in a few words, or an empty text when it saved.
QString saveGradient(std::u16string_view name, const Gradient& gradient);

} // namespace prismel
