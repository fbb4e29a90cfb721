#include "parsecheck.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string fault = prismel::fuzzing::checkParsers({data, size});
    if (!fault.empty()) {
        std::fprintf(stderr, "gradient parser disagrees: %s\n", fault.c_str());
        std::abort();
    }
    return 0;
}
