#pragma once

#include "Domain/WindowFrame.h"

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <Qt>

namespace quorrin::WindowFrameTracking {

// The band along a note window's edges (in points) that resizes instead of
// dragging or reaching the views below.
inline constexpr double resizeMargin = 4;

// The window frame a note shows for its stored (always expanded) frame: the
// top strip of it while collapsed. Model coordinates (origin bottom left).
QRectF displayedFrame(const WindowFrame& stored, bool collapsed);

// The expanded frame a window's frame stands for: a collapsed window keeps
// the stored height and hangs it from the window's top edge.
WindowFrame expandedFrame(const QRectF& window, const WindowFrame& stored, bool collapsed);

// A dragged window: the start frame moved by how far the pointer went from
// where the drag began. Model coordinates.
QRectF movedFrame(const QRectF& startFrame, QPointF startPoint, QPointF point);

// The edges a press resizes: `position` in window coordinates (origin top
// left, y down) of a window of `size`. A collapsed window keeps its height,
// so only its side edges resize. Empty when the press is inside the margin.
Qt::Edges resizeEdgesAt(QPointF position, QSizeF size, bool verticalResizable);

// A window resized by dragging `edges` by `delta` (model coordinates, y up:
// the top edge is maxY). Each edge stops where the size would fall below
// `minimum`; the opposite edge never moves.
QRectF resizedFrame(const QRectF& startFrame, Qt::Edges edges, QPointF delta, QSizeF minimum);

// The cursor shape for resizing along `edges`.
Qt::CursorShape resizeCursor(Qt::Edges edges);

} // namespace quorrin::WindowFrameTracking
