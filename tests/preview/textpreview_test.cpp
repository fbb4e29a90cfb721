#include "preview/textpreview.h"

#include "core/step.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace {

using prismel::Rgb;

// A chunk as the surface saw it: the text printed, in the colour and at the corner set before.
struct Drawn {
    std::u16string text;
    Rgb color;
    float x = 0; // twips
    float y = 0;
    friend bool operator==(const Drawn&, const Drawn&) = default;
};

// Readable failures: the chunk text with anything outside printable ASCII as \uXXXX.
[[maybe_unused]] void PrintTo(const Drawn& chunk, std::ostream* out)
{
    *out << '"';
    for (const char16_t unit : chunk.text) {
        if (unit >= 0x20 && unit < 0x7F)
            *out << static_cast<char>(unit);
        else
            *out << "\\u" << std::hex << static_cast<unsigned>(unit) << std::dec;
    }
    *out << "\" in (" << chunk.color.r << ", " << chunk.color.g << ", " << chunk.color.b << ") at ("
         << chunk.x << ", " << chunk.y << ')';
}

// Records every call, and the chunks as they were drawn. The size it reports is the one asked
// for unless told otherwise; `height` is the drawable height in twips.
class RecordingText : public prismel::TextSurface {
public:
    explicit RecordingText(std::optional<float> reported = std::nullopt,
                           float height = std::numeric_limits<float>::max())
        : m_reported(reported), m_height(height)
    {
    }
    void setFontSize(float points) override
    {
        m_size = points;
        log.push_back("size " + std::to_string(points));
    }
    float fontSize() const override { return m_reported.value_or(m_size); }
    void cls() override { log.emplace_back("cls"); }
    void setForeColor(Rgb color) override
    {
        m_color = color;
        log.push_back("fore " + std::to_string(color.r) + ' ' + std::to_string(color.g) + ' ' +
                      std::to_string(color.b));
    }
    void setCurrentX(float twips) override
    {
        m_x = twips;
        log.push_back("x " + std::to_string(twips));
    }
    void setCurrentY(float twips) override
    {
        m_y = twips;
        log.push_back("y " + std::to_string(twips));
    }
    void print(std::u16string_view text) override
    {
        drawn.push_back({std::u16string(text), m_color, m_x, m_y});
        log.push_back("print " + std::string(text.begin(), text.end()));
    }
    float visibleHeight() const override { return m_height; }

    std::vector<std::string> log;
    std::vector<Drawn> drawn;

private:
    std::optional<float> m_reported;
    float m_size = 0;
    float m_height;
    Rgb m_color;
    float m_x = 0;
    float m_y = 0;
};

std::vector<Drawn> drawnChunks(std::u16string_view input, std::u16string_view step,
                               std::optional<float> reportedSize = std::nullopt)
{
    RecordingText surface(reportedSize);
    prismel::ConvertRequest request;
    request.step = prismel::parseStep(step);
    prismel::DrawTextPreview(surface, input, request);
    return surface.drawn;
}

constexpr Rgb rgb(std::int16_t r, std::int16_t g, std::int16_t b)
{
    return {r, g, b};
}

constexpr Rgb endColor = rgb(0, 255, 0);

struct ListCase {
    const char* name;
    std::u16string_view input;
    std::u16string_view step;
    std::vector<Drawn> expected;
};

class LayoutListTest : public testing::TestWithParam<ListCase> {};

TEST_P(LayoutListTest, Chunks)
{
    EXPECT_EQ(drawnChunks(GetParam().input, GetParam().step), GetParam().expected);
}

const std::vector<Drawn> abcOnePerCell{
    {u"A", rgb(170, 85, 170), 0, 0}, {u"B", rgb(85, 170, 85), 200, 0}, {u"C", endColor, 400, 0}};

