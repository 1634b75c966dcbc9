#include "cli/bookoutput.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "book/bookbuild.h"
#include "cli/filekind.h"

namespace {

// More than any book holds (65551 records of 16 bytes): a larger file is not read at all.
constexpr off_t LargestBook = 2 << 20;

std::string systemReason(int error) { return std::strerror(error); }

// Whether the regular file at path, the one statted as expected, holds a book.
bool readsAsBook(const std::string& path, const struct stat& expected, std::string& error) {
    // Never through a symbolic link put there since, and never waiting on a FIFO.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = "cannot read " + path + " to check that it is a book: " + systemReason(errno);
        return false;
    }
    struct stat opened {};
    std::string bytes;
    bool        read = ::fstat(fd, &opened) == 0 && opened.st_dev == expected.st_dev &&
                opened.st_ino == expected.st_ino && S_ISREG(opened.st_mode);
    if (read && opened.st_size <= LargestBook) {
        bytes.resize(static_cast<std::size_t>(opened.st_size) + 1); // one more: a file that grew
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t got = ::read(fd, bytes.data() + done, bytes.size() - done);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) read = false;
            if (got <= 0) break;
            done += static_cast<std::size_t>(got);
        }
        bytes.resize(done);
    }
    ::close(fd);
    if (!read) {
        error = path + " changed or could not be read while it was checked; it is left as it was";
        return false;
    }
    if (opened.st_size > LargestBook ||
        !holdsBook(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size())) {
        error = path + " exists and is not a book file; it is left as it was (remove it, or "
                       "name another file, to write a book)";
        return false;
    }
    return true;
}

} // namespace

bool mayReplaceWithBook(const std::string& out, const std::vector<std::string>& inputs,
                        std::string& error) {
    struct stat target {};
    if (::lstat(out.c_str(), &target) != 0) {
        if (errno == ENOENT) return true;
        error = "cannot check " + out + ": " + systemReason(errno);
        return false;
    }
    if (!S_ISREG(target.st_mode)) {
        error =
            out + " is " + fileKindText(target.st_mode) + ", not a book file; it is left as it was";
        return false;
    }
    for (const std::string& input : inputs) {
        struct stat in {};
        if (::stat(input.c_str(), &in) == 0 && in.st_dev == target.st_dev &&
            in.st_ino == target.st_ino) {
            error = out + " is the input " + input + "; it is left as it was";
            return false;
        }
    }
    return readsAsBook(out, target, error);
}
