#include "view/gamelistmodel.h"

#include <algorithm>
#include <unordered_map>

#include "records/gamefilter.h"
#include "view/recordtext.h"

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

void CGameListModel::SortRows() {
    if (m_sortColumn < 0 || !m_pNames) return;
    sortRows(m_rows, *m_pNames, m_sortColumn);
    if (m_sortOrder == Qt::AscendingOrder) return;
    // Descending: the ascending order reversed, then each run of equal keys turned back to
    // the order it had before the sort.
    std::reverse(m_rows.begin(), m_rows.end());
    for (auto run = m_rows.begin(); run != m_rows.end();) {
        auto next = run + 1;
        while (next != m_rows.end() && compareByColumn(**run, **next, *m_pNames, m_sortColumn) == 0)
            ++next;
        std::reverse(run, next);
        run = next;
    }
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
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CGameListModel::data(const QModelIndex& index, int role) const {
    const GameEntry* entry = EntryAt(index.row());
    if (!entry || index.column() < 0 || index.column() >= ColumnCount) return {};
    if (role == Qt::DisplayRole) {
        char text[NameCellSize];
        columnText(*entry, *m_pNames, index.column(), text, sizeof text);
        return recordText(text);
    }
    if (role == Qt::TextAlignmentRole) return int(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

QVariant CGameListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount) return {};
    if (role == Qt::DisplayRole) return QString::fromLatin1(columnHeaders[section]);
    if (role == Qt::TextAlignmentRole) return int(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

void CGameListModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= ColumnCount) return;
    m_sortColumn = column;
    m_sortOrder  = order;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<const GameEntry*> entriesBefore;
    entriesBefore.reserve(before.size());
    for (const QModelIndex& index : before) entriesBefore.push_back(EntryAt(index.row()));

    SortRows();

    if (!before.isEmpty()) {
        std::unordered_map<const GameEntry*, int> rowOf;
        rowOf.reserve(before.size());
        for (const GameEntry* entry : entriesBefore) rowOf.emplace(entry, -1);
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
