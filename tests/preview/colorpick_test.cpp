#include "preview/colorpick.h"
#include "preview/gradientbar.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using prismel::ColorPair;
using prismel::Rgb;

class ScriptedDialog : public prismel::ColorDialog {
public:
    explicit ScriptedDialog(std::optional<Rgb> answer) : m_answer(answer) {}
    std::optional<Rgb> chooseColor() override
    {
        ++opened;
        return m_answer;
    }
    int opened = 0;

private:
    std::optional<Rgb> m_answer;
};

class CountingBar : public prismel::GradientSurface {
public:
    void scale(float, float, float, float) override { ++scales; }
    void cls() override { ++clears; }
    void setDrawWidth(int) override {}
    void line(float, float, float, float, Rgb color) override { lines.push_back(color); }
    int scales = 0;
    int clears = 0;
    std::vector<Rgb> lines;
};

struct PickCase {
    const char* name;
    int index;
    std::optional<Rgb> answer;
    ColorPair before;
    ColorPair after;
    bool redrawn;
};

class PickColorTest : public testing::TestWithParam<PickCase> {};

TEST_P(PickColorTest, StoresColourAndRedraws)
{
    const PickCase& c = GetParam();
    ScriptedDialog dialog(c.answer);
    CountingBar bar;
    prismel::Gradient colors = c.before;
    EXPECT_EQ(prismel::PickColor(c.index, dialog, colors, bar), c.redrawn);

    EXPECT_EQ(dialog.opened, 1);
    EXPECT_EQ(colors, prismel::Gradient(c.after));
    EXPECT_EQ(bar.scales, 0);
    EXPECT_EQ(bar.clears, c.redrawn ? 1 : 0);
    ASSERT_EQ(bar.lines.size(), c.redrawn ? 256u : 0u);
    if (c.redrawn) {
        EXPECT_EQ(bar.lines.front(), prismel::gradientBarColors(c.after).front());
        EXPECT_EQ(bar.lines.back(), prismel::gradientBarColors(c.after).back());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, PickColorTest,
    testing::Values(
        PickCase{"blue_start_keeps_end", 0, Rgb{0, 0, 255}, {}, {0, 0, 255, 0, 255, 0}, true},
        PickCase{"end_pick_changes_only_end",
                 1,
                 Rgb{0x99, 0x66, 0x33},
                 {},
                 {255, 0, 255, 0x99, 0x66, 0x33},
                 true},
        PickCase{"any_other_index_is_end", 7, Rgb{255, 0, 0}, {}, {255, 0, 255, 255, 0, 0}, true},
        PickCase{"cancel_start", 0, std::nullopt, {}, {}, false},
        PickCase{"cancel_end", 1, std::nullopt, {1, 2, 3, 4, 5, 6}, {1, 2, 3, 4, 5, 6}, false},
        PickCase{"same_colour_still_redraws", 0, Rgb{255, 0, 255}, {}, {}, true}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(PickColorTest, BluePickRedrawsBarFromBlueToGreen)
{
    ScriptedDialog dialog(Rgb{0, 0, 255});
    CountingBar bar;
    prismel::Gradient colors;
    prismel::PickColor(0, dialog, colors, bar);
    ASSERT_EQ(bar.lines.size(), 256u);
    EXPECT_EQ(bar.lines.front(), (Rgb{0, 0, 255}));
    EXPECT_EQ(bar.lines[128], (Rgb{0, 128, 127}));
    EXPECT_EQ(bar.lines.back(), (Rgb{0, 255, 0}));
}

// The middle stops and the mixing stay; only the first or the last stop changes colour.
TEST(PickColorTest, ManyStopsChangeOnlyTheEnds)
{
    const prismel::Gradient rainbow = prismel::builtinGradients().front().gradient;
    for (const int index : {0, 1}) {
        ScriptedDialog dialog(Rgb{0x56, 0x34, 0x12});
        CountingBar bar;
        prismel::Gradient picked = rainbow;
        ASSERT_TRUE(prismel::PickColor(index, dialog, picked, bar));
        prismel::Gradient expected = rainbow;
        (index == 0 ? expected.stops.front() : expected.stops.back()).color = {0x56, 0x34, 0x12};
        EXPECT_EQ(picked, expected);
    }
}

} // namespace
