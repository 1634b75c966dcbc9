// The game list's rows: the matched entries of the document's game index, in file order
// until sorted. Rows point into the index; no game is copied.
#pragma once

#include <QAbstractTableModel>

#include <vector>

#include "records/gameindex.h"

class CGameListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit CGameListModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    // One row per entry of games whose Matched bit is set, in file order or in the order of
    // the last sort; names holds the games' players. Both must stay unchanged (no
    // reallocation) until the next Rebuild.
    void Rebuild(const std::vector<GameEntry>* games, const PlayerNames* names);
    // Forgets the rows (before the index they point into changes).
    void Clear();

    // The entry of a row, or null.
    const GameEntry* EntryAt(int row) const;
    // The row of the game numbered number, or -1.
    int RowOf(std::int64_t number) const;
    // The last sort's column (-1: file order) and order.
    int           SortColumn() const { return m_sortColumn; }
    Qt::SortOrder SortOrder() const { return m_sortOrder; }

    int      rowCount(const QModelIndex& parent = {}) const override;
    int      columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // Sorts by column in order; equal keys keep the order they had, either way. Selection and current
    // row follow their games.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    // The rows in the order of the last sort.
    void SortRows();

    std::vector<const GameEntry*> m_rows;
    const PlayerNames*            m_pNames = nullptr; // the rows' players; null without rows
    int                           m_sortColumn = -1;
    Qt::SortOrder                 m_sortOrder  = Qt::AscendingOrder;
};
