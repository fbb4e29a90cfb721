#include "cli/utf8.h"

#include <gtest/gtest.h>

namespace {

using prismel::cli::decodeUtf8;

struct DecodeCase {
    const char* name;
    std::string_view bytes;
    std::u16string_view text;
    std::optional<std::size_t> errorOffset;
};

TEST(DecodeUtf8, Table)
{
    const DecodeCase cases[] = {
        {"ascii", "ABC", u"ABC", std::nullopt},
        {"empty", "", u"", std::nullopt},
        {"two_byte", "\xC3\xA9", u"é", std::nullopt},
        {"three_byte_chinese", "\xE5\xBD\xA9\xE8\x99\xB9", u"彩虹", std::nullopt},
        {"four_byte_emoji_is_a_pair", "\xF0\x9F\x98\x80", u"\xD83D\xDE00", std::nullopt},
        {"largest_code_point", "\xF4\x8F\xBF\xBF", u"\xDBFF\xDFFF", std::nullopt},
        {"bom_dropped",
         "\xEF\xBB\xBF"
         "A",
         u"A", std::nullopt},
        {"second_bom_kept", "\xEF\xBB\xBF\xEF\xBB\xBF", u"\xFEFF", std::nullopt},
        {"crlf_kept", "A\r\nB", u"A\r\nB", std::nullopt},
        {"nul_kept", std::string_view("A\0B", 3), std::u16string_view(u"A\0B", 3), std::nullopt},
        // Offsets count bytes of the file, a byte-order mark included.
        {"stray_continuation", "AB\x80", u"", 2},
        {"bad_continuation",
         "\xEF\xBB\xBF"
         "AB\xC3\x28",
         u"", 5},
        {"truncated_at_end", "A\xE5\xBD", u"", 1},
        {"overlong_slash", "\xC0\xAF", u"", 0},
        {"overlong_three_byte", "x\xE0\x80\xAF", u"", 1},
        {"overlong_four_byte", "\xF0\x8F\xBF\xBF", u"", 0},
        {"encoded_surrogate", "\xED\xA0\x80", u"", 0},
        {"beyond_10ffff", "\xF4\x90\x80\x80", u"", 0},
        {"five_byte_lead", "\xF8\x88\x80\x80\x80", u"", 0},
        {"ff_byte", "ok\xFF", u"", 2},
    };
    for (const auto& c : cases) {
        const auto decoded = decodeUtf8(c.bytes);
        EXPECT_EQ(decoded.errorOffset, c.errorOffset) << c.name;
        if (!c.errorOffset) {
            EXPECT_EQ(decoded.text, c.text) << c.name;
        }
    }
}

TEST(AppendUtf8, RoundTripsAndReplacesLoneSurrogates)
{
    std::string out;
    prismel::cli::appendUtf8(out, u"A彩\xD83D\xDE00");
    EXPECT_EQ(out, "A\xE5\xBD\xA9\xF0\x9F\x98\x80");
    out.clear();
    prismel::cli::appendUtf8(out, u"\xD83D"
                                  u"A\xDE00");
    EXPECT_EQ(out, "\xEF\xBF\xBD"
                   "A\xEF\xBF\xBD");
}

} // namespace
