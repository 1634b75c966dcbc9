// The sequential reader of an open PGN file: a 1 MB buffer for the scanner, plain positioned
// reads for single games.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>

class BufferedFile {
public:
    static constexpr std::size_t BufferSize = 1 << 20;

    BufferedFile() = default;
    ~BufferedFile() { close(); }
    BufferedFile(const BufferedFile&)            = delete;
    BufferedFile& operator=(const BufferedFile&) = delete;

    // Opens path for reading; fails when already open, when the file cannot be opened or is
    // not a regular file, or when the buffer cannot be allocated. The buffer starts empty.
    // The type is checked before anything is read: a FIFO or a device never blocks the open.
    bool open(const char* path);
    // Why the last open failed: the system's error number (ENOENT, EACCES, ENOMEM...), or 0
    // for a file that is not a regular file, whose type bits (st_mode) openMode() holds.
    int      openError() const { return m_openError; }
    unsigned openMode() const { return m_openMode; }
    // Closes the file if open. The buffer is kept for the next file.
    void close();
    // Exchanges the files (and buffers) of two readers.
    void swap(BufferedFile& other) noexcept {
        std::swap(m_fd, other.m_fd);
        std::swap(m_count, other.m_count);
        std::swap(m_position, other.m_position);
        m_buffer.swap(other.m_buffer);
        std::swap(m_size, other.m_size);
        std::swap(m_modified, other.m_modified);
    }
    bool isOpen() const { return m_fd >= 0; }

    // The next byte; 0 at the end of the file (so a zero byte also ends it for callers).
    unsigned char getChar() {
        if (m_position == m_count && refill() == 0) return 0;
        return static_cast<unsigned char>(m_buffer[m_position++]);
    }
    // Moves the file position to offset (from the start) and empties the buffer.
    bool seek(std::int64_t offset);
    // Up to n bytes from the file position into buffer, past the buffer; answers the count
    // (short only at the end of the file or on a read error).
    std::size_t read(char* buffer, std::size_t n);
    // Up to n bytes from offset into buffer, without moving the file position or touching
    // the buffer: safe from several threads at once. Short only at the end or on an error.
    std::size_t readAt(std::int64_t offset, char* buffer, std::size_t n) const;

    // The scanner's bulk access: drops what is buffered, reads up to BufferSize bytes from
    // the file position and answers their count (0 at the end or on an error); data() holds
    // them.
    std::size_t refill();
    const char* data() const { return m_buffer.get(); }

    // Size and modification time when the file was opened, and whether they still hold: a
    // byte range taken from the index is read only from an unchanged file.
    std::int64_t size() const { return m_size; }
    bool         unchanged() const;

private:
    int                     m_fd       = -1;
    std::size_t             m_count    = 0;
    std::size_t             m_position = 0;
    std::unique_ptr<char[]> m_buffer;
    std::int64_t            m_size     = 0;
    std::int64_t            m_modified = 0; // nanoseconds
    int                     m_openError = 0;
    unsigned                m_openMode  = 0;
};
