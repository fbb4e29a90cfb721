#pragma once

#include "chunking.h"
#include "convertrequest.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace prismel {

namespace detail {

// Where the template's ends can pair with the text beside them into one character: a piece
// ending in a high surrogate followed by one starting with a low surrogate.
struct TemplateSeams {
    bool midEndsHigh = false;
    bool closeStartsLow = false;
    bool closeEmpty = false;
    bool closeEndsHigh = false;
    bool headStartsLow = false;
};

} // namespace detail

/// How the length of code is counted, as forum software counts a post.
enum class LengthUnit {
    Chars, ///< Unicode code points; a lone surrogate counts as the one U+FFFD it is sent as
    Bytes, ///< UTF-8 bytes; a lone surrogate counts 3, the size of U+FFFD
    Units, ///< UTF-16 code units
};

/// The length of the code of one input, template, colours and options at any step, found
/// without writing the code. Every unit of the trimmed input appears once in the code whatever
/// the step, so a step's length is the text's own length plus one set of tags per tagged run;
/// only the runs are counted, from the same chunks and merge rule as the conversion.
class CodeLength {
public:
    /// Keeps a view of `input`, which must outlive this object; the request's step is not
    /// used, every step is measured with at().
    CodeLength(std::u16string_view input, const ConvertRequest& request);

    /// The length of the code at `step`, first brought into range as effectiveStep() does.
    /// Costs one pass over the chunks of that step.
    std::uint64_t at(std::int32_t step, LengthUnit unit = LengthUnit::Chars) const;

    /// Code units of the trimmed input, the length the step is measured against.
    std::int64_t textSize() const { return static_cast<std::int64_t>(m_trimmed.size()); }

    /// One size in each unit.
    struct Sizes {
        std::uint64_t chars = 0;
        std::uint64_t bytes = 0;
        std::uint64_t units = 0;

        std::uint64_t in(LengthUnit unit) const;
    };

    /// The sizes of any UTF-16 text, counted the same way as code.
    static Sizes sizesOf(std::u16string_view text);

private:
    struct Runs {
        std::uint64_t tagged = 0;
        std::uint64_t pairsAcrossSeams = 0;
        Sizes codeSizes; // of the colour codes of all runs, and IRC's guards before commas
    };

    Runs countRuns(std::int32_t step) const;

    // The input without its escape sequences when the terminal's escaping removes them.
    std::shared_ptr<const std::u16string> m_stripped;
    std::u16string_view m_trimmed;
    // Made at the second walk: one text measured at several steps.
    mutable std::shared_ptr<const detail::ClusterIndex> m_index;
    mutable bool m_walked = false;
    Gradient m_gradient;
    ConvertOptions m_options;
    Sizes m_text;
    Sizes m_tags;                 // head + mid + close
    Sizes m_around;               // what is written once around the whole code
    std::optional<Sizes> m_whole; // the whole code, when it does not depend on the step
    detail::TemplateSeams m_seams;
};

/// The length of the code ConvertText() gives for the same arguments, in `unit`.
std::uint64_t codeLength(std::u16string_view input, const ConvertRequest& request,
                         LengthUnit unit = LengthUnit::Chars);

} // namespace prismel
