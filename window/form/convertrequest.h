#pragma once

#include "core/gradient.h"
#include "core/mergedtags.h"
#include "core/tagtemplate.h"

#include <QString>

namespace prismel {

// Everything a Convert reads from the window, taken at once when it starts: Convert itself, the
// rich-text copy and the fit to a length all work from one of these.
struct ConvertRequest {
    QString input;
    QString step;
    TagTemplate tags;
    Gradient gradient;
    ConvertOptions options;
};

} // namespace prismel
