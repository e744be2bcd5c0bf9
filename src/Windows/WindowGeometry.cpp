#include "Windows/WindowGeometry.h"

#include <algorithm>
#include <cmath>

namespace quorrin::WindowGeometry {

namespace {

constexpr double titleStripHeight = 24;
constexpr double reachableHeight = 12;
constexpr double reachableWidth = 80;

struct Overlap {
    double width = 0;
    double height = 0;
    bool meets = false;
};

// Rectangles that only touch meet with a zero extent; apart they do not meet.
Overlap overlap(const QRectF& a, const QRectF& b)
{
    const double left = std::max(a.left(), b.left());
    const double right = std::min(a.right(), b.right());
    const double bottom = std::max(a.top(), b.top()); // QRectF's top() is the model's minY
    const double top = std::min(a.bottom(), b.bottom());
    if (right < left || top < bottom)
        return {};
    return {right - left, top - bottom, true};
}

double area(const Overlap& o) { return o.meets ? o.width * o.height : 0; }

double centreDistance(const QRectF& a, const QRectF& b)
{
    const QPointF d = a.center() - b.center();
    return std::hypot(d.x(), d.y());
}

bool titleStripReachable(const QRectF& frame, const QList<QRectF>& visibleFrames)
{
    const double maxY = frame.y() + frame.height();
    const QRectF strip(frame.x(), maxY - titleStripHeight, frame.width(), titleStripHeight);
    const double neededWidth = std::min(reachableWidth, frame.width());
    return std::any_of(visibleFrames.begin(), visibleFrames.end(), [&](const QRectF& screen) {
        const Overlap o = overlap(strip, screen);
        return o.meets && o.height >= reachableHeight && o.width >= neededWidth;
    });
}

QRectF bestScreen(const QRectF& frame, const QList<QRectF>& visibleFrames)
{
    QRectF chosen = visibleFrames.front();
    double chosenArea = area(overlap(frame, chosen));
    double chosenDistance = centreDistance(chosen, frame);
    for (qsizetype i = 1; i < visibleFrames.size(); ++i) {
        const QRectF& candidate = visibleFrames[i];
        const double candidateArea = area(overlap(frame, candidate));
        const double candidateDistance = centreDistance(candidate, frame);
        if (candidateArea > chosenArea
            || (candidateArea == chosenArea && candidateDistance < chosenDistance)) {
            chosen = candidate;
            chosenArea = candidateArea;
            chosenDistance = candidateDistance;
        }
    }
    return chosen;
}

} // namespace

QRectF recoveredFrame(const QRectF& frame, const QList<QRectF>& visibleFrames)
{
    if (visibleFrames.isEmpty() || titleStripReachable(frame, visibleFrames))
        return frame;

    const QRectF screen = bestScreen(frame, visibleFrames);
    const double screenMaxX = screen.x() + screen.width();
    const double screenMaxY = screen.y() + screen.height();
    // A frame wider than the screen lines up with its left edge; one taller
    // keeps its top at the screen's top and runs below the bottom.
    const double x = std::min(std::max(frame.x(), screen.x()),
                              std::max(screen.x(), screenMaxX - frame.width()));
    const double y = std::min(std::max(frame.y(), screen.y()), screenMaxY - frame.height());
    return {x, y, frame.width(), frame.height()};
}

QRectF collapsedFrame(const QRectF& expandedFrame)
{
    const double maxY = expandedFrame.y() + expandedFrame.height();
    return {expandedFrame.x(), maxY - collapsedHeight, expandedFrame.width(), collapsedHeight};
}

QRectF clampedToMinimum(const QRectF& expandedFrame)
{
    const double width = std::max(expandedFrame.width(), minimumWidth);
    const double height = std::max(expandedFrame.height(), minimumExpandedHeight);
    const double top = expandedFrame.y() + expandedFrame.height();
    return {expandedFrame.x(), top - height, width, height};
}

double pixelTolerance(double backingScale)
{
    return 1 / std::max(backingScale, 1.0);
}

bool sameFrame(const QRectF& a, const QRectF& b, double tolerance)
{
    return std::abs(a.x() - b.x()) <= tolerance && std::abs(a.y() - b.y()) <= tolerance
        && std::abs(a.width() - b.width()) <= tolerance && std::abs(a.height() - b.height()) <= tolerance;
}

} // namespace quorrin::WindowGeometry
