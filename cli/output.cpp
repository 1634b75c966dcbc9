#include "cli/output.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#include "cli/common.h"

void guardStandardStreams() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        // open answers the lowest free number: fd itself.
        const int standIn = open("/dev/null", fd == 2 ? O_WRONLY : O_RDONLY);
        if (standIn != fd && standIn >= 0) close(standIn);
    }
}

bool outputFailed() { return std::ferror(stdout) != 0 || !std::cout; }

int finishOutput(int status) {
    std::cout.flush();
    errno              = 0;
    const bool flushed = std::fflush(stdout) == 0;
    const int  reason  = errno;
    if (flushed && !outputFailed()) return status;
    std::string message = "cannot write to standard output";
    if (!flushed && reason != 0) message += std::string(": ") + std::strerror(reason);
    return fail(message);
}
