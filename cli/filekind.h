// How the command line names a file that is not a regular file, in its messages.
#pragma once

#include <sys/types.h>

#include <string>

// "a directory", "a FIFO (named pipe)", "a character device", "a block device", "a socket",
// "a symbolic link"; "a regular file" for one.
std::string fileKindText(mode_t mode);
