#include "targets.h"

#include "fuzzinput.h"
#include "invariants.h"
#include "parsecheck.h"

#include "core/step.h"

#include <cstdint>
#include <limits>
#include <optional>

namespace prismel::fuzzing {

namespace {

std::string checkConversionBytes(std::span<const std::uint8_t> data)
{
    return checkConversion(decodeFuzzInput(data));
}

} // namespace

std::string checkStepText(std::span<const std::uint8_t> data)
{
    std::u16string text(data.size() / 2, u'\0');
    for (std::size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<char16_t>(data[2 * i] | data[2 * i + 1] << 8);

    const std::optional<std::int64_t> expected = stepValue(text);
    const std::optional<std::int32_t> parsed = parseStep(text);
    if (parsed.has_value() != expected.has_value() || (parsed && *parsed != *expected))
        return "step text " + unitsOf(text) + " parses to " +
               (parsed ? std::to_string(*parsed) : "nothing") + ", expected " +
               (expected ? std::to_string(*expected) : "nothing");
    // The fallback to one unit a chunk, at the lengths around the value and at the extremes.
    const std::int64_t value = expected.value_or(0);
    for (const std::int64_t length : {std::int64_t{0}, std::int64_t{1}, value - 1, value, value + 1,
                                      value + 2, std::numeric_limits<std::int64_t>::max()}) {
        const std::int64_t want = expectedStep(text, length);
        const std::int32_t got = effectiveStep(parsed, length);
        if (got != want)
            return "step text " + unitsOf(text) + " over " + std::to_string(length) +
                   " units gives a step of " + std::to_string(got) + ", expected " +
                   std::to_string(want);
    }
    return {};
}

const std::array<FuzzTarget, 3>& fuzzTargets()
{
    static const std::array<FuzzTarget, 3> targets{{
        {"conversion", checkConversionBytes, "fuzz/corpus", "tests/data/awkward"},
        {"step", checkStepText, "fuzz/corpus-step", "tests/data/awkward-step"},
        {"parse", checkParsers, "fuzz/corpus-parse", "tests/data/awkward-parse"},
    }};
    return targets;
}

} // namespace prismel::fuzzing
