#include "targets.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Each fuzzer is this file built for one target, named by PRISMEL_FUZZ_TARGET.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const prismel::fuzzing::FuzzTarget* const target = [] {
        for (const auto& t : prismel::fuzzing::fuzzTargets())
            if (t.name == PRISMEL_FUZZ_TARGET)
                return &t;
        std::fprintf(stderr, "no fuzz target named %s\n", PRISMEL_FUZZ_TARGET);
        std::abort();
    }();
    const std::string fault = target->check({data, size});
    if (!fault.empty()) {
        std::fprintf(stderr, "%s invariant broken: %s\n", PRISMEL_FUZZ_TARGET, fault.c_str());
        std::abort();
    }
    return 0;
}
