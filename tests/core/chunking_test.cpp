#include "core/chunking.h"
#include "core/utf8.h"

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

// The UTF-8 cursor gathers a character's starter bit from its bytes without decoding it; it
// must answer as the list does for every character, alone at the text's end and followed by
// more text.
TEST(ClusterFastPath, Utf8StarterTestFollowsTheList)
{
    for (char32_t c = 0; c <= 0x10FFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF)
            continue;
        std::u16string units;
        if (c < 0x10000) {
            units += static_cast<char16_t>(c);
        } else {
            units += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            units += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        }
        const std::u8string alone = prismel::toUtf8(units);
        const std::u8string followed = alone + u8"彩";
        const bool starter = prismel::detail::isClusterStarter(c);
        ASSERT_EQ(prismel::detail::utf8StarterAt(alone, 0), starter) << hex(c) << " alone";
        ASSERT_EQ(prismel::detail::utf8StarterAt(followed, 0), starter) << hex(c) << " followed";
    }
}

} // namespace
