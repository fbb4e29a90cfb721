#include "core/chunking.h"

#include <unicode/uchar.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

std::string hex(char32_t c)
{
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(c));
    return text;
}

// The cursor skips the break iterator wherever these two lists say so; every code point they
// name must have the properties that make that safe, as ICU's own tables give them.
TEST(ClusterFastPath, StartersNeverContinueACluster)
{
    for (char32_t c = 0; c <= 0x10FFFF; ++c) {
        if (!prismel::detail::isClusterStarter(c))
            continue;
        const auto kind =
            u_getIntPropertyValue(static_cast<UChar32>(c), UCHAR_GRAPHEME_CLUSTER_BREAK);
        const bool alone =
            kind == U_GCB_OTHER || kind == U_GCB_CONTROL || kind == U_GCB_CR || kind == U_GCB_LF;
        ASSERT_TRUE(alone) << hex(c) << " has cluster break kind " << kind;
    }
}

TEST(ClusterFastPath, NonPrependsNeitherPrependNorJoin)
{
    for (char32_t c = 0; c <= 0x10FFFF; ++c) {
        if (!prismel::detail::isNeverPrepend(c))
            continue;
        const auto kind =
            u_getIntPropertyValue(static_cast<UChar32>(c), UCHAR_GRAPHEME_CLUSTER_BREAK);
        ASSERT_TRUE(kind != U_GCB_PREPEND && kind != U_GCB_ZWJ) << hex(c) << " kind " << kind;
    }
}

} // namespace
