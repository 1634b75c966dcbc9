#include "view/gamelistmodel.h"

#include <algorithm>
#include <array>
#include <unordered_map>

#include "app/docview.h"
#include "records/gamefilter.h"
#include "view/gamelisttags.h"
#include "view/recordtext.h"

namespace {

// The records' column of a kind (records/gamefilter.h), or -1 for the kinds the list adds.
int recordsColumn(ListColumnKind kind) {
    switch (kind) {
    case WhiteColumn:
        return ColumnWhite;
    case WhiteEloColumn:
        return ColumnWhiteElo;
    case BlackColumn:
        return ColumnBlack;
    case BlackEloColumn:
        return ColumnBlackElo;
    case ResultColumn:
        return ColumnResult;
    case MovesColumn:
        return ColumnMoves;
    case DateColumn:
        return ColumnDate;
    case YearColumn:
        return ColumnYear;
    case EventColumn:
        return ColumnEvent;
    case SiteColumn:
        return ColumnSite;
    case RoundColumn:
        return ColumnRound;
    case EcoColumn:
        return ColumnEco;
    default:
        return -1;
    }
}

// Whether a row's key in a column is unknown: such rows sort last either way.
bool unknownKey(const GameEntry& entry, ListColumnKind kind) {
    switch (kind) {
    case WhiteEloColumn:
        return entry.whiteElo == 0;
    case BlackEloColumn:
        return entry.blackElo == 0;
    case DateColumn:
        return (entry.year & 0xFFF) == 0;
    default:
        return false;
    }
}

int ecoOf(const GameEntry& entry) { return entry.info & EcoMask; }

} // namespace

CGameListModel::CGameListModel(QObject* parent)
    : QAbstractTableModel(parent), m_columns(defaultColumnLayout().columns),
      m_pTags(new CTagValueReader(this)) {
    connect(m_pTags, &CTagValueReader::valueRead, this, &CGameListModel::OnValueRead);
}

void CGameListModel::Rebuild(const std::vector<GameEntry>* games, const PlayerNames* names) {
    beginResetModel();
    m_rows.clear();
    m_pNames = names;
    if (games && names)
        for (const GameEntry& entry : *games)
            if (entry.info & Matched) m_rows.push_back(&entry);
    SortRows();
    endResetModel();
}

