#include "input.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <new>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sysexits.h>
#include <unistd.h>
#include <utility>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace prismel::cli {

std::size_t availableMemory()
{
    constexpr std::size_t unbounded = std::numeric_limits<std::size_t>::max();
    if (std::FILE* info = std::fopen("/proc/meminfo", "re")) {
        constexpr std::string_view key = "MemAvailable:";
        char line[256];
        std::size_t kib = 0;
        bool found = false;
        while (!found && std::fgets(line, sizeof line, info)) {
            std::string_view text(line);
            if (!text.starts_with(key))
                continue;
            text.remove_prefix(key.size());
            text.remove_prefix(std::min(text.find_first_not_of(' '), text.size()));
            found = std::from_chars(text.data(), text.data() + text.size(), kib).ec == std::errc{};
        }
        std::fclose(info);
        if (found)
            return kib > unbounded / 1024 ? unbounded : kib * 1024;
    }
    const long pages = ::sysconf(_SC_AVPHYS_PAGES);
    const long page = ::sysconf(_SC_PAGESIZE);
    if (pages > 0 && page > 0)
        return static_cast<std::size_t>(pages) * static_cast<std::size_t>(page);
    return unbounded;
}

InputBytes::~InputBytes()
{
    if (m_data)
        ::munmap(m_data, m_capacity);
}

void InputBytes::reserve(std::size_t capacity)
{
    const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    capacity = (capacity + page - 1) / page * page;
    void* data = m_data ? ::mremap(m_data, m_capacity, capacity, MREMAP_MAYMOVE)
                        : ::mmap(nullptr, capacity, PROT_READ | PROT_WRITE,
                                 MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (data == MAP_FAILED)
        throw std::bad_alloc();
    m_data = static_cast<char*>(data);
    m_capacity = capacity;
}

int InputBytes::readAll(int fd, Regular regular, std::size_t limit)
{
    struct stat info {};
    m_regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    m_fileSize = info.st_size;
    m_modified = info.st_mtim;
    const bool sized = m_regular && info.st_size > 0;
    if (sized && regular == Regular::Map) {
        // A regular file is mapped as it lies in the page cache: no copy, and no fresh pages
        // for the kernel to clear, which cost as much as checking the text. Populated at once,
        // so that its pages arrive in one go instead of one fault each.
        const auto size = static_cast<std::size_t>(info.st_size);
        void* data = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
        if (data != MAP_FAILED) {
            m_data = static_cast<char*>(data);
            m_size = m_capacity = size;
            m_mapped = true;
            return 0;
        }
        // Some files cannot be mapped (and an address-space limit refuses a large map as it
        // refuses the block); they are read as a pipe is.
    }
    // The block never grows past one byte more than `limit`: that byte tells that there is more.
    const std::size_t most = limit < std::numeric_limits<std::size_t>::max() ? limit + 1 : limit;
    // One byte past a regular file's size, so that its end is seen without growing the block.
    reserve(
        std::min(sized ? static_cast<std::size_t>(info.st_size) + 1 : std::size_t{1} << 20, most));
    for (;;) {
        if (m_size > limit)
            return EFBIG;
        if (m_size == m_capacity)
            reserve(std::min(m_capacity * 2, most));
        const ssize_t n = ::read(fd, m_data + m_size, m_capacity - m_size);
        if (n == 0)
            return 0;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        m_size += static_cast<std::size_t>(n);
    }
}

bool InputBytes::changedSinceRead(int fd) const
{
    struct stat info {};
    if (!m_regular || ::fstat(fd, &info) != 0)
        return false;
    return info.st_size != m_fileSize || info.st_mtim.tv_sec != m_modified.tv_sec ||
           info.st_mtim.tv_nsec != m_modified.tv_nsec;
}

std::uint64_t fingerprintOf(std::string_view bytes)
{
    // Fletcher's two sums over words of eight bytes: the second adds up the first after every
    // word, so that each word counts by its place as well as by its value.
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t size = bytes.size();
    std::size_t i = 0;
    std::uint64_t sums[4] = {}; // two lanes of each sum
#ifdef __SSE2__
    __m128i sum = _mm_setzero_si128();
    __m128i placed = _mm_setzero_si128();
    for (; size - i >= 16; i += 16) {
        sum = _mm_add_epi64(sum, _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i)));
        placed = _mm_add_epi64(placed, sum);
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(sums), sum);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(sums + 2), placed);
#endif
    for (; size - i >= 8; i += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, data + i, sizeof word);
        sums[0] += word;
        sums[2] += sums[0];
    }
    // The last bytes, with the count of them, so that trailing zeros still show.
    std::uint64_t last = size - i;
    for (; i < size; ++i)
        last = (last << 8) | data[i];
    sums[1] += last;
    sums[3] += sums[1];
    return sums[0] ^ std::rotl(sums[1], 17) ^ std::rotl(sums[2], 31) ^ std::rotl(sums[3], 47);
}

namespace {

// What the SIGBUS handler reads; set before it is installed and never after.
std::uintptr_t lostPagesBegin = 0;
std::uintptr_t lostPagesEnd = 0;
std::string lostPagesMessage;

// Only async-signal-safe calls here.
extern "C" void onBusError(int signal, siginfo_t* info, void*)
{
    // A fault of the hardware has a positive code; one sent by kill() or raise() has not, and its
    // address means nothing.
    const auto address = reinterpret_cast<std::uintptr_t>(info->si_addr);
    if (info->si_code > 0 && address >= lostPagesBegin && address < lostPagesEnd) {
        [[maybe_unused]] const ssize_t written =
            ::write(STDERR_FILENO, lostPagesMessage.data(), lostPagesMessage.size());
        ::_exit(EX_IOERR);
    }
    // Blocked until the handler returns, then the default action: the program dies of it.
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

} // namespace

void exitWhenPagesAreLost(const InputBytes& input, std::string message)
{
    if (!input.mapped())
        return;
    const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    lostPagesBegin = reinterpret_cast<std::uintptr_t>(input.bytes().data());
    lostPagesEnd = (lostPagesBegin + input.bytes().size() + page - 1) / page * page;
    lostPagesMessage = std::move(message) + '\n';
    struct sigaction action {};
    action.sa_sigaction = onBusError;
    action.sa_flags = SA_SIGINFO;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGBUS, &action, nullptr);
}

} // namespace prismel::cli
