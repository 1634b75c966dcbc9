// The piece designs as vector shapes in the coordinates of a 32 x 32 piece, the same
// designs scripts/make-images draws the standard images from.
#pragma once

#include <array>
#include <functional>
#include <vector>

// Whether the point (x, y) lies inside a shape.
using Shape = std::function<bool(double, double)>;

struct PieceDesign {
    Shape shape;
    // Detail lines drawn inside the silhouette, as (ax, ay, bx, by).
    std::vector<std::array<double, 4>> lines;
    Shape                              dots; // small details such as the knight's eye; may be empty
};

// piece: 1 pawn ... 6 king.
PieceDesign pieceDesign(int piece);
