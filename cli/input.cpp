#include "input.h"

#include <algorithm>
#include <cerrno>
#include <new>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace prismel::cli {

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

int InputBytes::readAll(int fd)
{
    struct stat info {};
    const bool sized = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0;
    if (sized) {
        // A regular file is mapped as it lies in the page cache: no copy, and no fresh pages
        // for the kernel to clear, which cost as much as checking the text. Populated at once,
        // so that its pages arrive in one go instead of one fault each.
        const auto size = static_cast<std::size_t>(info.st_size);
        void* data = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
        if (data != MAP_FAILED) {
            m_data = static_cast<char*>(data);
            m_size = m_capacity = size;
            return 0;
        }
        // Some files cannot be mapped (and an address-space limit refuses a large map as it
        // refuses the block); they are read as a pipe is.
    }
    // One byte past a regular file's size, so that its end is seen without growing the block.
    reserve(sized ? static_cast<std::size_t>(info.st_size) + 1 : std::size_t{1} << 20);
    for (;;) {
        if (m_size == m_capacity)
            reserve(m_capacity * 2);
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

} // namespace prismel::cli
