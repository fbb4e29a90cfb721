#include "core/gradientsfile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace {

using prismel::ColorSpace;
using prismel::Gradient;
using prismel::GradientsFileTrouble;
using prismel::GradientStop;
using prismel::HueMethod;
using prismel::Rgb;

namespace fs = std::filesystem;

std::string narrow(std::u16string_view text)
{
    std::string out;
    for (const char16_t c : text)
        out += static_cast<char>(c); // the messages tested here are ASCII
    return out;
}

TEST(GradientsFile, ReadsGoodLines_SkipsComments_AndNamesEachBadLine)
{
    const auto file = prismel::parseGradientsFile("# mine \xff\n"
                                                  "\n"
                                                  "warm: red, gold\r\n"
                                                  "  cool : oklch longer : teal, #00f 40%, navy\n"
                                                  "bad name: red, blue\n"
                                                  "nocolon red blue\n"
                                                  "lab: oklab shorter: red, blue\n"
                                                  "x: hsl: red, blue\n"
                                                  "y: oklch sideways: red, blue\n"
                                                  "z: red\n"
                                                  "w: red, blue \xc0\xaf\n" // an overlong '/'
                                                  "warm: rgb: blue, gold");
    ASSERT_EQ(file.gradients.size(), 2U);
    EXPECT_EQ(file.gradients[0].name, u"cool");
    EXPECT_EQ(file.gradients[0].gradient,
              Gradient({{{0, 128, 128}, {}}, {{0, 0, 255}, 4000}, {{0, 0, 128}, {}}},
                       ColorSpace::Oklch, HueMethod::Longer));
    EXPECT_EQ(file.gradients[1].name, u"warm"); // the later line wins
    EXPECT_EQ(file.gradients[1].gradient.stops.front().color, (Rgb{0, 0, 255}));
    const std::vector<std::size_t> badLines{5, 6, 7, 8, 9, 10, 11};
    std::vector<std::size_t> got;
    for (const auto& fault : file.faults) {
        got.push_back(fault.line);
        EXPECT_FALSE(fault.message.empty());
    }
    EXPECT_EQ(got, badLines);
    EXPECT_EQ(narrow(file.faults.back().message), "not valid UTF-8");
}

// Names given again and again keep the order of their last lines, as one pass over a list of
// (name, line) pairs would give.
TEST(GradientsFile, RepeatedNamesKeepTheirLastLineInItsPlace)
{
    std::mt19937 random(3);
    std::string text;
    std::vector<std::pair<std::string, int>> model;
    for (int line = 0; line < 2000; ++line) {
        const std::string name = "g" + std::to_string(random() % 300);
        std::erase_if(model, [&](const auto& known) { return known.first == name; });
        model.emplace_back(name, line % 256);
        text += name + ": #0000" + "0123456789abcdef"[line % 256 / 16] +
                "0123456789abcdef"[line % 16] + ", red\n";
    }
    const auto file = prismel::parseGradientsFile(text);
    ASSERT_EQ(file.gradients.size(), model.size());
    for (std::size_t i = 0; i < model.size(); ++i) {
        EXPECT_EQ(narrow(file.gradients[i].name), model[i].first);
        EXPECT_EQ(file.gradients[i].gradient.stops[0].color.b, model[i].second);
    }
}

// A written line reads back as the same gradient, for random stops, places, spaces and hues.
TEST(GradientsFile, AWrittenLineReadsBackAsTheSameGradient)
{
    std::mt19937 random(7);
    const auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    for (int round = 0; round < 500; ++round) {
        Gradient gradient;
        gradient.stops.clear();
        const int count = 2 + pick(8);
        for (int i = 0; i < count; ++i) {
            GradientStop stop{{static_cast<std::int16_t>(pick(256)),
                               static_cast<std::int16_t>(pick(256)),
                               static_cast<std::int16_t>(pick(256))},
                              std::nullopt};
            if (pick(3) != 0)
                stop.position = pick(Gradient::wholeWay + 1);
            gradient.stops.push_back(stop);
        }
        gradient.space = static_cast<ColorSpace>(pick(3));
        if (gradient.space == ColorSpace::Oklch)
            gradient.hue = static_cast<HueMethod>(pick(4));
        const auto parsed = prismel::parseGradientLine(prismel::gradientLine(u"g-1_x", gradient));
        ASSERT_TRUE(parsed.value) << round;
        EXPECT_EQ(parsed.value->name, u"g-1_x");
        EXPECT_EQ(parsed.value->gradient, gradient) << round;
    }
}

