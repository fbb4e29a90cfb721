#pragma once

#include "core/gradient.h"

#include <string>
#include <vector>

namespace prismel::cli {

struct UserGradients {
    std::vector<NamedGradient> gradients;
    std::vector<std::string> warnings; // "FILE:LINE: what is wrong", one a bad line
};

// The gradients of the file at `path`. A missing file holds none and is no fault; one that cannot
// be read or is not UTF-8 gives one warning, a bad line one warning each, and the good lines
// still count.
UserGradients loadUserGradients(const std::string& path);

} // namespace prismel::cli
