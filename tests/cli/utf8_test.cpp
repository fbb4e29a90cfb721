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

class DecodeUtf8 : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeUtf8, TextOrFirstBadByte)
{
    const auto& c = GetParam();
    const auto decoded = decodeUtf8(c.bytes);
    EXPECT_EQ(decoded.errorOffset, c.errorOffset);
    if (!c.errorOffset) {
        EXPECT_EQ(decoded.text, c.text);
    }
}

constexpr auto none = std::nullopt;

INSTANTIATE_TEST_SUITE_P(
    Valid, DecodeUtf8,
    testing::Values(
        DecodeCase{"ascii", "ABC", u"ABC", none}, DecodeCase{"empty", "", u"", none},
        DecodeCase{"two_byte", "\xC3\xA9", u"é", none},
        DecodeCase{"smallest_two_byte", "\xC2\x80", u"\x0080", none},
        DecodeCase{"smallest_three_byte", "\xE0\xA0\x80", u"\x0800", none},
        DecodeCase{"three_byte_chinese", "\xE5\xBD\xA9\xE8\x99\xB9", u"彩虹", none},
        DecodeCase{"just_below_surrogates", "\xED\x9F\xBF", u"\xD7FF", none},
        DecodeCase{"just_above_surrogates", "\xEE\x80\x80", u"\xE000", none},
        DecodeCase{"largest_three_byte", "\xEF\xBF\xBF", u"\xFFFF", none},
        DecodeCase{"smallest_four_byte", "\xF0\x90\x80\x80", u"\xD800\xDC00", none},
        DecodeCase{"emoji_is_a_pair", "\xF0\x9F\x98\x80", u"\xD83D\xDE00", none},
        DecodeCase{"largest_code_point", "\xF4\x8F\xBF\xBF", u"\xDBFF\xDFFF", none},
        DecodeCase{"mixed", "a\xE5\xBD\xA9\xF0\x9F\x98\x80z", u"a彩\xD83D\xDE00z", none},
        DecodeCase{"bom_dropped",
                   "\xEF\xBB\xBF"
                   "A",
                   u"A", none},
        DecodeCase{"bom_alone", "\xEF\xBB\xBF", u"", none},
        DecodeCase{"second_bom_kept", "\xEF\xBB\xBF\xEF\xBB\xBF", u"\xFEFF", none},
        DecodeCase{"bom_after_text_kept", "A\xEF\xBB\xBF", u"A\xFEFF", none},
        DecodeCase{"crlf_kept", "A\r\nB", u"A\r\nB", none},
        DecodeCase{"nul_kept", std::string_view("A\0B", 3), std::u16string_view(u"A\0B", 3), none}),
    [](const auto& row) { return std::string(row.param.name); });

// Offsets count bytes of the file, a byte-order mark included, and point at the lead byte of a
// sequence that goes wrong.
INSTANTIATE_TEST_SUITE_P(
    Invalid, DecodeUtf8,
    testing::Values(DecodeCase{"stray_continuation", "AB\x80", u"", 2},
                    DecodeCase{"bad_continuation", "AB\xC3\x28", u"", 2},
                    DecodeCase{"offset_counts_the_bom",
                               "\xEF\xBB\xBF"
                               "AB\xC3\x28",
                               u"", 5},
                    DecodeCase{"truncated_bom", "\xEF\xBB", u"", 0},
                    DecodeCase{"truncated_three_byte_at_end", "A\xE5\xBD", u"", 1},
                    DecodeCase{"truncated_four_byte_at_end", "AB\xF0\x9F\x98", u"", 2},
                    DecodeCase{"truncated_before_ascii",
                               "\xE5\xBD"
                               "A",
                               u"", 0},
                    DecodeCase{"overlong_two_byte_c0", "\xC0\xAF", u"", 0},
                    DecodeCase{"overlong_two_byte_c1", "\xC1\xBF", u"", 0},
                    DecodeCase{"overlong_three_byte", "x\xE0\x80\xAF", u"", 1},
                    DecodeCase{"overlong_three_byte_max", "\xE0\x9F\xBF", u"", 0},
                    DecodeCase{"overlong_four_byte", "\xF0\x8F\xBF\xBF", u"", 0},
                    DecodeCase{"encoded_high_surrogate", "\xED\xA0\x80", u"", 0},
                    DecodeCase{"encoded_low_surrogate", "ab\xED\xBF\xBF", u"", 2},
                    DecodeCase{"encoded_surrogate_pair", "\xED\xA0\xBD\xED\xB8\x80", u"", 0},
                    DecodeCase{"beyond_10ffff", "\xF4\x90\x80\x80", u"", 0},
                    DecodeCase{"lead_f5", "\xF5\x80\x80\x80", u"", 0},
                    DecodeCase{"five_byte_lead", "\xF8\x88\x80\x80\x80", u"", 0},
                    DecodeCase{"ff_byte", "ok\xFF", u"", 2},
                    DecodeCase{"error_after_good_emoji", "\xF0\x9F\x98\x80\x80", u"", 4}),
    [](const auto& row) { return std::string(row.param.name); });

