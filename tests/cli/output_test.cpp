#include "cli/output.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

using prismel::cli::Utf8Output;

// Everything written to a temporary file through a Utf8Output.
class Utf8OutputFile : public testing::Test {
protected:
    void SetUp() override
    {
        m_file = std::tmpfile();
        ASSERT_NE(m_file, nullptr);
    }
    void TearDown() override { std::fclose(m_file); }

    int fd() const { return fileno(m_file); }

    std::string contents() const
    {
        std::string bytes;
        char chunk[4096];
        ssize_t n = 0;
        off_t offset = 0;
        while ((n = ::pread(fd(), chunk, sizeof chunk, offset)) > 0) {
            bytes.append(chunk, static_cast<std::size_t>(n));
            offset += n;
        }
        return bytes;
    }

private:
    std::FILE* m_file = nullptr;
};

TEST_F(Utf8OutputFile, NothingReachesTheFileBeforeFlush)
{
    Utf8Output out(fd());
    out.append(u"[color=#");
    out.append(u"彩");
    EXPECT_EQ(contents(), "");
    EXPECT_TRUE(out.flush());
    EXPECT_EQ(contents(), "[color=#\xE5\xBD\xA9");
}

TEST_F(Utf8OutputFile, ManySmallPiecesPastTheBuffer)
{
    Utf8Output out(fd());
    for (int i = 0; i < 100'000; ++i)
        out.append(u"虹");
    ASSERT_TRUE(out.flush());
    std::string expected;
    for (int i = 0; i < 100'000; ++i)
        expected += "\xE8\x99\xB9";
    EXPECT_EQ(contents(), expected);
}

// One piece longer than the buffer is written in slices; 21845 code units fill a slice, so a pair
// at units 21844 and 21845 straddles the first cut and must not become two replacement marks.
TEST_F(Utf8OutputFile, PairAtASliceBoundaryOfAHugePieceStaysWhole)
{
    const std::u16string piece =
        std::u16string(21844, u'A') + u"\xD83D\xDE00" + std::u16string(70'000, u'B');
    Utf8Output out(fd());
    out.append(u"x");
    out.append(piece);
    ASSERT_TRUE(out.flush());
    EXPECT_EQ(contents(),
              "x" + std::string(21844, 'A') + "\xF0\x9F\x98\x80" + std::string(70'000, 'B'));
}

TEST(Utf8Output, KeepsTheFirstWriteError)
{
    const int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(full, 0);
    Utf8Output out(full);
    out.append(u"A");
    EXPECT_FALSE(out.failed());
    EXPECT_FALSE(out.flush());
    EXPECT_TRUE(out.failed());
    EXPECT_EQ(out.error(), ENOSPC);
    out.append(std::u16string(100'000, u'x'));
    EXPECT_FALSE(out.flush());
    EXPECT_EQ(out.error(), ENOSPC);
    ::close(full);
}

} // namespace
