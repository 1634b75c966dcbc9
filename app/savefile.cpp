#include "app/savefile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace {

int openFile(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }

constexpr SaveCalls systemCalls = {openFile, ::write, ::fsync, ::rename};

std::int64_t modifiedNanoseconds(const struct stat& st) {
    return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

// Writes all of data, going on after a short write; the error number of the write that
// failed, or 0.
int writeAll(int fd, const char* data, std::size_t size, const SaveCalls& calls) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = calls.write(fd, data + done, size - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return EIO; // a write that makes no progress would loop for ever
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

// Reads the whole of fd (size bytes) into bytes; false on a read error or a short file.
bool readAll(int fd, std::int64_t size, QByteArray& bytes) {
    bytes.resize(static_cast<qsizetype>(size));
    std::int64_t done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd, bytes.data() + done, static_cast<std::size_t>(size - done), done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += n;
    }
    return true;
}

// The folder's own entry is flushed, so that a rename in it survives a crash.
void syncFolder(const QByteArray& folder) {
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

SaveOutcome failed(int error) {
    SaveOutcome outcome;
    outcome.error = error;
    return outcome;
}

// A temporary file beside a file: made, written, flushed; removed again unless kept.
class TemporaryFile {
public:
    // A fresh name ".FILE.xxxxxxxx" in the folder of beside, made and opened for writing.
    TemporaryFile(const QByteArray& beside, const SaveCalls& calls) {
        const QFileInfo  info(QFile::decodeName(beside));
        const QByteArray stem = QFile::encodeName(info.absolutePath()) + "/." +
                                QFile::encodeName(info.fileName()) + ".";
        for (int attempt = 0; attempt < 100; ++attempt) {
            m_name = stem + QByteArray::number(QRandomGenerator::global()->generate(), 16);
            m_fd   = calls.open(m_name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            if (m_fd >= 0 || errno != EEXIST) break;
        }
        m_error = m_fd < 0 ? errno : 0;
        if (m_fd < 0) m_kept = true; // no file of this name was made
    }
    ~TemporaryFile() {
        if (m_fd >= 0) ::close(m_fd);
        if (!m_kept) ::unlink(m_name.constData());
    }
    TemporaryFile(const TemporaryFile&)            = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    int               fd() const { return m_fd; }
    int               error() const { return m_error; }
    const QByteArray& name() const { return m_name; }
    // The name now belongs to another file (renamed away) or is to stay: it is not removed.
    void keep() { m_kept = true; }
    // Hands the descriptor over to the caller.
    int release() { return std::exchange(m_fd, -1); }

private:
    QByteArray m_name;
    int        m_fd    = -1;
    int        m_error = 0;
    bool       m_kept  = false;
};

} // namespace

const SaveCalls& systemSaveCalls() { return systemCalls; }

bool identityOf(int fd, FileIdentity& identity) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return false;
    identity.size     = st.st_size;
    identity.modified = modifiedNanoseconds(st);
    identity.device   = st.st_dev;
    identity.inode    = st.st_ino;
    return true;
}

SaveOutcome appendToFile(const QString& path, const QByteArray& text, const SaveCalls& calls) {
    const QByteArray name = QFile::encodeName(path);
    SaveOutcome      outcome;
    // Only a regular file takes a game: a FIFO would wait for a reader without end, and a
    // device or a folder is no game file.
    struct stat st {};
    if (::stat(name.constData(), &st) == 0 && !S_ISREG(st.st_mode)) {
        outcome.notRegular = true;
        return outcome;
    }
    bool made = false;
    int  fd   = calls.open(name.constData(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NONBLOCK, 0);
    if (fd < 0 && errno == ENOENT) {
        fd   = calls.open(name.constData(), O_WRONLY | O_APPEND | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        made = fd >= 0;
    }
    if (fd < 0) {
        outcome.error   = errno;
        outcome.opening = true;
        return outcome;
    }
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) { // replaced since the check
        ::close(fd);
        outcome.notRegular = true;
        return outcome;
    }
    const off_t before = st.st_size;
    int         error  = writeAll(fd, text.constData(), static_cast<std::size_t>(text.size()), calls);
    if (error == 0 && calls.fsync(fd) != 0) error = errno;
    if (error != 0) {
        // No half game stays behind. The descriptor is cut directly: nothing is buffered
        // that would have to be written first (which fails again on a full disk).
        if (made) {
            ::unlink(name.constData());
        } else {
            while (::ftruncate(fd, before) != 0 && errno == EINTR) {
            }
            ::fsync(fd);
        }
        ::close(fd);
        return failed(error);
    }
    if (::close(fd) != 0 && errno != EINTR) return failed(errno);
    outcome.done = true;
    return outcome;
}

SaveOutcome replaceInFile(const QString& path, const FileIdentity& expected, std::int64_t first,
                          std::int64_t last, const QByteArray& text, bool keepBackup, int& newFd,
                          const SaveCalls& calls) {
    newFd                 = -1;
    const QByteArray name = QFile::encodeName(path);
    SaveOutcome      outcome;
    const int        oldFd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (oldFd < 0) {
        outcome.error   = errno;
        outcome.opening = true;
        return outcome;
    }
    struct stat st {};
    QByteArray  old;
    const bool  same = ::fstat(oldFd, &st) == 0 && S_ISREG(st.st_mode) &&
                      st.st_dev == expected.device && st.st_ino == expected.inode &&
                      st.st_size == expected.size && modifiedNanoseconds(st) == expected.modified;
    const bool read = same && readAll(oldFd, st.st_size, old);
    const int  readError = errno;
    ::close(oldFd);
    if (!same || first < 0 || first > last || last > st.st_size) {
        outcome.changedOnDisk = true;
        return outcome;
    }
    if (!read) return failed(readError ? readError : EIO);

    TemporaryFile fresh(name, calls);
    if (fresh.fd() < 0) {
        outcome.error   = fresh.error();
        outcome.opening = true;
        return outcome;
    }
    // The new file keeps the old one's permissions; it is locked before it takes the name, so
    // that the lock the document holds passes to it without a gap.
    // The owner is kept where the system allows it (another user's file, saved by root);
    // otherwise the new file is the user's own, as any file the user writes.
    [[maybe_unused]] const int owned = ::fchown(fresh.fd(), st.st_uid, st.st_gid);
    ::fchmod(fresh.fd(), st.st_mode & 07777);
    ::flock(fresh.fd(), LOCK_EX | LOCK_NB);
    const auto part = [&](std::int64_t from, std::int64_t to) {
        return writeAll(fresh.fd(), old.constData() + from, static_cast<std::size_t>(to - from), calls);
    };
    int error = part(0, first);
    if (!error) error = writeAll(fresh.fd(), text.constData(), static_cast<std::size_t>(text.size()), calls);
    if (!error) error = part(last, st.st_size);
    if (!error && calls.fsync(fresh.fd()) != 0) error = errno;
    if (error) return failed(error);

    // The old file is kept under a second name first (a link, or a copy where the file
    // system has no links), then takes the backup's name once the new file stands.
    const QByteArray backup = name + ".bak";
    QByteArray       backupTemp;
    if (keepBackup) {
        backupTemp = fresh.name() + ".bak";
        if (::link(name.constData(), backupTemp.constData()) != 0) {
            TemporaryFile copy(name, calls);
            if (copy.fd() < 0) return failed(copy.error());
            ::fchmod(copy.fd(), st.st_mode & 07777);
            error = writeAll(copy.fd(), old.constData(), static_cast<std::size_t>(old.size()), calls);
            if (!error && calls.fsync(copy.fd()) != 0) error = errno;
            if (!error && calls.rename(copy.name().constData(), backupTemp.constData()) != 0) error = errno;
            if (error) return failed(error);
            copy.keep();
        }
    }
    if (calls.rename(fresh.name().constData(), name.constData()) != 0) {
        error = errno;
        if (keepBackup) ::unlink(backupTemp.constData());
        return failed(error);
    }
    fresh.keep();
    if (keepBackup && ::rename(backupTemp.constData(), backup.constData()) != 0)
        ::unlink(backupTemp.constData()); // the new file stands; only the backup is missing
    syncFolder(QFile::encodeName(QFileInfo(path).absolutePath()));
    newFd        = fresh.release();
    outcome.done = true;
    return outcome;
}

QString saveFailureReason(const SaveOutcome& outcome) {
    if (outcome.notRegular) return QString::fromUtf8("通常のファイルではありません。");
    if (outcome.changedOnDisk)
        return QString::fromUtf8("ファイルが読み込んだ後に変更されています。");
    switch (outcome.error) {
    case ENOSPC:
    case EDQUOT:
        return QString::fromUtf8("ディスクの空き容量が足りません。");
    case EACCES:
    case EPERM:
        return QString::fromUtf8("書き込む権限がありません。");
    case EROFS:
        return QString::fromUtf8("読み取り専用の場所には書き込めません。");
    case EFBIG:
        return QString::fromUtf8("ファイルが大きすぎます。");
    case ENOENT:
    case ENOTDIR:
        return QString::fromUtf8("フォルダーがありません。");
    case EISDIR:
        return QString::fromUtf8("通常のファイルではありません。");
    default:
        return QString::fromUtf8("システムのエラーです (%1)。")
            .arg(QString::fromLocal8Bit(std::strerror(outcome.error)));
    }
}
