// CMoveListView: the current game's moves as notation beside the board. One row per full
// move (number, White's move, Black's move), then the result; the move that led to the shown
// position is highlighted and kept in view, and the opening of the position is named above.
// In research the research line follows in rows of its own, indented. Clicking a move shows
// its position on the board.
#pragma once

#include "app/docview.h"

class QLabel;
class QTableWidget;
class CNorvaneDoc;

class CMoveListView : public CView {
    Q_OBJECT
public:
    explicit CMoveListView(CNorvaneDoc* doc, QWidget* parent = nullptr);

    CNorvaneDoc* GetDocument() const;
    // Any change of the game or of the shown position: the rows are made again.
    void OnUpdate(CView* sender, int hint) override;

    // Shows the position after the move in row, column (1 White, 2 Black), if any.
    void GoToCell(int row, int column);

    QTableWidget* GetTable() const { return m_pTable; }
    QLabel*       GetOpening() const { return m_pOpening; }

private:
    void Refresh();

    QLabel*       m_pOpening;
    QTableWidget* m_pTable;
    // What each cell shows: its ply (1-based, the position after the move) and its line.
    struct Target {
        int  ply      = 0;
        bool research = false;
    };
    std::vector<std::vector<Target>> m_targets; // by row, column
};
