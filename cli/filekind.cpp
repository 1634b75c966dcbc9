#include "cli/filekind.h"

#include <sys/stat.h>

#include <cstring>

#include "records/bufferedfile.h"

std::string fileKindText(mode_t mode) {
    if (S_ISREG(mode)) return "a regular file";
    if (S_ISDIR(mode)) return "a directory";
    if (S_ISFIFO(mode)) return "a FIFO (named pipe)";
    if (S_ISCHR(mode)) return "a character device";
    if (S_ISBLK(mode)) return "a block device";
    if (S_ISSOCK(mode)) return "a socket";
    if (S_ISLNK(mode)) return "a symbolic link";
    return "a special file";
}

std::string cannotOpenText(const std::string& path, const BufferedFile& file) {
    const std::string reason =
        file.openError() != 0 ? std::strerror(file.openError())
                              : "it is " + fileKindText(file.openMode()) + ", not a regular file";
    return "cannot open " + path + ": " + reason;
}
