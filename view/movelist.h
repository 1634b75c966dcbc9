// CMoveListView: the current game's moves as notation beside the board. One row per full
// move (number, White's move, Black's move), then the result; the move that led to the shown
// position is highlighted and kept in view, and the opening of the position is named above.
// The game's comments stand in rows of their own, its glyphs after their moves, and its side
// lines in rows indented by their depth; a click on a side-line move shows it in research. In
// research a line that is none of the game's follows the game in rows of its own, indented.
// Clicking a move shows its position on the board.
#pragma once

#include "app/docview.h"

class QLabel;
class QTableWidget;
class CNorvaneDoc;
class ReviewMarks;

class CMoveListView : public CView {
    Q_OBJECT
public:
    explicit CMoveListView(CNorvaneDoc* doc, QWidget* parent = nullptr);

    CNorvaneDoc* GetDocument() const;
    // Any change of the game or of the shown position: the rows are made again.
    void OnUpdate(CView* sender, int hint) override;

    // Shows the position after the move in row, column (1 White, 2 Black), if any.
    void GoToCell(int row, int column);

    // A review's marks, painted after the main line's moves and again whenever they change.
    void ShowReviewMarks(const ReviewMarks* marks);
    // pane stands under the moves (the evaluation graph), taking the room it asks for.
    void AddPaneBelow(QWidget* pane);

    QTableWidget* GetTable() const { return m_pTable; }
    QLabel*       GetOpening() const { return m_pOpening; }

protected:
    // The table's viewport resized: FitMoveColumns.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Refresh();
    // White's column takes half the room beside the numbers, up to MaxWhiteColumn, and
    // Black's the rest: in a wide pane Black's move stays beside White's.
    void FitMoveColumns();
    static constexpr int MaxWhiteColumn = 150;

    QLabel*       m_pOpening;
    QTableWidget* m_pTable;
    // What each cell shows: its ply (1-based, the position after the move) and its line, or
    // the side-line move of the game's annotations it holds.
    struct Target {
        int  ply      = 0;
        bool research = false;
        int  note     = -1; // index in gameAnnotations.notes
    };
    std::vector<std::vector<Target>> m_targets; // by row, column
};
