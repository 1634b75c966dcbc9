#include "records/bufferedfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>

namespace {

std::int64_t modifiedNanoseconds(const struct stat& st) {
    return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

} // namespace

bool BufferedFile::open(const char* path) {
    m_openError = 0;
    m_openMode  = 0;
    if (isOpen() || !path) {
        m_openError = EINVAL;
        return false;
    }
    // Non-blocking, so that opening a FIFO with no writer (or a device) returns at once and
    // fstat can refuse it; a regular file is then read blocking as usual.
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        m_openError = errno;
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        m_openError = errno;
        ::close(fd);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        m_openMode = st.st_mode;
        ::close(fd);
        return false;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        m_openError = errno;
        ::close(fd);
        return false;
    }
    if (!m_buffer) {
        m_buffer.reset(new (std::nothrow) char[BufferSize]);
        if (!m_buffer) {
            m_openError = ENOMEM;
            ::close(fd);
            return false;
        }
    }
    m_fd       = fd;
    m_count    = 0;
    m_position = 0;
    m_size     = st.st_size;
    m_modified = modifiedNanoseconds(st);
    return true;
}

void BufferedFile::close() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd    = -1;
    m_count = m_position = 0;
}

bool BufferedFile::seek(std::int64_t offset) {
    m_count = m_position = 0;
    return isOpen() && offset >= 0 && ::lseek(m_fd, offset, SEEK_SET) == offset;
}

std::size_t BufferedFile::read(char* buffer, std::size_t n) {
    if (!isOpen()) return 0;
    std::size_t done = 0;
    while (done < n) {
        const ssize_t got = ::read(m_fd, buffer + done, n - done);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

std::size_t BufferedFile::readAt(std::int64_t offset, char* buffer, std::size_t n) const {
    if (!isOpen() || offset < 0) return 0;
    std::size_t done = 0;
    while (done < n) {
        const ssize_t got = ::pread(m_fd, buffer + done, n - done, offset + static_cast<off_t>(done));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

std::size_t BufferedFile::refill() {
    m_position = 0;
    m_count    = isOpen() ? read(m_buffer.get(), BufferSize) : 0;
    return m_count;
}

bool BufferedFile::unchanged() const {
    struct stat st;
    return isOpen() && ::fstat(m_fd, &st) == 0 && st.st_size == m_size &&
           modifiedNanoseconds(st) == m_modified;
}
