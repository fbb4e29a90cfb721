#include "fuzz/fuzzinput.h"
#include "fuzz/invariants.h"
#include "fuzz/parsecheck.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using prismel::fuzzing::decodeFuzzInput;

struct KeptInput {
    std::string name; // test name: the directory's role and the file name
    fs::path path;
};

void PrintTo(const KeptInput& input, std::ostream* os)
{
    *os << input.path.string();
}

const std::vector<std::pair<std::string, fs::path>> keptDirectories{
    {"awkward", PRISMEL_AWKWARD_DIR},
    {"corpus", PRISMEL_CORPUS_DIR},
};

std::string testName(const std::string& text)
{
    std::string name;
    for (const char c : text)
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
}

std::vector<KeptInput> keptInputs()
{
    std::vector<KeptInput> inputs;
    std::set<std::string> names;
    for (const auto& [role, directory] : keptDirectories) {
        std::error_code error;
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(directory, error))
            if (entry.is_regular_file())
                files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        for (const auto& file : files) {
            std::string name = testName(role + "_" + file.filename().string());
            // Names that differ only in punctuation would collide once sanitised.
            while (!names.insert(name).second)
                name += "_";
            inputs.push_back({name, file});
        }
    }
    return inputs;
}

std::vector<std::uint8_t> readBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class ReplayTest : public testing::TestWithParam<KeptInput> {};

TEST_P(ReplayTest, HoldsEveryInvariant)
{
    const fs::path& path = GetParam().path;
    std::ifstream probe(path, std::ios::binary);
    ASSERT_TRUE(probe) << "cannot read " << path;
    const auto bytes = readBytes(path);
    EXPECT_EQ(prismel::fuzzing::checkConversion(decodeFuzzInput(bytes)), "") << path;
}

INSTANTIATE_TEST_SUITE_P(Kept, ReplayTest, testing::ValuesIn(keptInputs()),
                         [](const testing::TestParamInfo<KeptInput>& param) {
                             return param.param.name;
                         });

// The gradient parsers' kept inputs, each a file of its own.
TEST(KeptParserInputs, HoldEveryInvariant)
{
    std::error_code error;
    std::size_t count = 0;
    for (const auto& entry : fs::directory_iterator(PRISMEL_PARSE_CORPUS_DIR, error)) {
        if (!entry.is_regular_file())
            continue;
        ++count;
        EXPECT_EQ(prismel::fuzzing::checkParsers(readBytes(entry.path())), "") << entry.path();
    }
    EXPECT_GT(count, 0U);
}

TEST(KeptInputs, BothDirectoriesHoldFiles)
{
    for (const auto& [role, directory] : keptDirectories) {
        std::error_code error;
        EXPECT_TRUE(fs::is_directory(directory, error)) << directory;
        EXPECT_FALSE(fs::is_empty(directory, error)) << directory;
    }
}

// The byte layout the fuzzer, the generator script and the kept files share.
struct LayoutCase {
    const char* name;
    std::vector<std::uint8_t> bytes;
    prismel::ColorPair colors;
    std::u16string step;
    prismel::TagTemplate tags;
    std::u16string text;
};

void PrintTo(const LayoutCase& c, std::ostream* os)
{
    *os << c.name;
}

class LayoutTest : public testing::TestWithParam<LayoutCase> {};

TEST_P(LayoutTest, DecodesEveryField)
{
    const auto& c = GetParam();
    const auto input = decodeFuzzInput(c.bytes);
    EXPECT_EQ(input.colors, c.colors);
    EXPECT_EQ(input.stepText, c.step);
    EXPECT_EQ(input.tags, c.tags);
    EXPECT_EQ(input.text, c.text);
}

const prismel::ColorPair black{0, 0, 0, 0, 0, 0};

INSTANTIATE_TEST_SUITE_P(
    Layout, LayoutTest,
    testing::Values(
        LayoutCase{"no_bytes_at_all", {}, black, u"", {}, u""},
        LayoutCase{"colours_cut_short_read_as_zero", {1, 2, 3}, {1, 2, 3, 0, 0, 0}, u"", {}, u""},
        LayoutCase{
            "every_field",
            {9, 8, 7, 6, 5, 4, 1, '2', 0, 1, '<', 0, 2, '>', 0, '!', 0, 0, 'A', 0, 0x3D, 0xD8},
            {9, 8, 7, 6, 5, 4},
            u"2",
            {u"<", u">!", u""},
            u"A\xD83D"},
        LayoutCase{"count_past_the_end_keeps_what_is_there",
                   {0, 0, 0, 0, 0, 0, 200, 'x', 0, 'y'},
                   black,
                   u"x",
                   {},
                   u""},
        LayoutCase{"odd_last_byte_dropped",
                   {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFE, 0x41},
                   black,
                   u"",
                   {},
                   u"\xFEFF"}),
    [](const testing::TestParamInfo<LayoutCase>& param) { return std::string(param.param.name); });

} // namespace
