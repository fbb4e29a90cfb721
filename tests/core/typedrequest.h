#pragma once

#include "core/convertrequest.h"
#include "core/step.h"

#include <string_view>
#include <utility>

// A request with its step read from text, as the window's step field and --step are read.
inline prismel::ConvertRequest typedRequest(std::u16string_view step,
                                            prismel::TagTemplate tags = {},
                                            prismel::Gradient gradient = {},
                                            prismel::ConvertOptions options = {})
{
    return {prismel::parseStep(step), std::move(tags), std::move(gradient), options};
}
