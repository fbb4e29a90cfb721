#include "fuzzinput.h"
#include "invariants.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto input = prismel::fuzzing::decodeFuzzInput({data, size});
    const std::string fault = prismel::fuzzing::checkConversion(input);
    if (!fault.empty()) {
        std::fprintf(stderr, "conversion invariant broken: %s\n", fault.c_str());
        std::abort();
    }
    return 0;
}
