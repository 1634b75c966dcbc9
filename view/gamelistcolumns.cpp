#include "view/gamelistcolumns.h"

#include <QSettings>
#include <QStringList>

#include <array>

namespace {

const char* const ColumnsKey = "GameList/Columns";
const char* const WidthsKey  = "GameList/Widths";

struct KindText {
    const char* key;    // the settings' name of the kind
    const char* label;  // the column menu's label
    const char* header; // the list header
    int         width;  // the first width in pixels
};

// clang-format off
constexpr std::array<KindText, ListColumnKinds> kindTexts = {{
    {"number",   "番号",           "番号",         48},
    {"white",    "白",             "white",        80},
    {"whiteElo", "白レート",       "白レート",     56},
    {"black",    "黒",             "black",        80},
    {"blackElo", "黒レート",       "黒レート",     56},
    {"result",   "結果",           "result",       60},
    {"moves",    "手数",           "fm",           30},
    {"date",     "日付",           "日付",         76},
    {"year",     "年",             "year",         40},
    {"event",    "大会",           "大会",        120},
    {"site",     "場所",           "場所",        100},
    {"round",    "ラウンド",       "ラウンド",     56},
    {"eco",      "ECO",            "eco",          40},
    {"opening",  "オープニング名", "オープニング", 160},
    {"tag",      "",               "",             80},
}};
// clang-format on

const QString TagPrefix = QStringLiteral("tag:");

QString keyOf(const ListColumn& column) {
    if (column.kind == TagColumn) return TagPrefix + column.tag;
    return QString::fromLatin1(kindTexts[column.kind].key);
}

bool columnOfKey(const QString& key, ListColumn& column) {
    if (key.startsWith(TagPrefix)) {
        column = {TagColumn, key.mid(TagPrefix.size())};
        return validTagName(column.tag);
    }
    for (int kind = 0; kind < TagColumn; ++kind)
        if (key == QLatin1String(kindTexts[kind].key)) {
            column = {static_cast<ListColumnKind>(kind), {}};
            return true;
        }
    return false;
}

inline char foldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

bool sameTagName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (foldAscii(a[i]) != foldAscii(b[i])) return false;
    return true;
}

inline bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

} // namespace

QString columnMenuLabel(ListColumnKind kind) {
    return QString::fromUtf8(kindTexts[static_cast<std::size_t>(kind)].label);
}

QString columnHeader(const ListColumn& column) {
    if (column.kind == TagColumn) return column.tag;
    return QString::fromUtf8(kindTexts[static_cast<std::size_t>(column.kind)].header);
}

int columnFirstWidth(const ListColumn& column) {
    return kindTexts[static_cast<std::size_t>(column.kind)].width;
}

ColumnLayout defaultColumnLayout() {
    ColumnLayout layout;
    for (ListColumnKind kind :
         {WhiteColumn, BlackColumn, ResultColumn, MovesColumn, YearColumn, EcoColumn}) {
        layout.columns.push_back({kind, {}});
        layout.widths.push_back(columnFirstWidth({kind, {}}));
    }
    return layout;
}

ColumnLayout loadColumnLayout() {
    const QSettings   store;
    const QStringList keys   = store.value(ColumnsKey).toStringList();
    const QList<int>  widths = store.value(WidthsKey).value<QList<int>>();
    ColumnLayout      layout;
    for (qsizetype i = 0; i < keys.size(); ++i) {
        ListColumn column;
        if (!columnOfKey(keys[i], column)) continue;
        bool repeated = false;
        for (const ListColumn& have : layout.columns)
            repeated |= have == column;
        if (repeated) continue;
        const int width = i < widths.size() ? widths[i] : 0;
        layout.columns.push_back(column);
        layout.widths.push_back(width >= 8 && width <= 4000 ? width : columnFirstWidth(column));
    }
    return layout.columns.empty() ? defaultColumnLayout() : layout;
}

void saveColumnLayout(const ColumnLayout& layout) {
    QStringList keys;
    QList<int>  widths;
    for (std::size_t i = 0; i < layout.columns.size(); ++i) {
        keys << keyOf(layout.columns[i]);
        widths << (i < layout.widths.size() ? layout.widths[i]
                                            : columnFirstWidth(layout.columns[i]));
    }
    QSettings store;
    store.setValue(ColumnsKey, keys);
    store.setValue(WidthsKey, QVariant::fromValue(widths));
}

bool validTagName(const QString& name) {
    if (name.isEmpty() || name.size() > 64) return false;
    for (QChar c : name)
        if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != QLatin1Char('_')) return false;
    return true;
}

std::string tagValueOf(std::string_view text, std::string_view name) {
    std::size_t at         = 0;
    const auto  skipBlanks = [&] {
        while (at < text.size() && isBlank(text[at]))
            ++at;
    };
    for (;;) {
        skipBlanks();
        if (at >= text.size() || text[at] != '[') return {};
        ++at;
        skipBlanks();
        const std::size_t nameStart = at;
        while (at < text.size() && !isBlank(text[at]) && text[at] != '"' && text[at] != ']')
            ++at;
        const std::string_view tag = text.substr(nameStart, at - nameStart);
        skipBlanks();
        std::string value;
        if (at < text.size() && text[at] == '"') {
            for (++at; at < text.size() && text[at] != '"'; ++at) {
                if (text[at] == '\\' && at + 1 < text.size()) ++at;
                value.push_back(text[at]);
            }
        }
        if (sameTagName(tag, name)) return value;
        while (at < text.size() && text[at] != ']')
            ++at;
        if (at < text.size()) ++at;
    }
}
