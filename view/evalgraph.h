// EvalGraph: the evaluation graph (評価グラフ) of the game on the board. Move by move it draws
// White's expected score as an area over the middle line (White's share light, Black's dark),
// each marked move as a coloured point (?! yellow, ? orange, ?? red, ! green), the position
// shown as a vertical line and, when the game has clocks, the time each move took as bars on a
// second scale at the right. A click shows the position after the move under it; each move
// has its tool tip. The picture is drawn the same on the screen and into a PNG.
#pragma once

#include <QColor>
#include <QImage>
#include <QStringList>
#include <QWidget>

#include <vector>

#include "review/graphpoints.h"

class QPainter;

class EvalGraph : public QWidget {
    Q_OBJECT
public:
    // The size of the saved picture.
    static constexpr QSize PictureSize{800, 300};

    explicit EvalGraph(QWidget* parent = nullptr);

    // The moves to draw, with each move's name as the tool tip begins it ("12... Nf3").
    void                           SetPoints(std::vector<GraphPoint> points, QStringList moveNames);
    const std::vector<GraphPoint>& Points() const { return m_points; }
    // The position shown: after ply moves of the game (0: its start).
    void SetCurrentPly(int ply);
    int  CurrentPly() const { return m_currentPly; }

    // The ply a click at x shows: that of the move nearest to it, 1 to the number of moves
    // (0 when there is none).
    int PlyAt(int x) const;
    // Where the position after ply moves stands on the widget (its x).
    int PlyPosition(int ply) const;
    // The tool tip of the move nearest to x; empty without moves.
    QString ToolTipAt(int x) const;
    // Whether the game gives anything to draw: an evaluation or a move time.
    bool HasScores() const;
    bool HasTimes() const;

    // The graph drawn at size (PictureSize by default), for the PNG.
    QImage Picture(QSize size = PictureSize) const;

    // What an empty graph says (a review under way, say); empty: the usual hint.
    void SetNotice(const QString& notice);

    // The colour of a mark's point.
    static QColor MarkColour(MoveMark mark);

    // A wide graph is taller: a third of its width or so, within MinHeight..MaxHeight.
    static constexpr int MinHeight = 80, MaxHeight = 220;
    bool                 hasHeightForWidth() const override { return true; }
    int                  heightForWidth(int width) const override;
    QSize                sizeHint() const override { return {300, heightForWidth(300)}; }
    QSize                minimumSizeHint() const override { return {120, 48}; }

signals:
    // The user clicked the graph: the position after ply moves is to be shown.
    void plyClicked(int ply);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

private:
    // Draws the whole graph into rect.
    void Draw(QPainter& painter, const QRect& rect) const;
    // The x of the position after ply moves, in a graph of width.
    double PlyX(int ply, int width) const;
    // The width of the graph on the widget, the time scale's room at the right left out.
    int PlotWidth() const;

    std::vector<GraphPoint> m_points;
    QStringList             m_names;
    int                     m_currentPly = 0;
    QString                 m_notice;
};
