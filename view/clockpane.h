// The two clocks beside the board: White's above Black's (Black's above when the board is
// flipped, so that each stands on its player's side), the side to move's lit, its time in red
// once under ten seconds. Shown only while the game has a clock.
#pragma once

#include <QTimer>
#include <QWidget>

class CNorvaneView;

class CClockPane : public QWidget {
    Q_OBJECT
public:
    explicit CClockPane(CNorvaneView* view, QWidget* parent = nullptr);

    // The texts now shown, [White], [Black]: what the tests read.
    QString ClockTextOf(int side) const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Shows or hides the pane as the game has a clock, and paints it again.
    void Refresh();

    CNorvaneView* m_pView;
    QTimer        m_refresh;  // ten times a second while shown
};
