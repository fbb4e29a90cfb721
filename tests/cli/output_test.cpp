#include "cli/output.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <string>
#include <string_view>
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

// Gives `sink` one step per letter of `steps`, as the converter would: 'b' a block of a few
// bytes filled and handed over whole, 'P' a piece passed as it is; returns what they held.
std::string feed(FdSink& sink, std::string_view steps)
{
    constexpr std::size_t capacity = 8;
    auto block = std::make_unique<char8_t[]>(capacity);
    std::string given;
    for (std::size_t k = 0; k < steps.size(); ++k) {
        const std::string bytes = steps[k] + std::to_string(k) + ";";
        given += bytes;
        if (steps[k] == 'P') {
            sink(std::u8string_view(reinterpret_cast<const char8_t*>(bytes.data()), bytes.size()));
            continue;
        }
        std::memcpy(block.get(), bytes.data(), bytes.size());
        block = sink.handOver(std::move(block), bytes.size(), capacity);
        EXPECT_NE(block, nullptr);
    }
    return given;
}

TEST_F(FdSinkFile, BlocksAndLongPiecesArriveInOrder)
{
    for (const std::string_view steps :
         {"b", "P", "bP", "Pbb", "bbb", "bbPbbbPPb", "bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb",
          "bPbPbPbbbbbbbbbbbbbbbbbbbbPbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbPPPbbbbbbbbbbbbbbbb"}) {
        ASSERT_EQ(::ftruncate(fd(), 0), 0);
        ASSERT_EQ(::lseek(fd(), 0, SEEK_SET), 0);
        FdSink sink(fd(), true);
        const std::string given = feed(sink, steps);
        sink.finish();
        EXPECT_FALSE(sink.failed()) << steps;
        EXPECT_EQ(contents(), given) << steps;
        EXPECT_EQ(sink.written().bytes, given.size()) << steps;
    }
}

// Once a write fails, nothing more is written, even when the descriptor could take it.
TEST_F(FdSinkFile, AnErrorKeepsTheFirstErrnoAndDropsTheRest)
{
    const int readOnly = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    ASSERT_GE(readOnly, 0);
    FdSink sink(readOnly, true);
    feed(sink, "bbbP");
    ASSERT_EQ(::dup2(fd(), readOnly), readOnly);
    feed(sink, "bbbbPbb");
    sink.finish();
    EXPECT_EQ(sink.error(), EBADF);
    EXPECT_EQ(contents(), "");
    ::close(readOnly);
}

} // namespace
