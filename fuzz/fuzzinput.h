#pragma once

#include "core/colorpair.h"
#include "core/tagtemplate.h"

#include <cstdint>
#include <span>
#include <string>

namespace prismel::fuzzing {

// One set of inputs of the conversion, as the fuzzer hands it over.
//
// Byte layout: six colour bytes (StartR, StartG, StartB, EndR, EndG, EndB); then the step text,
// the head, the mid and the close, each as one count byte followed by that many UTF-16LE code
// units; then the input text as UTF-16LE up to the end. Any code unit may appear, lone
// surrogates included. Short data is read as far as it goes: a missing colour byte is 0, a
// string cut short keeps the units present, and an odd last byte is dropped.
struct FuzzInput {
    ColorPair colors;
    std::u16string stepText;
    TagTemplate tags;
    std::u16string text;
};

FuzzInput decodeFuzzInput(std::span<const std::uint8_t> data);

} // namespace prismel::fuzzing
