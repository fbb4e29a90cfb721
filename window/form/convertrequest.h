#pragma once

#include "core/convertrequest.h"

#include <QString>

namespace prismel {

// Everything a Convert reads from the window, taken at once when it starts: the text and what
// the fields ask of it. Convert itself, the rich-text copy, the fit to a length and the picture
// all work from one of these.
struct TextRequest : ConvertRequest {
    QString input;
};

} // namespace prismel
