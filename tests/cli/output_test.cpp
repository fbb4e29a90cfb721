#include "cli/output.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

using prismel::cli::FdSink;

// Everything written to a temporary file through an FdSink.
class FdSinkFile : public testing::Test {
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

TEST_F(FdSinkFile, BlocksArriveInOrderAndAreMeasured)
{
    FdSink sink(fd(), true);
    sink(u8"[color=#");
    sink(u8"彩😀\r\n");
    EXPECT_FALSE(sink.failed());
    EXPECT_EQ(contents(), "[color=#\xE5\xBD\xA9\xF0\x9F\x98\x80\r\n");
    // 8 + 4 characters, 8 + 9 bytes, 8 + 5 units: the emoji is one character of two units.
    EXPECT_EQ(sink.written().chars, 12u);
    EXPECT_EQ(sink.written().bytes, 17u);
    EXPECT_EQ(sink.written().utf16Units, 13u);
}

TEST(FdSink, KeepsTheFirstWriteError)
{
    const int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(full, 0);
    FdSink sink(full, false);
    sink(u8"A");
    EXPECT_TRUE(sink.failed());
    EXPECT_EQ(sink.error(), ENOSPC);
    sink(u8"B");
    EXPECT_EQ(sink.error(), ENOSPC);
    ::close(full);
}

} // namespace
