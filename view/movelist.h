// CMoveListView: the current game's moves as notation beside the board, read like a book. The
// main line one full move to a row (number, White's move, Black's move), then the result; its
// comments in rows of their own, its glyphs after its moves. A move's side lines stand under
// it as running text in brackets, word-wrapped and indented by their depth, and a research
// line that the game does not hold stands the same way where it leaves the game. The move
// shown is highlighted and kept in view, and the opening of the position named above. A
// click on any move shows it; the context menu holds the editing commands.
#pragma once

#include "app/docview.h"

class QLabel;
class QMenu;
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

    // Shows the position after the main-line move in row, column (1 White, 2 Black), if any.
    void GoToCell(int row, int column);
    // Shows the move a paragraph's link names (sidelinetext.h): a side-line move of the
    // tree, or a move of the research line.
    void GoToLink(const QString& link);
    // The menu a right click opens (the editing commands); the frame owns it.
    void SetContextMenu(QMenu* menu);

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

    // The rows of running text fit their labels' wrapped height.
    void FitParagraphs();
    void ShowContextMenu(const QPoint& at);

    QLabel*       m_pOpening;
    QMenu*        m_pContextMenu = nullptr;
    std::vector<int> m_paragraphs; // the rows that hold a label
    QTableWidget* m_pTable;
    // What each main-line cell shows: its ply (1-based, the position after the move).
    struct Target {
        int ply = 0;
    };
    std::vector<std::vector<Target>> m_targets; // by row, column
};
