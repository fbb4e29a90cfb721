#pragma once

#include "core/gradient.h"
#include "core/mergedtags.h"
#include "core/tagtemplate.h"
#include "window/adapters/qtstring.h"

#include <QString>

#include <optional>
#include <string_view>

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

// Why the request's gradient tag cannot be drawn by the server, in prismel-convert's words.
inline std::optional<std::string_view> gradientTagProblem(const ConvertRequest& request)
{
    if (!request.options.wholeTextGradient)
        return std::nullopt;
    if (auto problem = gradientTagStepProblem(view(request.step)))
        return problem;
    return gradientTagProblem(request.gradient);
}

} // namespace prismel
