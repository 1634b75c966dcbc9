#include "view/gamelisttags.h"

#include <QMetaObject>

#include <algorithm>

#include "view/gamelistcolumns.h"
#include "view/recordtext.h"

namespace {

// A game's tags come before its moves: the first bytes of its text hold any tag a person
// would show in a column.
constexpr std::int64_t TagSectionLimit = 16384;

QString readTag(const BufferedFile& file, std::int64_t start, std::int64_t end,
                const std::string& tag) {
    if (!file.isOpen() || start < 0 || end < start) return {};
    const std::int64_t length = std::min(end - start + 1, TagSectionLimit);
    std::string        text(static_cast<std::size_t>(length), '\0');
    text.resize(file.readAt(start, text.data(), text.size()));
    const std::string value = tagValueOf(text, tag);
    return recordText(value.data(), static_cast<qsizetype>(value.size()));
}

} // namespace

CTagValueReader::CTagValueReader(QObject* parent) : QObject(parent) {
    m_thread = std::thread([this] { Run(); });
}

CTagValueReader::~CTagValueReader() {
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void CTagValueReader::SetFile(const QByteArray& path) {
    m_values.clear();
    m_asked.clear();
    m_sortFile.close();
    m_sortPath.clear();
    const std::lock_guard lock(m_mutex);
    m_path = path.toStdString();
    ++m_generation;
    m_queue.clear();
}

const QString* CTagValueReader::Value(const QString& tag, std::uint32_t number, std::int64_t start,
                                      std::int64_t end) {
    const auto values = m_values.constFind(tag);
    if (values != m_values.cend()) {
        const auto value = values->constFind(number);
        if (value != values->cend()) return &*value;
    }
    QHash<quint32, bool>& asked = m_asked[tag];
    if (asked.contains(number)) return nullptr;
    asked.insert(number, true);
    {
        const std::lock_guard lock(m_mutex);
        if (m_path.empty()) return nullptr;
        if (m_queue.size() >= QueueLimit) {
            // The oldest request's row has long scrolled away; it is asked again if shown.
            const Request& oldest = m_queue.front();
            m_asked[oldest.tag].remove(oldest.number);
            m_queue.erase(m_queue.begin());
        }
        m_queue.push_back({m_generation, tag, tag.toStdString(), number, start, end});
    }
    m_wake.notify_one();
    return nullptr;
}

QString CTagValueReader::ValueNow(const QString& tag, std::uint32_t number, std::int64_t start,
                                  std::int64_t end) {
    const auto values = m_values.constFind(tag);
    if (values != m_values.cend()) {
        const auto value = values->constFind(number);
        if (value != values->cend()) return *value;
    }
    std::string path;
    {
        const std::lock_guard lock(m_mutex);
        path = m_path;
    }
    if (path.empty()) return {};
    if (m_sortPath != path) {
        m_sortFile.close();
        m_sortPath = m_sortFile.open(path.c_str()) ? path : std::string();
    }
    const QString value = readTag(m_sortFile, start, end, tag.toStdString());
    Keep(tag, number, value);
    return value;
}

void CTagValueReader::Keep(const QString& tag, std::uint32_t number, const QString& value) {
    QHash<quint32, QString>& values = m_values[tag];
    if (values.size() >= CacheLimit) values.clear();
    values.insert(number, value);
    m_asked[tag].remove(number);
}

void CTagValueReader::Run() {
    BufferedFile file;
    std::string  openPath;
    for (;;) {
        Request request;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stop || !m_queue.empty(); });
            if (m_stop) return;
            request = std::move(m_queue.back());
            m_queue.pop_back();
            if (request.generation != m_generation) continue;
            if (openPath != m_path) {
                file.close();
                openPath = file.open(m_path.c_str()) ? m_path : std::string();
            }
        }
        QString value = readTag(file, request.start, request.end, request.tagBytes);
        {
            const std::lock_guard lock(m_mutex);
            m_answers.push_back({request.generation, request.tag, request.number, std::move(value)});
        }
        QMetaObject::invokeMethod(this, "TakeAnswers", Qt::QueuedConnection);
    }
}

void CTagValueReader::TakeAnswers() {
    std::vector<Answer> answers;
    std::uint64_t       generation = 0;
    {
        const std::lock_guard lock(m_mutex);
        answers.swap(m_answers);
        generation = m_generation;
    }
    for (const Answer& answer : answers) {
        if (answer.generation != generation) continue; // read from a file no longer listed
        Keep(answer.tag, answer.number, answer.value);
        emit valueRead(answer.tag, answer.number);
    }
}