INSTANTIATE_TEST_SUITE_P(
    Table, LayoutListTest,
    testing::Values(
        ListCase{"empty_text", u"", u"1", {}}, ListCase{"spaces_only", u"    ", u"1", {}},
        ListCase{"abc_step_1", u"ABC", u"1", abcOnePerCell},
        ListCase{"step_equal_to_length_falls_back", u"ABC", u"3", abcOnePerCell},
        ListCase{"step_0_falls_back", u"ABC", u"0", abcOnePerCell},
        ListCase{"empty_step_falls_back", u"ABC", u"", abcOnePerCell},
        ListCase{"outer_spaces_trimmed",
                 u"  AB  ",
                 u"1",
                 {{u"A", rgb(128, 128, 128), 0, 0}, {u"B", endColor, 200, 0}}},
        ListCase{"inner_space_drawn_in_its_cell",
                 u"A B",
                 u"1",
                 {{u"A", rgb(170, 85, 170), 0, 0},
                  {u" ", rgb(85, 170, 85), 200, 0},
                  {u"B", endColor, 400, 0}}},
        ListCase{"abcde_step_2",
                 u"ABCDE",
                 u"2",
                 {{u"AB", rgb(204, 51, 204), 0, 0},
                  {u"CD", rgb(102, 153, 102), 400, 0},
                  {u"E", endColor, 800, 0}}},
        ListCase{"single_char_in_end_colour", u"X", u"1", {{u"X", endColor, 0, 0}}},
        // Trimming keeps the line break, so B is position 2 of 4 (127.5 goes to 128).
        ListCase{"trailing_crlf_kept",
                 u"AB\r\n",
                 u"1",
                 {{u"A", rgb(191, 64, 191), 0, 0},
                  {u"B", rgb(128, 128, 128), 200, 0},
                  {u"\r", rgb(64, 191, 64), 400, 0},
                  {u"\n", endColor, 600, 0}}},
        ListCase{"crlf_takes_cells_on_same_row",
                 u"A\r\nB",
                 u"1",
                 {{u"A", rgb(191, 64, 191), 0, 0},
                  {u"\r", rgb(128, 128, 128), 200, 0},
                  {u"\n", rgb(64, 191, 64), 400, 0},
                  {u"B", endColor, 600, 0}}},
        // The chunk takes the low half too; the next one starts after it, at its own cell.
        ListCase{"surrogate_pair_not_cut",
                 u"A\U0001F600B",
                 u"2",
                 {{u"A\U0001F600", rgb(191, 64, 191), 0, 0}, {u"B", endColor, 600, 0}}},
        ListCase{"lone_pair_is_one_chunk",
                 u"\U0001F600",
                 u"1",
                 {{u"\U0001F600", rgb(128, 128, 128), 0, 0}}}),
    [](const auto& row) { return std::string(row.param.name); });

struct CornerCase {
    const char* name;
    std::size_t length;
    std::size_t step;
    float fontSize;
    std::int64_t position;
    float x;
    float y;
    std::size_t textLength;
};

class LayoutCornerTest : public testing::TestWithParam<CornerCase> {};

std::optional<Drawn> chunkAt(const std::vector<Drawn>& chunks, std::size_t step,
                             std::int64_t position)
{
    const auto index = static_cast<std::size_t>(position - 1) / step;
    if ((static_cast<std::size_t>(position - 1) % step) != 0 || index >= chunks.size())
        return std::nullopt;
    return chunks[index];
}

TEST_P(LayoutCornerTest, Corner)
{
    const CornerCase& c = GetParam();
    const std::u16string text(c.length, u'x');
    const std::string step = std::to_string(c.step);
    const auto chunks = drawnChunks(text, std::u16string(step.begin(), step.end()), c.fontSize);
    const auto chunk = chunkAt(chunks, c.step, c.position);
    ASSERT_TRUE(chunk) << "no chunk starts at " << c.position;
    EXPECT_EQ(chunk->x, c.x);
    EXPECT_EQ(chunk->y, c.y);
    EXPECT_EQ(chunk->text.size(), c.textLength);
}

