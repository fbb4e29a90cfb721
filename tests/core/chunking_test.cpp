#include "core/chunking.h"
#include "core/step.h"
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

// A UTF-8 text may change after it was checked and counted (a mapped file that another process
// rewrites): the cursor then meets bytes that are not well-formed and a count that is not the
// text's. Its chunks must still lie within the text and cover it, and no colour may divide by a
// length of 0 or less.
struct MiscountedCase {
    const char* name;
    std::u8string text;
    std::int64_t utf16Length;
    std::u16string_view step;
};

class MiscountedUtf8 : public testing::TestWithParam<MiscountedCase> {};

TEST_P(MiscountedUtf8, ChunksStayWithinTheText)
{
    const auto& c = GetParam();
    const std::u8string_view trimmed = prismel::trimSpaces(std::u8string_view(c.text));
    auto cursor =
        prismel::chunksOf(c.text, c.utf16Length, prismel::parseStep(c.step), prismel::ColorPair{});
    std::string covered; // gtest prints std::string, not std::u8string
    while (const auto chunk = cursor.next()) {
        ASSERT_FALSE(chunk->text.empty());
        ASSERT_GE(chunk->text.data(), trimmed.data());
        ASSERT_LE(chunk->text.data() + chunk->text.size(), trimmed.data() + trimmed.size());
        covered.append(chunk->text.begin(), chunk->text.end());
    }
    EXPECT_EQ(covered, std::string(trimmed.begin(), trimmed.end()));
}

INSTANTIATE_TEST_SUITE_P(
    ChangedAfterCounting, MiscountedUtf8,
    testing::Values(MiscountedCase{"count_of_the_spaces_alone", u8"   A   ", 6, u"1"},
                    MiscountedCase{"count_below_the_spaces", u8"  AB  ", 0, u"1"},
                    MiscountedCase{"lead_cut_off_at_the_end", u8"AB\xE5", 3, u"1"},
                    MiscountedCase{"four_byte_lead_before_ascii",
                                   u8"\xF0"
                                   "ABCD",
                                   5, u"2"},
                    MiscountedCase{"stray_continuations",
                                   u8"\x80\x80\xBF"
                                   "A",
                                   4, u"1"},
                    MiscountedCase{"combining_mark_after_a_cut_lead", u8"A\xE5\xCC\x81", 2, u"1"}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
