// EvalBar: the evaluation bar beside the board. It shows White's share of the position from the
// score of the analysis's best line: a logistic curve of the centipawns, full for the side that
// mates. White's part is at the bottom unless the board is flipped, the score is written small
// on the bar, and a change glides to its new share instead of jumping, so that the bar does not
// flicker while the engine's updates come in.
#pragma once

#include <QString>
#include <QVariantAnimation>
#include <QWidget>

#include <functional>

#include "uci/ucimessages.h"

struct AnalysisSnapshot;

// White's share (0 to 1) for a score from White's side: 1 / (1 + 10^(-cp / 400)); a mate is
// all for the side that mates.
double whiteShare(const UciScore& score);
// The score as the bar writes it: "+0.3", "-1.2", "+12", "M3" (White mates), "-M3".
QString shortScoreText(const UciScore& score);

class EvalBar : public QWidget {
    Q_OBJECT
public:
    // The bar's width in logical pixels.
    static constexpr int BarWidth = 22;
    // The room between the bar and the board.
    static constexpr int Gap = 2;
    // How long the bar takes to glide to a new share.
    static constexpr int GlideMs = 250;

    explicit EvalBar(QWidget* parent = nullptr);

    // Shows the best line's score of snapshot; null hides the bar. A snapshot without lines
    // keeps the share shown and writes no score.
    void ShowAnalysis(const AnalysisSnapshot* snapshot);
    // White at the top when flipped.
    void SetFlipped(bool flipped);
    bool IsFlipped() const { return m_flipped; }
    // The bar is as tall as the board: height() answers the board's height in logical pixels,
    // asked again whenever board is resized or shown.
    void FollowBoard(QWidget* board, std::function<int()> height);

    // The share the bar is gliding to, and the one it shows now.
    double  TargetShare() const { return m_target; }
    double  ShownShare() const { return m_shown; }
    QString ScoreText() const { return m_text; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void AdoptBoardHeight();

    QVariantAnimation    m_glide;
    double               m_target  = 0.5;
    double               m_shown   = 0.5;
    bool                 m_flipped = false;
    QString              m_text;
    int                  m_boardSide = 300; // logical pixels
    QWidget*             m_board     = nullptr;
    std::function<int()> m_boardHeight;
};
