#include "view/piecedesigns.h"

#include <cmath>
#include <utility>

#include "engine/board.h"

namespace {

constexpr double CX = 15.5; // the pieces stand centred on this column

using Point = std::pair<double, double>;

Shape circle(double cx, double cy, double r) {
    return [=](double x, double y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r; };
}

Shape ellipse(double cx, double cy, double rx, double ry) {
    return [=](double x, double y) {
        const double u = (x - cx) / rx, v = (y - cy) / ry;
        return u * u + v * v <= 1;
    };
}

Shape rect(double x0, double y0, double x1, double y1) {
    return [=](double x, double y) { return x0 <= x && x <= x1 && y0 <= y && y <= y1; };
}

// Even-odd rule over the polygon's edges.
Shape polygon(std::vector<Point> points) {
    return [points = std::move(points)](double x, double y) {
        bool        hit = false;
        std::size_t j   = points.size() - 1;
        for (std::size_t i = 0; i < points.size(); j = i++) {
            const auto [xi, yi] = points[i];
            const auto [xj, yj] = points[j];
            if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) hit = !hit;
        }
        return hit;
    };
}

Shape unite(std::vector<Shape> shapes) {
    return [shapes = std::move(shapes)](double x, double y) {
        for (const Shape& s : shapes)
            if (s(x, y)) return true;
        return false;
    };
}

Shape minus(Shape shape, std::vector<Shape> cuts) {
    return [shape = std::move(shape), cuts = std::move(cuts)](double x, double y) {
        if (!shape(x, y)) return false;
        for (const Shape& c : cuts)
            if (c(x, y)) return false;
        return true;
    };
}

Shape base(double width) {
    return unite({rect(CX - width / 2, 25, CX + width / 2, 28.2), ellipse(CX, 25, width / 2, 1.6)});
}

PieceDesign pawn() {
    Shape body   = polygon({{CX - 5.6, 25}, {CX - 2.8, 17}, {CX + 2.8, 17}, {CX + 5.6, 25}});
    Shape collar = rect(CX - 4.4, 15.6, CX + 4.4, 17.9);
    return {unite({base(16), body, collar, circle(CX, 10.8, 4.7)}), {}, {}};
}

PieceDesign rook() {
    Shape top    = minus(rect(CX - 7.5, 5, CX + 7.5, 11.5),
                         {rect(CX - 4.3, 4, CX - 1.7, 7.6), rect(CX + 1.7, 4, CX + 4.3, 7.6)});
    Shape body   = polygon({{CX - 6, 22.5}, {CX - 5, 11.5}, {CX + 5, 11.5}, {CX + 6, 22.5}});
    Shape collar = rect(CX - 7.5, 21.5, CX + 7.5, 24);
    return {unite({base(18), collar, body, top}),
            {{CX - 5, 11.8, CX + 5, 11.8}, {CX - 6, 21.6, CX + 6, 21.6}},
            {}};
}

PieceDesign knight() {
    Shape head = polygon({{CX - 6.0, 25.0},
                          {CX - 4.2, 20.0},
                          {CX - 2.0, 16.8},
                          {CX - 3.4, 15.6},
                          {CX - 7.0, 17.6},
                          {CX - 9.2, 16.4},
                          {CX - 9.6, 14.0},
                          {CX - 6.4, 9.6},
                          {CX - 4.0, 6.6},
                          {CX - 3.0, 3.0},
                          {CX - 1.4, 4.6},
                          {CX + 0.2, 2.4},
                          {CX + 1.4, 4.8},
                          {CX + 5.6, 7.2},
                          {CX + 8.4, 12.6},
                          {CX + 8.6, 19.0},
                          {CX + 7.6, 25.0}});
    return {unite({base(18), head}),
            {{CX - 7.6, 14.6, CX - 6.2, 14.4}, // nostril
             {CX - 3.4, 15.6, CX - 1.2, 13.6}, // mouth
             {CX + 1.0, 5.6, CX + 6.8, 11.2},  // mane
             {CX + 6.8, 11.2, CX + 7.6, 19.0}},
            circle(CX - 2.4, 9.6, 1.0)}; // eye
}

PieceDesign bishop() {
    Shape mitre = unite(
        {ellipse(CX, 13.6, 5.8, 6.6), polygon({{CX - 3.6, 9.0}, {CX, 5.2}, {CX + 3.6, 9.0}})});
    Shape body   = polygon({{CX - 5.6, 25}, {CX - 2.4, 19.5}, {CX + 2.4, 19.5}, {CX + 5.6, 25}});
    Shape collar = rect(CX - 4.8, 19.4, CX + 4.8, 21.9);
    return {unite({base(16), body, collar, mitre, circle(CX, 4.0, 2.0)}),
            {{CX - 0.2, 14.6, CX + 3.8, 9.2}}, // the slit in the mitre
            {}};
}

PieceDesign queen() {
    const Point tips[5] = {
        {CX - 9.4, 9.6}, {CX - 4.7, 8.0}, {CX, 7.4}, {CX + 4.7, 8.0}, {CX + 9.4, 9.6}};
    const Point valleys[4] = {
        {CX - 6.0, 12.8}, {CX - 2.3, 12.2}, {CX + 2.3, 12.2}, {CX + 6.0, 12.8}};
    std::vector<Point> outline{{CX - 6.4, 22.5}};
    std::vector<Shape> parts{base(18), ellipse(CX, 22.6, 7.0, 2.0)};
    for (int i = 0; i < 5; ++i) {
        outline.push_back(tips[i]);
        if (i < 4) outline.push_back(valleys[i]);
    }
    outline.push_back({CX + 6.4, 22.5});
    parts.push_back(polygon(outline));
    for (const auto& [x, y] : tips)
        parts.push_back(circle(x, y - 1.7, 1.9));
    return {unite(std::move(parts)),
            {{CX - 6.4, 22.6, CX + 6.4, 22.6}, {CX - 6.0, 18.8, CX + 6.0, 18.8}},
            {}};
}

PieceDesign king() {
    Shape body  = polygon({{CX - 6.4, 22.5}, {CX - 8.8, 12.2}, {CX + 8.8, 12.2}, {CX + 6.4, 22.5}});
    Shape rim   = ellipse(CX, 12.2, 8.8, 2.0);
    Shape dome  = ellipse(CX, 10.6, 4.4, 3.4);
    Shape cross = unite({rect(CX - 1.5, 1.0, CX + 1.5, 8.6), rect(CX - 3.9, 3.0, CX + 3.9, 5.9)});
    Shape collar = ellipse(CX, 22.6, 7.0, 2.0);
    return {unite({base(18), collar, body, rim, dome, cross}),
            {{CX - 7.6, 13.4, CX + 7.6, 13.4},
             {CX - 6.4, 22.6, CX + 6.4, 22.6},
             {CX - 6.2, 18.8, CX + 6.2, 18.8}},
            {}};
}

} // namespace

PieceDesign pieceDesign(int piece) {
    switch (piece) {
    case Pawn:
        return pawn();
    case Knight:
        return knight();
    case Bishop:
        return bishop();
    case Rook:
        return rook();
    case Queen:
        return queen();
    default:
        return king();
    }
}
