// CAnalysisPane (解析): what the engine says about the position on the board. A header with the
// engine's name and its figures (depth and selective depth, nodes, speed, hash use, and the
// win/draw/loss chances of the best line when the engine gives them), then one row per line:
// its score in pawns from White's side ("+0.31", "#3", "#-2"; "≥"/"≤" for a bound) and its
// moves in SAN with move numbers, cut at the pane's width. A click on a move of a line plays the
// line up to that move as research on the board; the context menu and Ctrl+C copy the lines as
// text. In place of the lines it shows the session's notice (a mated side) or why the engine
// failed.
//
// As a view of the document it hears every change of the shown position and passes the new
// position to the session while the session runs.
#pragma once

#include <QRect>
#include <QString>

#include <vector>

#include "app/analysissession.h"
#include "app/docview.h"

class QAction;
class CNorvaneDoc;
class CNorvaneView;

// The position view shows: the game's start, its moves up to the shown one, then the
// research line's moves up to the shown one.
AnalysisPosition ShownAnalysisPosition(const CNorvaneView& view);

// A score as the pane writes it, from White's side: "+0.31", "-1.20", "0.00", "#3" (White
// mates in 3), "#-2" (Black mates in 2), with "≥" or "≤" before a bound.
QString AnalysisScoreText(const UciScore& score);
// A line as copied: its score, a space, its moves in SAN with move numbers.
QString AnalysisLineText(const AnalysisLine& line);

class CAnalysisPane : public CView {
    Q_OBJECT
public:
    // Joins doc as a view; shows what session reports from now on (session outlives the pane).
    CAnalysisPane(CNorvaneDoc* doc, AnalysisSession* session, QWidget* parent = nullptr);

    CNorvaneDoc* GetDocument() const;
    // Any change: while the session runs, it is given the position shown now.
    void OnUpdate(CView* sender, int hint) override;
    void OnDraw(QPainter& painter, const QRect& clip) override;

    // Gives the session the position shown now (nothing when it does not run).
    void FollowShownPosition();
    // Shows why the engine failed in place of the lines, until the analysis starts again.
    void ShowFailure(const QString& message);

    const AnalysisSnapshot& Snapshot() const { return m_snapshot; }
    // The rows as copied: one line per PV, score and numbered SAN, best first.
    QString LinesText() const;
    // Puts LinesText on the clipboard.
    void    CopyLines();
    // The text in place of the lines (the notice or the failure); empty while lines show.
    const QString& Message() const { return m_message; }
    // Where move index (0-based) of line row was drawn; empty when it was not (cut off).
    QRect MoveRect(int row, int index) const;
    // Plays line row's moves up to index as research on the board, when the board still shows
    // the position the line is for.
    void PlayLine(int row, int index);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void TakeSnapshot(const AnalysisSnapshot& snapshot);
    void TakeNotice(const QString& notice);
    // The figures' row: depth, nodes, speed, hash.
    QString FiguresText() const;
    QString WdlText() const;
    int     RowHeight() const;
    // The top of the first line's row.
    int     LinesTop() const;
    // Where each piece of a line's row goes at the pane's width: the score, then each move's
    // text (with its number when it has one) as far as it fits; cut when moves were left out.
    struct RowLayout {
        QString              score;
        QRect                scoreRect;
        std::vector<QString> texts;
        std::vector<QRect>   rects;
        bool                 cut = false;
    };
    RowLayout LayOutRow(int row) const;
    // The move under p: its row and index, or false.
    bool    MoveAt(QPoint p, int& row, int& index) const;

    AnalysisSession* m_session;
    AnalysisSnapshot m_snapshot;
    QString          m_message;
    bool             m_failed = false;
    QAction*         m_copy;
};
