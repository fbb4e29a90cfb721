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
using Regular = InputBytes::Regular;

// A file of the test's own holding `bytes`, open for reading, removed at the end.
struct ScratchFile {
    explicit ScratchFile(const std::string& bytes) : path("/tmp/prismel-input-XXXXXX")
    {
        const int writer = ::mkstemp(path.data());
        EXPECT_EQ(::write(writer, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
        ::close(writer);
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    }
    ~ScratchFile()
    {
        ::close(fd);
        ::unlink(path.c_str());
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    std::string path;
    int fd = -1;
};

// /dev/zero never ends, as an endless pipe does not: it is refused at the limit instead of
// growing until the memory runs out.
struct LimitCase {
    const char* name;
    std::size_t fileBytes; // 0: /dev/zero
    Regular regular;
    std::size_t limit;
    int result;
};

class ReadLimit : public testing::TestWithParam<LimitCase> {};

TEST_P(ReadLimit, CopiesAtMostTheLimit)
{
    const auto& c = GetParam();
    const ScratchFile file(std::string(c.fileBytes, 'x'));
    const int fd = c.fileBytes > 0 ? file.fd : ::open("/dev/zero", O_RDONLY | O_CLOEXEC);
    InputBytes input;
    EXPECT_EQ(input.readAll(fd, c.regular, c.limit), c.result);
    if (c.result == 0) {
        EXPECT_EQ(input.bytes(), std::string(c.fileBytes, 'x'));
    }
    if (fd != file.fd)
        ::close(fd);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, ReadLimit,
    testing::Values(LimitCase{"copy_exactly_the_limit", 5000, Regular::Copy, 5000, 0},
                    LimitCase{"copy_one_byte_past", 5001, Regular::Copy, 5000, EFBIG},
                    // A mapped file takes pages of the page cache, none of the program's own.
                    LimitCase{"map_past_the_limit", 5001, Regular::Map, 5000, 0},
                    LimitCase{"endless_past_a_limit_of_megabytes", 0, Regular::Map, 3 << 20,
                              EFBIG}),
    [](const auto& row) { return std::string(row.param.name); });

// A rewrite of the same size at another time, as when the clock has moved on, or a longer file.
struct ChangeCase {
    const char* name;
    Regular regular;
    bool rewrite;
    bool append;
};

class ChangedSinceRead : public testing::TestWithParam<ChangeCase> {};

TEST_P(ChangedSinceRead, SeesWritesToTheFile)
{
    const auto& c = GetParam();
    const ScratchFile file("ABCDEFGH");
    InputBytes input;
    ASSERT_EQ(input.readAll(file.fd, c.regular), 0);
    const int writer = ::open(file.path.c_str(), O_WRONLY | O_CLOEXEC);
    struct stat info {};
    ::fstat(writer, &info);
    const timespec later[2] = {info.st_atim, {info.st_mtim.tv_sec + 1, info.st_mtim.tv_nsec}};
    if (c.rewrite && (::pwrite(writer, "abcd", 4, 0) != 4 || ::futimens(writer, later) != 0))
        ADD_FAILURE() << "cannot rewrite";
    if (c.append && ::pwrite(writer, "I", 1, 8) != 1)
        ADD_FAILURE() << "cannot append";
    ::close(writer);
    EXPECT_EQ(input.changedSinceRead(file.fd), c.rewrite || c.append);
    if (c.regular == Regular::Copy) {
        EXPECT_EQ(input.bytes(), "ABCDEFGH"); // a copy keeps what was read
    }
}

INSTANTIATE_TEST_SUITE_P(Files, ChangedSinceRead,
                         testing::Values(ChangeCase{"mapped_untouched", Regular::Map, false, false},
                                         ChangeCase{"mapped_appended", Regular::Map, false, true},
                                         ChangeCase{"mapped_rewritten", Regular::Map, true, false},
                                         ChangeCase{"copied_rewritten", Regular::Copy, true,
                                                    false}),
                         [](const auto& row) { return std::string(row.param.name); });

// The fingerprint compares a mapped file's bytes before and after the conversion; the rows are
// changes at each place of the words and blocks it sums.
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

const std::string text40 = "0123456789abcdefghijklmnopqrstuvwxyzABCD";

INSTANTIATE_TEST_SUITE_P(
    Rewrites, Fingerprint,
    testing::Values(FingerprintCase{"first_byte", text40, "!" + text40.substr(1)},
                    FingerprintCase{"in_the_word_after_the_blocks", text40,
                                    text40.substr(0, 33) + "!" + text40.substr(34)},
                    FingerprintCase{"blocks_swapped", text40,
                                    text40.substr(16, 16) + text40.substr(0, 16) +
                                        text40.substr(32)},
                    FingerprintCase{"bytes_swapped_at_the_end", "abc", "acb"},
                    FingerprintCase{"zero_byte_added_at_the_end", "ab", std::string("ab\0", 3)}),
    [](const auto& row) { return std::string(row.param.name); });

// A SIGBUS is taken for a shortened input only where the input's pages are; elsewhere, or sent by
// kill(), it is a fault of its own, and the program dies of it.
enum class Fault { InInput, InOtherFile, Sent };

class LostPages : public testing::TestWithParam<Fault> {};

TEST_P(LostPages, AreTheInputsOnly)
{
    const std::string twoPages(2 * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE)), 'x');
    const ScratchFile file(twoPages);
    const ScratchFile other(twoPages);
    const auto fault = [&] {
        InputBytes input;
        if (input.readAll(file.fd) != 0)
            std::exit(1);
        prismel::cli::exitWhenPagesAreLost(input, "prismel-convert: 'f': changed");
        const char* bytes = input.bytes().data();
        const char* cut = bytes;
        if (GetParam() == Fault::InOtherFile)
            cut = static_cast<const char*>(
                ::mmap(nullptr, twoPages.size(), PROT_READ, MAP_PRIVATE, other.fd, 0));
        if (GetParam() == Fault::Sent)
            ::kill(::getpid(), SIGBUS);
        else if (::truncate((cut == bytes ? file : other).path.c_str(), 0) == 0)
            std::exit(static_cast<const volatile char*>(cut)[twoPages.size() - 1]);
        std::exit(0);
    };
    if (GetParam() == Fault::InInput)
        EXPECT_EXIT(fault(), testing::ExitedWithCode(74), "^prismel-convert: 'f': changed\n$");
    else
        EXPECT_EXIT(fault(), testing::KilledBySignal(SIGBUS), "");
}

std::string faultName(const testing::TestParamInfo<Fault>& row)
{
    constexpr const char* names[] = {"in_the_input", "in_another_file", "sent_by_kill"};
    return names[static_cast<int>(row.param)];
}

INSTANTIATE_TEST_SUITE_P(Faults, LostPages,
                         testing::Values(Fault::InInput, Fault::InOtherFile, Fault::Sent),
                         faultName);

} // namespace
