#include "cli/options.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using prismel::cli::Options;
using prismel::cli::parseArguments;
using prismel::cli::UsageError;

prismel::cli::ParseResult parse(std::vector<const char*> args)
{
    return parseArguments(args);
}

TEST(ParseArguments, ExplicitPiecesWinOverFormatInAnyOrder)
{
    for (const auto& args : {std::vector<const char*>{"--mid", ":", "--format", "html"},
                             std::vector<const char*>{"--format=html", "--mid=:"}}) {
        const auto result = parse(args);
        ASSERT_TRUE(std::holds_alternative<Options>(result));
        const auto& tags = std::get<Options>(result).tags;
        EXPECT_EQ(tags.TagHead, u"<font color=");
        EXPECT_EQ(tags.TagMid, u":");
        EXPECT_EQ(tags.TagClose, u"</font>");
    }
}

TEST(ParseArguments, ValuesMayStartWithADashOrBeEmpty)
{
    const auto result = parse({"--head", "-x", "--close=", "--step", "-3", "in.txt"});
    ASSERT_TRUE(std::holds_alternative<Options>(result));
    const auto& options = std::get<Options>(result);
    EXPECT_EQ(options.tags.TagHead, u"-x");
    EXPECT_EQ(options.tags.TagClose, u"");
    EXPECT_EQ(options.stepText, u"-3");
    EXPECT_EQ(options.file, "in.txt");
}

TEST(ParseArguments, Colours)
{
    const auto result = parse({"--start", "#0a0B0c", "--end=FFfe00"});
    ASSERT_TRUE(std::holds_alternative<Options>(result));
    const auto& c = std::get<Options>(result).colors;
    EXPECT_EQ((prismel::ColorPair{10, 11, 12, 255, 254, 0}), c);
}

TEST(ParseArguments, Errors)
{
    const std::vector<std::vector<const char*>> bad = {
        {"--start", "12345"},
        {"--end", "#GG0000"},
        {"--start", "##00FF00"},
        {"--head"},
        {"--format", "bbcode"},
        {"--colour", "x"},
        {"-x"},
        {"a.txt", "b.txt"},
        {"--head", "\xFF"},
    };
    for (const auto& args : bad)
        EXPECT_TRUE(std::holds_alternative<UsageError>(parse(args))) << args[0];
}

} // namespace
