// Writing a game into a PGN file so that a failure never leaves part of it: an append that
// fails takes the file back to its old size, and a replacement is written under a fresh name
// beside the file and renamed over it only when it is complete and on the disk.
#pragma once

#include <QByteArray>
#include <QString>

#include <sys/types.h>

#include <cstdint>

// The system calls a save goes through. The program uses systemSaveCalls(); tests hand in
// ones that fail the way a full disk or a killed write does.
struct SaveCalls {
    int (*open)(const char* path, int flags, mode_t mode); // for writing
    ssize_t (*write)(int fd, const void* data, std::size_t size);
    int (*fsync)(int fd);
    int (*rename)(const char* from, const char* to);
};
const SaveCalls& systemSaveCalls();

// How a save ended: done, or the system's error number of the step that failed (0 with
// notRegular for a target that is no regular file, with changedOnDisk for a file that is not
// the one indexed any more).
struct SaveOutcome {
    bool done          = false;
    int  error         = 0;
    bool notRegular    = false;
    bool changedOnDisk = false;
    bool opening       = false; // the file could not be opened (or made)
};

// Appends text at the end of path (made when missing). A text that cannot be written whole
// is taken back out: the file is cut back to its old size through its descriptor (a file the
// append made is removed again), so that it holds what it held before.
SaveOutcome appendToFile(const QString& path, const QByteArray& text,
                         const SaveCalls& calls = systemSaveCalls());

// Replaces the bytes [first, last) of path by text: the new file is written whole under a
// fresh name in the same folder, flushed to the disk, and renamed over path, so that a crash
// or a failure at any point leaves either the old file or the new one (and no temporary
// file). With keepBackup the old file stays as path + ".bak". The file must still be the one
// whose size and modification time (nanoseconds) are given: otherwise nothing is written
// (changedOnDisk). On success newFd is an open descriptor of the new file holding an
// exclusive advisory lock, which the caller owns.
struct FileIdentity {
    std::int64_t size     = 0;
    std::int64_t modified = 0; // nanoseconds
    dev_t        device   = 0;
    ino_t        inode    = 0;
};
SaveOutcome replaceInFile(const QString& path, const FileIdentity& expected, std::int64_t first,
                          std::int64_t last, const QByteArray& text, bool keepBackup, int& newFd,
                          const SaveCalls& calls = systemSaveCalls());

// The identity of an open descriptor (false when fstat fails).
bool identityOf(int fd, FileIdentity& identity);

// The system's reason for a failed save, in the program's words: a full disk, no permission,
// a read-only place, or the system's own text for any other error.
QString saveFailureReason(const SaveOutcome& outcome);
