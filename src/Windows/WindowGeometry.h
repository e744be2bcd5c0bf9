#pragma once

#include <QList>
#include <QRectF>

namespace quorrin::WindowGeometry {

// Height of a collapsed note window.
inline constexpr double collapsedHeight = 55;

// Brings a saved frame back within reach: a frame whose title strip (its top
// 24 pt) can be grabbed on some screen is kept; any other is moved onto the
// screen it overlaps most (nearest centre on a tie) without changing its size.
// Model coordinates: origin bottom left, y up.
QRectF recoveredFrame(const QRectF& frame, const QList<QRectF>& visibleFrames);

// The window frame of a collapsed note: same left edge, top edge and width.
QRectF collapsedFrame(const QRectF& expandedFrame);

} // namespace quorrin::WindowGeometry
