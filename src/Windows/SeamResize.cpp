#include "Windows/SeamResize.h"

#include <cmath>

namespace quorrin::SeamResize {

namespace {

bool moved(double a, double b)
{
    return std::abs(a - b) > edgeTolerance;
}

} // namespace

MovedEdges movedEdges(const QRectF& start, const QRectF& current)
{
    const double startTop = start.y() + start.height();
    const double currentTop = current.y() + current.height();
    const bool widthChanged = moved(current.width(), start.width());
    const bool heightChanged = moved(current.height(), start.height());
    MovedEdges edges;
    edges.left = widthChanged && moved(current.x(), start.x())
        && !moved(current.x() + current.width(), start.x() + start.width());
    edges.top = heightChanged && moved(currentTop, startTop) && !moved(current.y(), start.y());
    edges.bottom = heightChanged && moved(current.y(), start.y()) && !moved(currentTop, startTop);
    return edges;
}

std::optional<double> neighbourHeight(double baseHeight, double delta, bool neighbourAbove)
{
    const double height = neighbourAbove ? baseHeight - delta : baseHeight + delta;
    if (height < minimumNeighbourHeight)
        return std::nullopt;
    return height;
}

} // namespace quorrin::SeamResize
