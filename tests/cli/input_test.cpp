#include "cli/input.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using prismel::cli::InputBytes;

// A file of the test's own, open for reading, removed at the end.
class ScratchFile {
public:
    explicit ScratchFile(const std::string& bytes)
    {
        char name[] = "/tmp/prismel-input-XXXXXX";
        const int writer = ::mkstemp(name);
        m_path = name;
        EXPECT_EQ(::write(writer, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
        ::close(writer);
        m_fd = ::open(name, O_RDONLY | O_CLOEXEC);
    }
    ~ScratchFile()
    {
        ::close(m_fd);
        ::unlink(m_path.c_str());
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    int fd() const { return m_fd; }
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
    int m_fd = -1;
};

struct LimitCase {
    const char* name;
    std::size_t fileBytes;
    InputBytes::Regular regular;
    std::size_t limit;
    int result;
};

class ReadLimit : public testing::TestWithParam<LimitCase> {};

TEST_P(ReadLimit, CopiesAtMostTheLimit)
{
    const auto& c = GetParam();
    const ScratchFile file(std::string(c.fileBytes, 'x'));
    InputBytes input;
    EXPECT_EQ(input.readAll(file.fd(), c.regular, c.limit), c.result);
    if (c.result == 0) {
        EXPECT_EQ(input.bytes(), std::string(c.fileBytes, 'x'));
        EXPECT_EQ(input.mapped(), c.regular == InputBytes::Regular::Map && c.fileBytes > 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, ReadLimit,
    testing::Values(LimitCase{"copy_exactly_the_limit", 5000, InputBytes::Regular::Copy, 5000, 0},
                    LimitCase{"copy_one_byte_past", 5001, InputBytes::Regular::Copy, 5000, EFBIG},
                    LimitCase{"copy_empty_with_no_room", 0, InputBytes::Regular::Copy, 0, 0},
                    LimitCase{"copy_past_a_page_limit", 9000, InputBytes::Regular::Copy, 4096,
                              EFBIG},
                    // A mapped file takes pages of the page cache, none of the program's own.
                    LimitCase{"map_past_the_limit", 5001, InputBytes::Regular::Map, 5000, 0},
                    LimitCase{"empty_file_is_read", 0, InputBytes::Regular::Map, 5000, 0}),
    [](const auto& row) { return std::string(row.param.name); });

// /dev/zero never ends, as an endless pipe does not: it is refused at the limit instead of
// growing until the memory runs out.
TEST(ReadAll, EndlessInputStopsAtTheLimit)
{
    const int zero = ::open("/dev/zero", O_RDONLY | O_CLOEXEC);
    ASSERT_GE(zero, 0);
    InputBytes input;
    EXPECT_EQ(input.readAll(zero, InputBytes::Regular::Map, std::size_t{3} << 20), EFBIG);
    EXPECT_LE(input.bytes().size(), (std::size_t{3} << 20) + 1 + (std::size_t{1} << 20));
    ::close(zero);
}

struct ChangeCase {
    const char* name;
    InputBytes::Regular regular;
    void (*change)(const ScratchFile&);
    bool changed;
};

class ChangedSinceRead : public testing::TestWithParam<ChangeCase> {};

TEST_P(ChangedSinceRead, SeesWritesToTheFile)
{
    const auto& c = GetParam();
    const ScratchFile file("ABCDEFGH");
    InputBytes input;
    ASSERT_EQ(input.readAll(file.fd(), c.regular), 0);
    c.change(file);
    EXPECT_EQ(input.changedSinceRead(file.fd()), c.changed);
    // A copy keeps what was read.
    if (c.regular == InputBytes::Regular::Copy) {
        EXPECT_EQ(input.bytes(), "ABCDEFGH");
    }
}

void untouched(const ScratchFile&) {}

void appended(const ScratchFile& file)
{
    const int writer = ::open(file.path().c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    EXPECT_EQ(::write(writer, "I", 1), 1);
    ::close(writer);
}

// A rewrite of the same size; the time is set apart from the first, as it is when the clock has
// moved on between the two.
void rewritten(const ScratchFile& file)
{
    const int writer = ::open(file.path().c_str(), O_WRONLY | O_CLOEXEC);
    EXPECT_EQ(::pwrite(writer, "abcd", 4, 0), 4);
    struct stat info {};
    ::fstat(writer, &info);
    const timespec times[2] = {info.st_atim, {info.st_mtim.tv_sec + 1, info.st_mtim.tv_nsec}};
    ::futimens(writer, times);
    ::close(writer);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ChangedSinceRead,
    testing::Values(ChangeCase{"mapped_untouched", InputBytes::Regular::Map, untouched, false},
                    ChangeCase{"mapped_appended", InputBytes::Regular::Map, appended, true},
                    ChangeCase{"mapped_rewritten", InputBytes::Regular::Map, rewritten, true},
                    ChangeCase{"copied_untouched", InputBytes::Regular::Copy, untouched, false},
                    ChangeCase{"copied_rewritten", InputBytes::Regular::Copy, rewritten, true}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(ChangedSinceRead, PipeNeverChanges)
{
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    ::close(ends[1]);
    InputBytes input;
    ASSERT_EQ(input.readAll(ends[0]), 0);
    EXPECT_FALSE(input.changedSinceRead(ends[0]));
    ::close(ends[0]);
}

// The fingerprint compares a mapped file's bytes before and after the conversion; the rows are
// changes a rewrite makes, at each place of the words and blocks it sums.
struct FingerprintCase {
    const char* name;
    std::string before;
    std::string after;
};

class Fingerprint : public testing::TestWithParam<FingerprintCase> {};

TEST_P(Fingerprint, ShowsTheChange)
{
    const auto& c = GetParam();
    EXPECT_EQ(prismel::cli::fingerprintOf(c.before), prismel::cli::fingerprintOf(c.before));
    EXPECT_NE(prismel::cli::fingerprintOf(c.before), prismel::cli::fingerprintOf(c.after));
}

std::string withByte(std::string text, std::size_t at, char byte)
{
    text[at] = byte;
    return text;
}

const std::string text40 = "0123456789abcdefghijklmnopqrstuvwxyzABCD";

INSTANTIATE_TEST_SUITE_P(
    Rewrites, Fingerprint,
    testing::Values(
        FingerprintCase{"first_byte", text40, withByte(text40, 0, '!')},
        FingerprintCase{"in_the_second_word", text40, withByte(text40, 9, '!')},
        FingerprintCase{"in_the_word_after_the_blocks", text40, withByte(text40, 33, '!')},
        FingerprintCase{"last_byte", text40, withByte(text40, 39, '!')},
        FingerprintCase{"blocks_swapped", text40,
                        text40.substr(16, 16) + text40.substr(0, 16) + text40.substr(32)},
        FingerprintCase{"words_swapped_in_the_tail", std::string(16, 'z') + "AAAAAAAABBBBBBBB",
                        std::string(16, 'z') + "BBBBBBBBAAAAAAAA"},
        FingerprintCase{"bytes_swapped_at_the_end", "abc", "acb"},
        FingerprintCase{"zero_byte_added_at_the_end", std::string("ab"), std::string("ab\0", 3)},
        FingerprintCase{"emoji_for_ascii", "\xF0\x9F\x98\x80\xF0\x9F\x98\x80", "AAAAAAAA"}),
    [](const auto& row) { return std::string(row.param.name); });

// A SIGBUS is taken for a shortened input only where the input's pages are; elsewhere it is a
// fault of its own, and the program dies of it.
class LostPages : public testing::Test {
protected:
    LostPages() : m_page(static_cast<std::size_t>(::sysconf(_SC_PAGESIZE))) {}

    // Reads a byte of the second page of `file` mapped, after the file was cut to nothing.
    static char touchCut(const ScratchFile& file, const char* bytes)
    {
        EXPECT_EQ(::truncate(file.path().c_str(), 0), 0);
        return static_cast<const volatile char*>(bytes)[5000];
    }

    std::size_t m_page;
};

TEST_F(LostPages, InTheInputEndTheProgramWithItsMessage)
{
    const ScratchFile file(std::string(2 * m_page, 'x'));
    EXPECT_EXIT(
        {
            InputBytes input;
            if (input.readAll(file.fd()) == 0) {
                prismel::cli::exitWhenPagesAreLost(input, "prismel-convert: 'f': changed");
                touchCut(file, input.bytes().data());
            }
            std::exit(0);
        },
        testing::ExitedWithCode(74), "^prismel-convert: 'f': changed\n$");
}

TEST_F(LostPages, ElsewhereKeepTheirDefaultAction)
{
    const ScratchFile input(std::string(2 * m_page, 'x'));
    const ScratchFile other(std::string(2 * m_page, 'y'));
    EXPECT_EXIT(
        {
            InputBytes bytes;
            if (bytes.readAll(input.fd()) == 0) {
                prismel::cli::exitWhenPagesAreLost(bytes, "prismel-convert: 'f': changed");
                void* mapped = ::mmap(nullptr, 2 * m_page, PROT_READ, MAP_PRIVATE, other.fd(), 0);
                touchCut(other, static_cast<const char*>(mapped));
            }
            std::exit(0);
        },
        testing::KilledBySignal(SIGBUS), "");
}

TEST_F(LostPages, SentByAnotherProcessKeepTheirDefaultAction)
{
    const ScratchFile file(std::string(2 * m_page, 'x'));
    EXPECT_EXIT(
        {
            InputBytes input;
            if (input.readAll(file.fd()) == 0) {
                prismel::cli::exitWhenPagesAreLost(input, "prismel-convert: 'f': changed");
                ::kill(::getpid(), SIGBUS);
            }
            std::exit(0);
        },
        testing::KilledBySignal(SIGBUS), "");
}

} // namespace