// The bytes are rewritten between the decoder's count and its decoding, as a file another process
// rewrites while it is mapped. Whatever the second pass reads, it writes no more than it counted,
// and it reports a change unless it read well-formed text of the same length.
struct RewriteCase {
    const char* name;
    std::string before;
    std::string after; // of the same size
    std::u16string_view text;
    bool changed;
};

class DecodeUtf8Rewritten : public testing::TestWithParam<RewriteCase> {};

TEST_P(DecodeUtf8Rewritten, NeverTrustsTheCount)
{
    const auto& c = GetParam();
    ASSERT_EQ(c.before.size(), c.after.size());
    std::string bytes = c.before;
    const auto decoded =
        prismel::cli::detail::decodeUtf8(bytes, [&] { c.after.copy(bytes.data(), bytes.size()); });
    EXPECT_FALSE(decoded.errorOffset);
    EXPECT_EQ(decoded.changed, c.changed);
    EXPECT_EQ(decoded.text, c.text);
}

const std::string emoji = "\xF0\x9F\x98\x80";

INSTANTIATE_TEST_SUITE_P(
    Rewrites, DecodeUtf8Rewritten,
    testing::Values(RewriteCase{"leads_become_ascii", emoji + emoji, "AAAAAAAA", u"", true},
                    RewriteCase{"ascii_run_gains_a_lead", std::string(40, 'A'),
                                std::string(20, 'A') + emoji + std::string(16, 'A'), u"", true},
                    RewriteCase{"continuation_becomes_ascii", "\xC3\xA9",
                                "\xC3"
                                "A",
                                u"", true},
                    RewriteCase{"cut_off_at_the_end", "AAA\xC3\xA9", "AAAA\xC3", u"", true},
                    // Well-formed text of the count is the text the second pass read.
                    RewriteCase{"same_length_other_letters", "ABCDEFGHIJ", "abcdefghij",
                                u"abcdefghij", false},
                    RewriteCase{"pair_becomes_chinese_and_ascii", emoji,
                                "\xE5\xBD\xA9"
                                "A",
                                u"彩A", false}),
    [](const auto& row) { return std::string(row.param.name); });

struct CheckCase {
    const char* name;
    std::string_view bytes;
    std::int64_t utf16Units;
    std::optional<std::size_t> errorOffset;
};

class CheckUtf8 : public testing::TestWithParam<CheckCase> {};

TEST_P(CheckUtf8, CountsUnitsUpToTheFirstBadByte)
{
    const auto& c = GetParam();
    const auto check = prismel::cli::checkUtf8(c.bytes);
    EXPECT_EQ(check.errorOffset, c.errorOffset);
    EXPECT_EQ(check.utf16Units, c.utf16Units);
}

// ASCII is read eight bytes at a time; the rows put the other bytes on either side of a word.
INSTANTIATE_TEST_SUITE_P(
    Counts, CheckUtf8,
    testing::Values(CheckCase{"ascii_past_two_words", "ABCDEFGHIJKLMNOPQ", 17, none},
                    CheckCase{"four_bytes_are_two_units", "\xF0\x9F\x98\x80", 2, none},
                    CheckCase{"chinese_between_words", "ABCDEFGH\xE5\xBD\xA9IJKLMNOPQ", 18, none},
                    CheckCase{"bad_byte_inside_a_word", "ABCDEFG\xFFIJKLMNOP", 7, 7},
                    CheckCase{"bad_byte_after_a_pair", "\xF0\x9F\x98\x80x\x80", 3, 5}),
    [](const auto& row) { return std::string(row.param.name); });

