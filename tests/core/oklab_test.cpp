#include "core/oklab.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>

namespace {

using prismel::Oklab;
using prismel::Rgb;

struct LabRow {
    const char* name;
    Rgb srgb;
    Oklab lab;
};

class OklabOf : public testing::TestWithParam<LabRow> {};

TEST_P(OklabOf, MatchesThePublishedCoordinates)
{
    const Oklab got = prismel::oklabOf(GetParam().srgb);
    EXPECT_NEAR(got.l, GetParam().lab.l, 1e-6);
    EXPECT_NEAR(got.a, GetParam().lab.a, 1e-6);
    EXPECT_NEAR(got.b, GetParam().lab.b, 1e-6);
}

// The sRGB primaries and the ends of the grey axis, as OKLab's author and CSS list them.
INSTANTIATE_TEST_SUITE_P(
    Table, OklabOf,
    testing::Values(LabRow{"white", {255, 255, 255}, {1, 0, 0}},
                    LabRow{"black", {0, 0, 0}, {0, 0, 0}},
                    LabRow{"red", {255, 0, 0}, {0.627955, 0.224863, 0.125846}},
                    LabRow{"lime", {0, 255, 0}, {0.866440, -0.233888, 0.179498}},
                    LabRow{"blue", {0, 0, 255}, {0.452014, -0.032457, -0.311528}}),
    [](const auto& row) { return std::string(row.param.name); });

Oklab lch(double l, double c, double degrees)
{
    const double h = degrees * std::numbers::pi / 180;
    return {l, c * std::cos(h), c * std::sin(h)};
}

struct MapRow {
    const char* name;
    Oklab lab;
    std::array<double, 3> srgb;
    double tolerance;
};

class GamutMapped : public testing::TestWithParam<MapRow> {};

TEST_P(GamutMapped, GivesTheNearestColourInside)
{
    const std::array<double, 3> got = prismel::gamutMapped(GetParam().lab);
    for (std::size_t k = 0; k < 3; ++k) {
        EXPECT_NEAR(got.at(k), GetParam().srgb.at(k), GetParam().tolerance) << "channel " << k;
        EXPECT_GE(got.at(k), 0.0);
        EXPECT_LE(got.at(k), 1.0);
    }
}

// Outside the gamut the chroma search stops within 0.0001 of the edge.
INSTANTIATE_TEST_SUITE_P(
    Table, GamutMapped,
    testing::Values(
        // Lightness 0.5 is linear light 0.125, encoded 1.055 * 0.125^(1/2.4) - 0.055.
        MapRow{"grey_inside_is_kept", {0.5, 0, 0}, {0.388573, 0.388573, 0.388573}, 1e-6},
        MapRow{"published_red_comes_back", {0.627955, 0.224863, 0.125846}, {1, 0, 0}, 1e-5},
        MapRow{"lighter_than_white_is_white", {1.2, 0.1, -0.1}, {1, 1, 1}, 0},
        MapRow{"darker_than_black_is_black", {-0.1, 0.1, 0.1}, {0, 0, 0}, 0},
        MapRow{"green_too_vivid_loses_chroma", lch(0.7, 0.3, 140), {0.080549, 0.754001, 0}, 1e-4},
        MapRow{"blue_too_vivid_loses_chroma", lch(0.5, 0.4, 270), {0.205783, 0.146280, 1}, 1e-4}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
