#pragma once

#include "Domain/WindowFrame.h"

#include <QList>
#include <QRectF>

namespace quorrin::WindowGeometry {

// Height of a collapsed note window.
inline constexpr double collapsedHeight = 55;
// The smallest expanded note window.
inline constexpr double minimumWidth = 250;
inline constexpr double minimumExpandedHeight = 160;

// A frame grown to the smallest expanded window, keeping its top-left corner.
QRectF clampedToMinimum(const QRectF& expandedFrame);

// One device pixel in points, for a window drawn at `backingScale` device
// pixels per point: the most a frame may move when the window system rounds
// it to whole pixels.
double pixelTolerance(double backingScale);

// Whether two frames agree within `tolerance` in position and size.
bool sameFrame(const QRectF& a, const QRectF& b, double tolerance);

// Brings a saved frame back within reach: a frame whose title strip (its top
// 24 pt) can be grabbed on some screen is kept; any other is moved onto the
// screen it overlaps most (nearest centre on a tie) without changing its size.
// Model coordinates: origin bottom left, y up.
QRectF recoveredFrame(const QRectF& frame, const QList<QRectF>& visibleFrames);

// A stored frame as a rectangle and back; both in model coordinates.
inline QRectF rectOf(const WindowFrame& frame)
{
    return {frame.x, frame.y, frame.width, frame.height};
}

inline WindowFrame frameOf(const QRectF& rect)
{
    return {rect.x(), rect.y(), rect.width(), rect.height()};
}

// The window frame of a collapsed note: same left edge, top edge and width.
QRectF collapsedFrame(const QRectF& expandedFrame);

} // namespace quorrin::WindowGeometry
