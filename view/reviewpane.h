// CReviewPane: the evaluation graph (評価グラフ) under the move list with two lines under it:
// the evaluation or the explanation of the move that led to the shown position, and each
// side's figures (marks, average centipawn loss, accuracy) once a review has ended. It draws
// what the game's own comments say ([%eval], [%clk], glyphs) at once, and a review's moves over
// them as they are judged; a change of the game (another game, a move added or taken back)
// drops the review.
#pragma once

#include <string>

#include "app/docview.h"
#include "review/graphpoints.h"
#include "review/reviewer.h"

class QLabel;
class CNorvaneDoc;
class EvalGraph;
class ReviewMarks;
class ReviewSession;

class CReviewPane : public CView {
    Q_OBJECT
public:
    CReviewPane(CNorvaneDoc* doc, ReviewSession* session, ReviewMarks* marks,
                QWidget* parent = nullptr);

    CNorvaneDoc* GetDocument() const;
    // A changed game drops the review and draws the game's own points; any change of the
    // position moves the graph's line and the explanation.
    void OnUpdate(CView* sender, int hint) override;

    EvalGraph* GetGraph() const { return m_pGraph; }
    QLabel*    GetExplanation() const { return m_pExplanation; }
    QLabel*    GetSummary() const { return m_pSummary; }

    // "12... Nf3" for the game's move ply (0 the first).
    QString MoveName(int ply) const;

private:
    // The game's moves and tags that a review belongs to, as one string.
    static std::string CurrentGameKey();
    // Follows the game: a changed one drops the review and is drawn from its own comments.
    void FollowGame();
    // The points of the game's comments with the review's moves over them.
    void RebuildPoints();
    // The line of the move that led to the shown position.
    void ShowCurrentMove();
    void MoveJudged(int ply);
    void ReviewEnded(ReviewOutcome outcome);

    ReviewSession* m_pSession;
    ReviewMarks*   m_pMarks;
    EvalGraph*     m_pGraph;
    QLabel*        m_pExplanation;
    QLabel*        m_pSummary;
    std::string    m_gameKey;
    GraphInput     m_input;
    bool           m_whiteFirst  = true;
    int            m_firstNumber = 1;
};
