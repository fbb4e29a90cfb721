#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace prismel::fuzzing {

// One thing the fuzzer drives with raw bytes: a parser or the conversion. `check` returns a
// description of the first fault it sees, or an empty string. Inputs worth keeping live in two
// folders of the source tree: `seeds` to start from, and `kept`, where the fuzzer writes what
// it finds and the replay test reads every file.
struct FuzzTarget {
    std::string_view name;
    std::string (*check)(std::span<const std::uint8_t> data);
    std::string_view seeds;
    std::string_view kept;
};

// The step text as UTF-16LE units (an odd last byte dropped), read as the step field does.
std::string checkStepText(std::span<const std::uint8_t> data);

const std::array<FuzzTarget, 3>& fuzzTargets();

} // namespace prismel::fuzzing
