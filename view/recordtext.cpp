#include "view/recordtext.h"

#include <QStringDecoder>

#include <cstring>

#include "records/utf8.h"

namespace {

bool isValidUtf8(const unsigned char* p, qsizetype n) {
    for (qsizetype i = 0; i < n;) {
        const int length = utf8SequenceLength(p + i, static_cast<std::size_t>(n - i));
        if (length == 0) return false;
        i += length;
    }
    return true;
}

// Shift_JIS can be told from Latin-1 only by its structure: every byte at or above 0x80 is a
// lead byte (0x81-0x9F, 0xE0-0xEF) followed by a trail byte (0x40-0x7E, 0x80-0xFC), or a
// half-width katakana (0xA1-0xDF). An accented Latin-1 letter followed by a plain one fits
// that too ("R\xE9ti"), so at least one lead byte must lie in 0x81-0x9F, where Latin-1 has
// only control characters: the hiragana, katakana and most common kanji of Japanese names.
bool looksLikeShiftJis(const unsigned char* p, qsizetype n) {
    bool lowLeadSeen = false;
    for (qsizetype i = 0; i < n; ++i) {
        const unsigned char c = p[i];
        if (c < 0x80 || (c >= 0xA1 && c <= 0xDF)) continue;
        if ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xEF)) {
            if (i + 1 >= n) return false;
            const unsigned char t = p[i + 1];
            if (t < 0x40 || t == 0x7F || t > 0xFC) return false;
            lowLeadSeen = lowLeadSeen || c <= 0x9F;
            ++i;
            continue;
        }
        return false;
    }
    return lowLeadSeen;
}

}  // namespace

QString recordText(const char* bytes, qsizetype length) {
    if (!bytes) return {};
    if (length < 0) length = static_cast<qsizetype>(std::strlen(bytes));
    const auto* p = reinterpret_cast<const unsigned char*>(bytes);
    if (isValidUtf8(p, length)) return QString::fromUtf8(bytes, length);
    if (looksLikeShiftJis(p, length)) {
        QStringDecoder decoder("Shift_JIS");
        if (decoder.isValid()) {
            QString text = decoder(QByteArrayView(bytes, length));
            if (!decoder.hasError()) return text;
        }
    }
    return QString::fromLatin1(bytes, length);
}

QString recordText(const QByteArray& bytes) { return recordText(bytes.constData(), bytes.size()); }
