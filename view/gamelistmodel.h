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

    // One row per entry of games whose Matched bit is set, in file order. games must stay
    // unchanged (no reallocation) until the next Rebuild.
    void Rebuild(const std::vector<GameEntry>* games);
    // Forgets the rows (before the index they point into changes).
    void Clear();

    // The entry of a row, or null.
    const GameEntry* EntryAt(int row) const;

    int      rowCount(const QModelIndex& parent = {}) const override;
    int      columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // Always ascending, whatever order is asked: a second sort by the same column keeps the
    // rows as they are. Selection and current row follow their games.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    std::vector<const GameEntry*> m_rows;
};