namespace edges {

// The checker reads sixteen bytes at a time: every kind of fault is put at each place of a block
// by the text before it, and must still be found at its lead byte.
struct Fault {
    const char* name;
    std::string_view bytes;
    std::int64_t utf16Units; // of the bytes before the fault
    std::optional<std::size_t> errorOffset;
};

struct Padding {
    const char* name;
    std::string bytes;
    std::int64_t utf16Units;
};

class CheckUtf8AtBlockEdges : public testing::TestWithParam<std::tuple<Fault, Padding>> {};

TEST_P(CheckUtf8AtBlockEdges, FindsTheFaultWhereverItFalls)
{
    const auto& [fault, padding] = GetParam();
    const auto check = prismel::cli::checkUtf8(padding.bytes + std::string(fault.bytes));
    std::optional<std::size_t> errorOffset;
    if (fault.errorOffset)
        errorOffset = padding.bytes.size() + *fault.errorOffset;
    EXPECT_EQ(check.errorOffset, errorOffset);
    EXPECT_EQ(check.utf16Units, padding.utf16Units + fault.utf16Units);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, CheckUtf8AtBlockEdges,
    testing::Combine(
        testing::Values(
            Fault{"good_emoji_then_ascii", "\xF0\x9F\x98\x80zzzzzzzzzzzzzzzz", 18, none},
            Fault{"good_chinese_at_end", "\xE5\xBD\xA9", 1, none},
            Fault{"stray_continuation", "\x80zzzzzzzzzzzzzzzzzzzz", 0, 0},
            Fault{"continuation_after_a_whole_character", "\xC3\xA9\xBFzzzzzzzzzzzzzzzzzz", 1, 2},
            Fault{"two_byte_cut_by_ascii", "\xC3zzzzzzzzzzzzzzzzzzzz", 0, 0},
            Fault{"three_byte_cut_by_a_lead", "\xE5\xBD\xE5\xBD\xA9zzzzzzzzzzzzzzzz", 0, 0},
            Fault{"four_byte_cut_after_three", "\xF0\x9F\x98zzzzzzzzzzzzzzzzzzz", 0, 0},
            Fault{"two_byte_cut_off_at_end", "\xC3", 0, 0},
            Fault{"three_byte_cut_off_at_end", "\xE5\xBD", 0, 0},
            Fault{"four_byte_cut_off_at_end", "\xF0\x9F\x98", 0, 0},
            Fault{"overlong_two_byte", "\xC1\xBFzzzzzzzzzzzzzzzzzzzz", 0, 0},
            Fault{"overlong_three_byte", "\xE0\x9F\xBFzzzzzzzzzzzzzzzzzzz", 0, 0},
            Fault{"overlong_four_byte", "\xF0\x8F\xBF\xBFzzzzzzzzzzzzzzzzzz", 0, 0},
            Fault{"high_surrogate", "\xED\xA0\x80zzzzzzzzzzzzzzzzzz", 0, 0},
            Fault{"low_surrogate_after_chinese", "\xE5\xBD\xA9\xED\xBF\xBFzzzzzzzzzzzzzzzz", 1, 3},
            Fault{"past_10ffff", "\xF4\x90\x80\x80zzzzzzzzzzzzzzzzzz", 0, 0},
            Fault{"lead_f5", "\xF5\x80\x80\x80zzzzzzzzzzzzzzzzzz", 0, 0},
            Fault{"byte_ff_at_end", "\xFF", 0, 0}),
        testing::Values(Padding{"none", "", 0}, Padding{"ascii_13", std::string(13, 'a'), 13},
                        Padding{"ascii_14", std::string(14, 'a'), 14},
                        Padding{"ascii_15", std::string(15, 'a'), 15},
                        Padding{"ascii_16", std::string(16, 'a'), 16},
                        Padding{"ascii_17", std::string(17, 'a'), 17},
                        // Multi-byte text before keeps the state machine busy up to the fault.
                        Padding{"chinese_15_bytes",
                                "\xE5\xBD\xA9\xE8\x99\xB9\xE5\xBD\xA9"
                                "\xE8\x99\xB9\xE5\xBD\xA9",
                                5},
                        Padding{"emoji_16_bytes",
                                "\xF0\x9F\x98\x80\xF0\x9F\x98\x80"
                                "\xF0\x9F\x98\x80\xF0\x9F\x98\x80",
                                8},
                        Padding{"pair_and_chinese_29_bytes",
                                "\xF0\x9F\x98\x80\xE5\xBD\xA9\xE8\x99\xB9\xE5\xBD\xA9\xE8\x99\xB9"
                                "a\xC3\xA9\xE5\xBD\xA9\xE5\xBD\xA9\xE5\xBD\xA9"
                                "b",
                                12})),
    [](const auto& row) {
        return std::string(std::get<0>(row.param).name) + "_after_" + std::get<1>(row.param).name;
    });

} // namespace edges

} // namespace