void CGameListModel::SetFile(const QByteArray& path, std::int64_t size, std::size_t games) {
    // A search rebuilds the rows of the same file: the values read stay good.
    if (path == m_filePath && size == m_fileSize && games == m_fileGames) return;
    m_filePath  = path;
    m_fileSize  = size;
    m_fileGames = games;
    m_pTags->SetFile(path);
    if (!m_rows.empty()) emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

void CGameListModel::SetOpeningNames(const OpeningNameSettings& names) {
    m_openingNames   = names;
    const int column = ColumnOf({OpeningColumn, {}});
    if (column >= 0 && !m_rows.empty())
        emit dataChanged(index(0, column), index(rowCount() - 1, column));
}

void CGameListModel::SetColumns(const std::vector<ListColumn>& columns) {
    beginResetModel();
    m_columns = columns;
    endResetModel();
}

void CGameListModel::AddColumn(const ListColumn& column) {
    if (ColumnOf(column) >= 0) return;
    const int at = columnCount();
    beginInsertColumns({}, at, at);
    m_columns.push_back(column);
    endInsertColumns();
}

void CGameListModel::RemoveColumn(int column) {
    if (column < 0 || column >= columnCount()) return;
    beginRemoveColumns({}, column, column);
    m_columns.erase(m_columns.begin() + column);
    endRemoveColumns();
}

int CGameListModel::ColumnOf(const ListColumn& column) const {
    const auto found = std::find(m_columns.begin(), m_columns.end(), column);
    return found == m_columns.end() ? -1 : static_cast<int>(found - m_columns.begin());
}

void CGameListModel::SortRowsBy(const ListColumn& column, bool descending) {
    // Each row's key as a rank, then one stable sort: equal keys keep their order either way.
    std::vector<std::pair<std::uint32_t, const GameEntry*>> keyed;
    keyed.reserve(m_rows.size());
    if (column.kind == NumberColumn) {
        for (const GameEntry* row : m_rows)
            keyed.emplace_back(row->number, row);
    } else if (column.kind == OpeningColumn) {
        // Each ECO code's place among the names, found once; games without a code last.
        std::array<int, NoEco + 1> order;
        for (int eco = 0; eco <= NoEco; ++eco)
            order[static_cast<std::size_t>(eco)] = eco;
        std::array<QString, NoEco> names;
        for (int eco = 0; eco < NoEco; ++eco)
            names[static_cast<std::size_t>(eco)] =
                QString::fromUtf8(openingDisplayName(eco, m_openingNames));
        std::stable_sort(order.begin(), order.end() - 1, [&names](int a, int b) {
            return names[static_cast<std::size_t>(a)].compare(names[static_cast<std::size_t>(b)],
                                                              Qt::CaseInsensitive) < 0;
        });
        std::array<std::uint32_t, NoEco + 1> rank;
        for (std::uint32_t k = 0; k <= NoEco; ++k)
            rank[static_cast<std::size_t>(order[k])] = k;
        for (const GameEntry* row : m_rows)
            keyed.emplace_back(rank[static_cast<std::size_t>(ecoOf(*row))], row);
    } else {
        // A tag: every row's value, read now (the values shown are mostly read already).
        CWaitCursor          wait;
        std::vector<QString> values;
        values.reserve(m_rows.size());
        for (const GameEntry* row : m_rows)
            values.push_back(m_pTags->ValueNow(column.tag, row->number, row->start(), row->end()));
        std::vector<std::uint32_t> order(values.size());
        for (std::uint32_t i = 0; i < order.size(); ++i)
            order[i] = i;
        std::stable_sort(order.begin(), order.end(), [&values](std::uint32_t a, std::uint32_t b) {
            return values[a].compare(values[b], Qt::CaseInsensitive) < 0;
        });
        std::vector<std::uint32_t> rank(values.size());
        for (std::uint32_t k = 0; k < order.size(); ++k)
            rank[order[k]] =
                k > 0 && values[order[k]].compare(values[order[k - 1]], Qt::CaseInsensitive) == 0
                    ? rank[order[k - 1]]
                    : k;
        // Rows without the tag last, whichever the order.
        constexpr std::uint32_t Last = 0xFFFFFFFF;
        for (std::size_t i = 0; i < m_rows.size(); ++i)
            keyed.emplace_back(values[i].isEmpty() ? Last : rank[i], m_rows[i]);
    }
    std::stable_sort(keyed.begin(), keyed.end(), [descending](const auto& a, const auto& b) {
        constexpr std::uint32_t Last = 0xFFFFFFFF;
        if ((a.first == Last) != (b.first == Last)) return b.first == Last;
        return descending ? b.first < a.first : a.first < b.first;
    });
    for (std::size_t i = 0; i < keyed.size(); ++i)
        m_rows[i] = keyed[i].second;
}

void CGameListModel::SortRows() {
    if (!m_sorted || !m_pNames) return;
    const int records = recordsColumn(m_sortBy.kind);
    if (records < 0) {
        SortRowsBy(m_sortBy, m_sortOrder == Qt::DescendingOrder);
    } else {
        sortRows(m_rows, *m_pNames, records);
        if (m_sortOrder == Qt::DescendingOrder) {
            // The ascending order reversed, then each run of equal keys turned back to the
            // order it had before the sort.
            std::reverse(m_rows.begin(), m_rows.end());
            for (auto run = m_rows.begin(); run != m_rows.end();) {
                auto next = run + 1;
                while (next != m_rows.end() &&
                       compareByColumn(**run, **next, *m_pNames, records) == 0)
                    ++next;
                std::reverse(run, next);
                run = next;
            }
        }
    }
    // Unknown ratings and dates last, whichever the order.
    const ListColumnKind kind = m_sortBy.kind;
    std::stable_partition(m_rows.begin(), m_rows.end(),
                          [kind](const GameEntry* row) { return !unknownKey(*row, kind); });
}

int CGameListModel::RowOf(std::int64_t number) const {
    for (std::size_t row = 0; row < m_rows.size(); ++row)
        if (m_rows[row]->number == number) return static_cast<int>(row);
    return -1;
}

void CGameListModel::Clear() {
    beginResetModel();
    m_rows.clear();
    m_pNames = nullptr;
    endResetModel();
}

const GameEntry* CGameListModel::EntryAt(int row) const {
    return row >= 0 && row < static_cast<int>(m_rows.size()) ? m_rows[row] : nullptr;
}

int CGameListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CGameListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QString CGameListModel::CellText(int row, int column) const {
    const GameEntry* entry = EntryAt(row);
    if (!entry || column < 0 || column >= columnCount()) return {};
    const ListColumn& shown   = m_columns[static_cast<std::size_t>(column)];
    const int         records = recordsColumn(shown.kind);
    if (records >= 0) {
        char text[NameCellSize];
        columnText(*entry, *m_pNames, records, text, sizeof text);
        return recordText(text);
    }
    switch (shown.kind) {
    case NumberColumn:
        return QString::number(entry->number + 1);
    case OpeningColumn:
        return ecoOf(*entry) < NoEco
                   ? QString::fromUtf8(openingDisplayName(ecoOf(*entry), m_openingNames))
                   : QString();
    case TagColumn: {
        const QString* value =
            m_pTags->Value(shown.tag, entry->number, entry->start(), entry->end());
        return value ? *value : QString();
    }
    default:
        return {};
    }
}

QVariant CGameListModel::data(const QModelIndex& index, int role) const {
    if (!EntryAt(index.row()) || index.column() < 0 || index.column() >= columnCount()) return {};
    if (role == Qt::DisplayRole) return CellText(index.row(), index.column());
    if (role == Qt::ToolTipRole) {
        const QString text = CellText(index.row(), index.column());
        return text.isEmpty() ? QVariant() : QVariant(text);
    }
    if (role == Qt::TextAlignmentRole) return int(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

QVariant CGameListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
    if (role == Qt::DisplayRole) return columnHeader(m_columns[static_cast<std::size_t>(section)]);
    if (role == Qt::TextAlignmentRole) return int(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

void CGameListModel::OnValueRead(const QString& tag, quint32) {
    const int column = ColumnOf({TagColumn, tag});
    // The column is drawn anew: only its rows on screen are painted, and finding the game's row
    // would cost a scan of every row per value.
    if (column >= 0 && !m_rows.empty())
        emit dataChanged(index(0, column), index(rowCount() - 1, column), {Qt::DisplayRole});
}

void CGameListModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= columnCount()) return;
    m_sortBy    = m_columns[static_cast<std::size_t>(column)];
    m_sorted    = true;
    m_sortOrder = order;
    emit                          layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList         before = persistentIndexList();
    std::vector<const GameEntry*> entriesBefore;
    entriesBefore.reserve(before.size());
    for (const QModelIndex& index : before)
        entriesBefore.push_back(EntryAt(index.row()));

    SortRows();

    if (!before.isEmpty()) {
        std::unordered_map<const GameEntry*, int> rowOf;
        rowOf.reserve(before.size());
        for (const GameEntry* entry : entriesBefore)
            rowOf.emplace(entry, -1);
        for (int row = 0; row < static_cast<int>(m_rows.size()); ++row) {
            auto found = rowOf.find(m_rows[row]);
            if (found != rowOf.end()) found->second = row;
        }
        QModelIndexList after;
        for (int i = 0; i < before.size(); ++i)
            after << index(rowOf[entriesBefore[i]], before[i].column());
        changePersistentIndexList(before, after);
    }
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}
