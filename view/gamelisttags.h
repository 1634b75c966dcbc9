// The values of the game list's tag columns (tags the index does not keep), read from the
// file on a thread of their own for the rows the list shows, so that scrolling never waits on
// the disk. Each value read is kept, by game number, in a small cache.
#pragma once

#include <QHash>
#include <QObject>
#include <QString>

#include "records/bufferedfile.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CTagValueReader : public QObject {
    Q_OBJECT
public:
    // At most this many values are kept per tag; past it the cache starts afresh.
    static constexpr int CacheLimit = 8192;
    // At most this many requests wait; the oldest are dropped (their rows scrolled away).
    static constexpr std::size_t QueueLimit = 512;

    explicit CTagValueReader(QObject* parent = nullptr);
    ~CTagValueReader() override;

    // The file the games are read from (its name in the system's encoding); forgets every
    // value and every request. An empty path reads nothing.
    void SetFile(const QByteArray& path);

    // The value of tag for game number, when read; else null, and the game's byte range
    // [start, end] is asked for (once). valueRead tells when the value is there.
    const QString* Value(const QString& tag, std::uint32_t number, std::int64_t start,
                         std::int64_t end);
    // Reads the value at once on the calling thread (for a sort), keeping it.
    QString ValueNow(const QString& tag, std::uint32_t number, std::int64_t start,
                     std::int64_t end);

signals:
    void valueRead(const QString& tag, quint32 number);

private:
    struct Request {
        std::uint64_t generation;
        QString       tag;
        std::string   tagBytes;
        std::uint32_t number;
        std::int64_t  start, end;
    };
    // A value the worker read, waiting for this object's thread.
    struct Answer {
        std::uint64_t generation;
        QString       tag;
        std::uint32_t number;
        QString       value;
    };
    void Run();
    // Takes the worker's answers on this object's thread (posted by name from the worker, so
    // that what it read is handed over under m_mutex, never inside an event of its making).
    Q_INVOKABLE void TakeAnswers();
    void Keep(const QString& tag, std::uint32_t number, const QString& value);

    QHash<QString, QHash<quint32, QString>> m_values;   // by tag, by game number
    QHash<QString, QHash<quint32, bool>>    m_asked;    // requests not yet answered
    BufferedFile                            m_sortFile; // ValueNow's reader (this thread's)
    std::string                             m_sortPath; // the file m_sortFile holds open

    std::mutex              m_mutex;
    std::condition_variable m_wake;
    std::vector<Request>    m_queue;          // newest last: the worker takes the newest first
    std::vector<Answer>     m_answers;        // read, not yet taken by this object's thread
    std::string             m_path;           // the worker's file
    std::uint64_t           m_generation = 0; // counts SetFile calls: older answers are dropped
    bool                    m_stop       = false;
    std::thread             m_thread;
};
