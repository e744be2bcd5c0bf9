#pragma once

#include "Domain/NoteDock.h"

#include <QLineF>
#include <QRectF>
#include <QSizeF>

#include <optional>

// Shapes painted by the note background, in the view's own coordinates
// (origin at the top left, y down, as QPainter draws).
namespace quorrin::NoteBackgroundGeometry {

// Height of the strip at the top of a note that drags the window.
inline constexpr double dragStripHeight = 23;

// The snap feedback line: 2 pt inside the offered edge, stopping 10 pt short
// of both corners. Nothing when no snap is offered.
std::optional<QLineF> feedbackLine(const QSizeF& bounds, std::optional<DockEdge> edge,
                                   double strength);

// The primary-note pill: 34 % of the width kept within 84...134 pt, 5 pt
// high, centred, its top 6 pt below the view's top.
QRectF primaryPill(const QSizeF& bounds);
inline constexpr double primaryPillRadius = 2.5;

// Whether a point (view coordinates) lies in the drag strip; the strip's
// lower edge, exactly 23 pt below the top, belongs to it.
bool inDragStrip(const QPointF& point);

} // namespace quorrin::NoteBackgroundGeometry