INSTANTIATE_TEST_SUITE_P(
    Table, LayoutCornerTest,
    testing::Values(CornerCase{"position_38_last_column", 77, 1, 10.0f, 38, 7400, 0, 1},
                    CornerCase{"position_39_wraps", 77, 1, 10.0f, 39, 0, 200, 1},
                    CornerCase{"position_77_third_row", 77, 1, 10.0f, 77, 0, 400, 1},
                    CornerCase{"last_16bit_row", 6232, 1, 10.0f, 6232, 7400, 32600, 1},
                    CornerCase{"row_164_wider_offset", 6233, 1, 10.0f, 6233, 0, 32800, 1},
                    CornerCase{"step_4_runs_past_column_38", 45, 4, 10.0f, 37, 7200, 0, 4},
                    CornerCase{"step_4_at_41", 45, 4, 10.0f, 41, 400, 200, 4},
                    CornerCase{"step_4_short_last_at_45", 45, 4, 10.0f, 45, 1200, 200, 1},
                    CornerCase{"font_9_75_pitch_195", 77, 1, 9.75f, 2, 195, 0, 1},
                    CornerCase{"font_9_75_column_38", 77, 1, 9.75f, 38, 7215, 0, 1},
                    CornerCase{"font_9_75_rows_stay_200", 77, 1, 9.75f, 40, 195, 200, 1},
                    // 197.5 and 592.5 are ties and go to the even neighbour.
                    CornerCase{"font_9_875_tie_up_to_198", 77, 1, 9.875f, 2, 198, 0, 1},
                    CornerCase{"font_9_875_tie_down_to_592", 77, 1, 9.875f, 4, 592, 0, 1}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(LayoutTextPreviewTest, Step4On45CharsGivesTwelveChunks)
{
    EXPECT_EQ(drawnChunks(std::u16string(45, u'x'), u"4").size(), 12u);
}

TEST(LayoutTextPreviewTest, NonsenseFontSizeStaysInRange)
{
    const auto chunks = drawnChunks(u"AB", u"1", 1e30f);
    ASSERT_EQ(chunks.size(), 2u);
    EXPECT_EQ(chunks[1].x, static_cast<float>(std::numeric_limits<std::int32_t>::max()));
}

TEST(DrawTextPreviewTest, SetsSizeClearsThenDrawsEachChunk)
{
    RecordingText surface(std::nullopt, 2175.0f);
    prismel::DrawTextPreview(surface, u"AB", {});
    const std::vector<std::string> expected{
        "size 10.000000", "cls",          "fore 128 128 128", "x 0.000000", "y 0.000000",
        "print A",        "fore 0 255 0", "x 200.000000",     "y 0.000000", "print B"};
    EXPECT_EQ(surface.log, expected);
}

TEST(DrawTextPreviewTest, ColumnsFollowReportedSize)
{
    RecordingText surface(9.75f, 2175.0f);
    prismel::DrawTextPreview(surface, u"AB", {});
    ASSERT_EQ(surface.log.size(), 10u);
    EXPECT_EQ(surface.log[7], "x 195.000000");
}

TEST(DrawTextPreviewTest, EmptyOrBlankTextOnlyClears)
{
    for (const std::u16string_view input : {u"", u"   "}) {
        RecordingText surface(std::nullopt, 2175.0f);
        prismel::DrawTextPreview(surface, input, {});
        EXPECT_EQ(surface.log, (std::vector<std::string>{"size 10.000000", "cls"}));
    }
}

// Per line, each line takes the whole gradient, and the cells stay those of the whole text.
TEST(DrawTextPreviewTest, PerLineRestartsColoursButKeepsCells)
{
    const std::u16string_view input = u"AB\nCD";
    RecordingText whole(std::nullopt, 2175.0f);
    RecordingText perLine(std::nullopt, 2175.0f);
    prismel::DrawTextPreview(whole, input, {});
    prismel::ConvertRequest eachLine;
    eachLine.options.perLine = true;
    prismel::DrawTextPreview(perLine, input, eachLine);
    ASSERT_EQ(perLine.drawn.size(), whole.drawn.size());
    for (std::size_t i = 0; i < whole.drawn.size(); ++i) {
        EXPECT_EQ(perLine.drawn[i].x, whole.drawn[i].x);
        EXPECT_EQ(perLine.drawn[i].y, whole.drawn[i].y);
    }
    EXPECT_EQ(perLine.drawn[3].color, perLine.drawn[0].color);
    EXPECT_EQ(perLine.drawn[4].color, endColor);
}

struct VisibleCase {
    const char* name;
    float height;
    std::size_t prints;
};

class DrawVisibleRowsTest : public testing::TestWithParam<VisibleCase> {};

// A million characters cost one screenful: drawing stops at the first row below the edge.
TEST_P(DrawVisibleRowsTest, MillionCharactersDrawOnlyVisibleRows)
{
    static const std::u16string million(1'000'000, u'x');
    RecordingText surface(std::nullopt, GetParam().height);
    prismel::DrawTextPreview(surface, million, {});
    EXPECT_EQ(surface.drawn.size(), GetParam().prints);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DrawVisibleRowsTest,
    testing::Values(VisibleCase{"preview_box_2175_shows_11_rows", 2175.0f, 11 * 38UL},
                    VisibleCase{"row_top_on_edge_is_hidden", 2000.0f, 10 * 38UL},
                    VisibleCase{"two_rows_in_400_twips", 400.0f, 2 * 38UL},
                    VisibleCase{"collapsed_still_one_row", 0.0f, 38}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
