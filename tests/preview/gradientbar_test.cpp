#include "preview/gradientbar.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using prismel::ColorPair;

using prismel::Rgb;

constexpr Rgb rgb(std::int16_t r, std::int16_t g, std::int16_t b)
{
    return {r, g, b};
}

// One channel runs from s to e, the other two stay 0.
constexpr ColorPair greenRun(std::int16_t s, std::int16_t e)
{
    return {0, s, 0, 0, e, 0};
}

struct LineCase {
    const char* name;
    ColorPair colors;
    int a;
    Rgb expected;
};

class BarColorTest : public testing::TestWithParam<LineCase> {};

TEST_P(BarColorTest, LineColour)
{
    EXPECT_EQ(prismel::gradientBarColors(GetParam().colors)[static_cast<std::size_t>(GetParam().a)],
              GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, BarColorTest,
    testing::Values(LineCase{"startup_left_is_magenta", {}, 0, rgb(255, 0, 255)},
                    LineCase{"startup_middle", {}, 128, rgb(127, 128, 127)},
                    LineCase{"startup_right_is_green", {}, 255, rgb(0, 255, 0)},
                    LineCase{"rise_0_100_at_1", greenRun(0, 100), 1, rgb(0, 0, 0)},
                    LineCase{"rise_0_100_at_2", greenRun(0, 100), 2, rgb(0, 1, 0)},
                    LineCase{"rise_0_100_at_127", greenRun(0, 100), 127, rgb(0, 50, 0)},
                    LineCase{"rise_0_100_at_128", greenRun(0, 100), 128, rgb(0, 50, 0)},
                    LineCase{"rise_0_100_at_254", greenRun(0, 100), 254, rgb(0, 100, 0)},
                    LineCase{"rise_0_100_at_255", greenRun(0, 100), 255, rgb(0, 100, 0)},
                    LineCase{"fall_200_10_at_1", greenRun(200, 10), 1, rgb(0, 199, 0)},
                    LineCase{"fall_200_10_at_127", greenRun(200, 10), 127, rgb(0, 105, 0)},
                    LineCase{"fall_200_10_at_128", greenRun(200, 10), 128, rgb(0, 105, 0)},
                    LineCase{"fall_200_10_at_254", greenRun(200, 10), 254, rgb(0, 11, 0)},
                    LineCase{"fall_200_10_at_255", greenRun(200, 10), 255, rgb(0, 10, 0)},
                    // Red and blue sit in the low and the high byte, not the other way round.
                    LineCase{
                        "channels_in_their_bytes", {10, 20, 30, 10, 20, 30}, 77, rgb(10, 20, 30)}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(BarColorTest, EqualColoursGiveOneColourEverywhere)
{
    const ColorPair colors{12, 34, 56, 12, 34, 56};
    for (const Rgb color : prismel::gradientBarColors(colors))
        EXPECT_EQ(color, rgb(12, 34, 56));
}

struct Call {
    enum Op { Scale, Cls, DrawWidth, Line } op;
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    Rgb color{};
};

class RecordingBar : public prismel::GradientSurface {
public:
    std::vector<Call> calls;
    void scale(float x1, float y1, float x2, float y2) override
    {
        calls.push_back({Call::Scale, x1, y1, x2, y2});
    }
    void cls() override { calls.push_back({Call::Cls}); }
    void setDrawWidth(int pixels) override
    {
        calls.push_back({Call::DrawWidth, static_cast<float>(pixels)});
    }
    void line(float x1, float y1, float x2, float y2, Rgb color) override
    {
        calls.push_back({Call::Line, x1, y1, x2, y2, color});
    }
};

TEST(DrawGradientBarTest, ScaleIsGivenOnceAndOnlyBySetGradientBarScale)
{
    RecordingBar bar;
    prismel::setGradientBarScale(bar);
    ASSERT_EQ(bar.calls.size(), 1u);
    EXPECT_EQ(bar.calls[0].op, Call::Scale);
    EXPECT_EQ(bar.calls[0].x1, 0.0f);
    EXPECT_EQ(bar.calls[0].y1, 0.0f);
    EXPECT_EQ(bar.calls[0].x2, 255.0f);
    EXPECT_EQ(bar.calls[0].y2, 10.0f);
}

TEST(DrawGradientBarTest, ClearsSetsWidthThenDrawsVerticalLinesLeftToRight)
{
    RecordingBar bar;
    const ColorPair colors{0, 0, 255, 0, 255, 0};
    // Twice: every drawing starts from a cleared surface and never rescales it.
    for (int pass = 0; pass < 2; ++pass) {
        bar.calls.clear();
        prismel::DrawGradientBar(bar, colors);
        ASSERT_EQ(bar.calls.size(), 2u + 256u);
        EXPECT_EQ(bar.calls[0].op, Call::Cls);
        EXPECT_EQ(bar.calls[1].op, Call::DrawWidth);
        EXPECT_EQ(bar.calls[1].x1, 1.0f);
        for (std::size_t a = 0; a < 256; ++a) {
            const Call& line = bar.calls[a + 2];
            ASSERT_EQ(line.op, Call::Line) << "a = " << a;
            EXPECT_EQ(line.x1, static_cast<float>(a));
            EXPECT_EQ(line.x2, static_cast<float>(a));
            EXPECT_EQ(line.y1, 0.0f);
            EXPECT_EQ(line.y2, 10.0f);
        }
        EXPECT_EQ(bar.calls[2].color, rgb(0, 0, 255));
        EXPECT_EQ(bar.calls[2 + 128].color, rgb(0, 128, 127));
        EXPECT_EQ(bar.calls[2 + 255].color, rgb(0, 255, 0));
    }
}

// Line a of any gradient is its colour at a / 255, stops and spaces included.
TEST(BarColorTest, EveryLineIsTheGradientAtItsPlace)
{
    const prismel::Gradient gradients[] = {
        prismel::Gradient({{rgb(255, 0, 0), {}},
                           {rgb(0, 0, 255), 3000},
                           {rgb(0, 255, 0), 3000},
                           {rgb(9, 9, 9), {}}}),
        prismel::Gradient({{rgb(255, 255, 255), {}}, {rgb(255, 0, 0), {}}},
                          prismel::ColorSpace::Oklch),
    };
    for (const auto& gradient : gradients) {
        const auto lines = prismel::gradientBarColors(gradient);
        for (std::size_t a = 0; a < lines.size(); ++a)
            EXPECT_EQ(lines[a], prismel::colorAt(gradient, static_cast<std::int64_t>(a), 255)) << a;
    }
}

} // namespace