TEST(GradientsFile, SettingALineReplacesItInPlaceOrAppendsIt_AndKeepsEveryOtherByte)
{
    const Gradient toBlack({{{0, 0, 255}, {}}, {{0, 0, 0}, 5000}});
    const std::string line = "b: rgb: #0000ff, #000000 50%";
    const struct {
        std::string_view before;
        std::string after;
    } cases[] = {
        {"", line + "\n"},
        {"# mine\na: red, blue", "# mine\na: red, blue\n" + line + "\n"},
        {"a: red, blue\r\n b : red, gold\r\nbad\r\nb: x\r\n# b: y\n",
         "a: red, blue\r\n" + line + "\r\nbad\r\n# b: y\n"},
        {"bb: red, blue\nb2: red, blue\n", "bb: red, blue\nb2: red, blue\n" + line + "\n"},
        // Bytes that are not UTF-8 stay as they are, on the line of that name too.
        {"# \xff\xfe\nc: r\xe9\x64\n", "# \xff\xfe\nc: r\xe9\x64\n" + line + "\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(prismel::withGradientLine(c.before, u"b", toBlack), c.after);
    EXPECT_TRUE(prismel::isGradientName(u"Hue-circle_2"));
    for (const std::u16string_view bad : {u"", u"a b", u"彩虹", u"a:b"})
        EXPECT_FALSE(prismel::isGradientName(bad));
}

class GradientsFileOnDisc : public testing::Test {
protected:
    void SetUp() override
    {
        m_folder = fs::temp_directory_path() /
                   ("prismel-gradients-" + std::to_string(::getpid()) + "-" +
                    testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(m_folder);
    }
    void TearDown() override { fs::remove_all(m_folder); }

    std::string write(const std::string& name, const std::string& bytes)
    {
        const fs::path path = m_folder / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    fs::path m_folder;
};

// Whatever stands where the gradients file should be, reading it neither waits nor fails as a
// whole for one line, and says in one warning what is wrong.
TEST_F(GradientsFileOnDisc, EveryKindOfFileIsReadOrToldInOneLine)
{
    const std::string good = "a: red, blue\nb: red, gold\n";
    const fs::path fifo = m_folder / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const fs::path socketPath = m_folder / "socket";
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    socketPath.string().copy(address.sun_path, sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(sock, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    fs::create_symlink("/dev/zero", m_folder / "zero");
    fs::create_symlink("/dev/full", m_folder / "full");
    fs::create_directory(m_folder / "folder");
    fs::create_symlink(m_folder / "loop", m_folder / "loop");
    const std::string large = write("large", "");
    fs::resize_file(large, prismel::maxGradientsFileBytes + 1);

    const struct {
        std::string path;
        GradientsFileTrouble trouble;
        std::size_t gradients;
        std::string warning; // the first, after the path
    } rows[] = {
        {write("good", good), GradientsFileTrouble::None, 2, ""},
        {(m_folder / "missing").string(), GradientsFileTrouble::None, 0, ""},
        {fifo.string(), GradientsFileTrouble::NotRegular, 0, ": not a regular file"},
        {socketPath.string(), GradientsFileTrouble::NotRegular, 0, ": not a regular file"},
        {(m_folder / "zero").string(), GradientsFileTrouble::NotRegular, 0, ": not a regular file"},
        {(m_folder / "full").string(), GradientsFileTrouble::NotRegular, 0, ": not a regular file"},
        {(m_folder / "folder").string(), GradientsFileTrouble::NotRegular, 0,
         ": not a regular file"},
        {(m_folder / "loop").string(), GradientsFileTrouble::Failed, 0,
         ": Too many levels of symbolic links"},
        {large, GradientsFileTrouble::TooLarge, 0, ": larger than 16 MiB"},
        {write("one-bad-byte", "a: red, blue\nb: red, \xff gold\nc: red, lime\n"),
         GradientsFileTrouble::None, 2, ":2: not valid UTF-8"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.path);
        const auto read = prismel::readGradientsFile(row.path);
        EXPECT_EQ(read.trouble, row.trouble);
        EXPECT_EQ(read.file.gradients.size(), row.gradients);
        const auto warnings = prismel::gradientsFileWarnings(row.path, read);
        if (row.warning.empty()) {
            EXPECT_TRUE(warnings.empty());
            continue;
        }
        ASSERT_EQ(warnings.size(), 1U);
        EXPECT_EQ(warnings[0], row.path + row.warning);
    }
    ::close(sock);
}

TEST_F(GradientsFileOnDisc, SavingKeepsTheModeAndEveryOtherByte_AndRefusesWhatIsNoFile)
{
    const Gradient gradient({{{255, 0, 0}, {}}, {{0, 0, 255}, {}}});
    const std::string path = write("gradients", "# \xff\nold: red, blue\n");
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    auto saved = prismel::saveGradientLine(path, u"new", gradient);
    EXPECT_EQ(saved.step, prismel::GradientsFileSave::Step::Saved);
    std::ifstream in(path, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}),
              "# \xff\nold: red, blue\nnew: rgb: #ff0000, #0000ff\n");
    struct stat status {};
    ASSERT_EQ(::stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0444U);

    // Through a link, the file it leads to is saved and the link stays.
    fs::create_symlink(path, m_folder / "link");
    saved = prismel::saveGradientLine(m_folder / "link", u"old", gradient);
    EXPECT_EQ(saved.step, prismel::GradientsFileSave::Step::Saved);
    EXPECT_TRUE(fs::is_symlink(m_folder / "link"));

    fs::create_symlink("/dev/full", m_folder / "full");
    saved = prismel::saveGradientLine(m_folder / "full", u"new", gradient);
    EXPECT_EQ(saved.step, prismel::GradientsFileSave::Step::Reading);
    EXPECT_EQ(saved.trouble, GradientsFileTrouble::NotRegular);
    EXPECT_EQ(std::distance(fs::directory_iterator(m_folder), fs::directory_iterator()), 3);

    // A new file goes into folders made for it.
    saved = prismel::saveGradientLine(m_folder / "a" / "b" / "gradients", u"x", gradient);
    EXPECT_EQ(saved.step, prismel::GradientsFileSave::Step::Saved);
    EXPECT_EQ(prismel::readGradientsFile(m_folder / "a" / "b" / "gradients").file.gradients.size(),
              1U);
}

} // namespace
