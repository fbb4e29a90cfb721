#pragma once

#include "convertrequest.h"

#include <string>
#include <string_view>

namespace prismel {

/// The input coloured as the conversion colours it, as a small HTML fragment for pasting into
/// rich editors: `<meta charset="utf-8">`, then one `<span style="color:#RRGGBB">` per tag the
/// conversion would write (same trimming, step, colours and merge rule; not the request's
/// tags).
///
/// The text is escaped (& < > "); a line break (LF, CR LF or a lone CR) becomes `<br>`, and a
/// space that follows a space or starts a line becomes `&nbsp;` so that runs of spaces and
/// indentation survive HTML's collapsing of white space. The decorations of `options` wrap the
/// whole fragment in <b>, <i>, <u> and <s>.
std::u16string richTextFragment(std::u16string_view input, const ConvertRequest& request);

} // namespace prismel
