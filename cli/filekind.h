// How the command line says why it cannot use a file.
#pragma once

#include <sys/types.h>

#include <string>

class BufferedFile;

// "a directory", "a FIFO (named pipe)", "a character device", "a block device", "a socket",
// "a symbolic link", "a special file"; "a regular file" for one.
std::string fileKindText(mode_t mode);

// "cannot open PATH: " and the reason file's last open failed: the system's (such as "No
// such file or directory" or "Permission denied"), or what the file is when it is not a
// regular file ("it is a directory, not a regular file").
std::string cannotOpenText(const std::string& path, const BufferedFile& file);
