// The board's geometry at one size. The board is laid out on a square pitch: at the standard
// pitch of 33 pixels it is the 300 x 300 picture with 31 x 31 squares, 32 x 32 pieces and
// the coordinate strips where they have always stood; at a larger pitch every length grows
// in proportion. All lengths here are device pixels: on a screen with a device pixel ratio of
// 2 the standard board is drawn with a pitch of 66.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

inline constexpr int StandardPitch = 33;
// Between the standard size and the largest that fits, the board grows by this many logical
// pixels of pitch at a time.
inline constexpr int PitchStep = 4;

class BoardGeometry {
public:
    explicit BoardGeometry(int pitch = StandardPitch);

    int  Pitch() const { return m_pitch; }
    bool IsStandard() const { return m_pitch == StandardPitch; }
    // A length of the standard board at this size.
    int Scaled(double standardLength) const;

    // The whole picture: a square of this side.
    int Side() const { return m_side; }
    // Display square d (0 = bottom left ... 63 = top right): its rectangle, as wide as the
    // pitch less the grid between squares.
    QRect SquareRect(int d) const;
    // The square of a piece image and of the mark-free inside of a square.
    int PieceSize() const { return m_pitch - m_grid + 1; }
    int SquareSize() const { return m_pitch - m_grid; }
    int Grid() const { return m_grid; }
    // Where the file-letter and the rank-number strips stand.
    QPoint FileStripPosition() const { return {Scaled(40), Scaled(275)}; }
    QPoint RankStripPosition() const { return {Scaled(8), Scaled(14)}; }

private:
    int m_pitch, m_grid, m_side, m_left, m_top;
};

// The logical pitch of the largest board that fits into room (logical pixels): the standard
// pitch, or a whole number of steps above it. A room smaller than the standard board still
// gets the standard pitch; the pane then scrolls.
int fittingPitch(QSize room);
// The side in logical pixels of the board drawn at a logical pitch.
int logicalSide(int logicalPitch);
// The device pitch for a logical pitch on a screen with device pixel ratio dpr.
int devicePitch(int logicalPitch, double dpr);
