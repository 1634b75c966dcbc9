// The game list's rows: the matched entries of the document's game index, in file order
// until sorted, and its columns as the user chose them (view/gamelistcolumns.h). Rows point
// into the index; no game is copied.
#pragma once

#include <QAbstractTableModel>

#include <vector>

#include "book/openings.h"
#include "records/gameindex.h"
#include "view/gamelistcolumns.h"

class CTagValueReader;

class CGameListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // The six default columns (defaultColumnLayout).
    explicit CGameListModel(QObject* parent = nullptr);

    // One row per entry of games whose Matched bit is set, in file order or in the order of
    // the last sort; names holds the games' players. Both must stay unchanged (no
    // reallocation) until the next Rebuild.
    void Rebuild(const std::vector<GameEntry>* games, const PlayerNames* names);
    // Forgets the rows (before the index they point into changes).
    void Clear();
    // The file the rows' games are in (its name in the system's encoding), its size and game
    // count: tag columns read their values from it. Another file (or the same one indexed
    // anew to another size or count) forgets the values read.
    void SetFile(const QByteArray& path, std::int64_t size, std::size_t games);
    // How the opening-name column names openings.
    void SetOpeningNames(const OpeningNameSettings& names);

    // The columns in model order; a change keeps the rows and their order.
    const std::vector<ListColumn>& Columns() const { return m_columns; }
    void                           SetColumns(const std::vector<ListColumn>& columns);
    // Adds a column at the end (nothing when it is shown already); removes one.
    void AddColumn(const ListColumn& column);
    void RemoveColumn(int column);
    // The model column that shows column, or -1.
    int ColumnOf(const ListColumn& column) const;

    // The entry of a row, or null.
    const GameEntry* EntryAt(int row) const;
    // The row of the game numbered number, or -1.
    int RowOf(std::int64_t number) const;
    // The last sort's column (-1: file order) and order.
    int           SortColumn() const { return m_sorted ? ColumnOf(m_sortBy) : -1; }
    Qt::SortOrder SortOrder() const { return m_sortOrder; }

    // The text of a cell (a tag column's text when read, else empty).
    QString CellText(int row, int column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    // The display text, and the same text as the cell's tool tip.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    // Sorts by column in order; equal keys keep the order they had, either way; ratings and
    // dates unknown come last either way. A tag column reads every row's value first. Selection
    // and current row follow their games.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    // The rows in the order of the last sort.
    void SortRows();
    // Rows sorted by a column the records' sort knows not (number, opening name, tag), equal
    // keys in the order they had.
    void SortRowsBy(const ListColumn& column, bool descending);
    // A tag value has been read: its cell, if shown, is drawn anew.
    void OnValueRead(const QString& tag, quint32 number);

    std::vector<const GameEntry*> m_rows;
    const PlayerNames*            m_pNames = nullptr; // the rows' players; null without rows
    std::vector<ListColumn>       m_columns;
    OpeningNameSettings           m_openingNames;
    CTagValueReader*              m_pTags;
    QByteArray                    m_filePath; // the file the tag values are read from
    std::int64_t                  m_fileSize  = -1;
    std::size_t                   m_fileGames = 0;
    ListColumn                    m_sortBy;            // the column of the last sort
    bool                          m_sorted    = false; // false: file order
    Qt::SortOrder                 m_sortOrder = Qt::AscendingOrder;
};
