#pragma once

#include <QRectF>

#include <optional>

// How a live resize of one docked note moves the edges it shares: which
// edges the user moved, and the height a neighbour across the moved top or
// bottom edge takes.

namespace quorrin::SeamResize {

// An edge or size counts as changed beyond this (points)...
inline constexpr double edgeTolerance = 0.5;
// ...and a stored coordinate is rewritten only beyond this.
inline constexpr double storeTolerance = 0.01;
// The smallest height a seam neighbour is given.
inline constexpr double minimumNeighbourHeight = 160;

// The edges of `current` that moved from `start`, the opposite edge staying.
struct MovedEdges {
    bool left = false;   // the width changed by the left edge
    bool top = false;    // the height changed by the top edge
    bool bottom = false; // the height changed by the bottom edge
};
MovedEdges movedEdges(const QRectF& start, const QRectF& current);

// The height of the neighbour across the moved edge: `baseHeight` is its
// height when it became the neighbour, `delta` how far the moved edge went
// (up is positive). Nothing when it would fall below the minimum.
std::optional<double> neighbourHeight(double baseHeight, double delta, bool neighbourAbove);

} // namespace quorrin::SeamResize
