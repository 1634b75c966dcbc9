#include "view/boardscale.h"

#include <algorithm>
#include <cmath>

BoardGeometry::BoardGeometry(int pitch)
    : m_pitch(std::max(pitch, StandardPitch / 2)), m_grid(Scaled(2)), m_side(Scaled(300)),
      m_left(Scaled(30)), m_top(Scaled(6)) {}

int BoardGeometry::Scaled(double standardLength) const {
    return static_cast<int>(std::lround(standardLength * m_pitch / StandardPitch));
}

QRect BoardGeometry::SquareRect(int d) const {
    // a1 (unflipped) at the bottom left, h8 at the top right.
    return QRect(m_left + m_pitch * (d % 8), m_top + m_pitch * (7 - d / 8), SquareSize(),
                 SquareSize());
}

int logicalSide(int logicalPitch) { return BoardGeometry(logicalPitch).Side(); }

int fittingPitch(QSize room) {
    const int side  = std::min(room.width(), room.height());
    int       pitch = StandardPitch;
    while (logicalSide(pitch + PitchStep) <= side)
        pitch += PitchStep;
    return pitch;
}

int devicePitch(int logicalPitch, double dpr) {
    return std::max(1, static_cast<int>(std::lround(logicalPitch * dpr)));
}
