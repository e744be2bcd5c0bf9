#include "Windows/WindowFrameTracking.h"

#include "Windows/WindowGeometry.h"

#include <algorithm>

namespace quorrin::WindowFrameTracking {

QRectF displayedFrame(const WindowFrame& stored, bool collapsed)
{
    const QRectF expanded(stored.x, stored.y, stored.width, stored.height);
    return collapsed ? WindowGeometry::collapsedFrame(expanded) : expanded;
}

WindowFrame expandedFrame(const QRectF& window, const WindowFrame& stored, bool collapsed)
{
    const double height = collapsed ? stored.height : window.height();
    const double top = window.y() + window.height();
    return {window.x(), top - height, window.width(), height};
}

QRectF movedFrame(const QRectF& startFrame, QPointF startPoint, QPointF point)
{
    return startFrame.translated(point - startPoint);
}

Qt::Edges resizeEdgesAt(QPointF position, QSizeF size, bool verticalResizable)
{
    const QRectF bounds(QPointF(0, 0), size);
    if (!bounds.contains(position))
        return {};
    Qt::Edges edges;
    if (position.x() < resizeMargin)
        edges |= Qt::LeftEdge;
    else if (position.x() > size.width() - resizeMargin)
        edges |= Qt::RightEdge;
    if (verticalResizable) {
        if (position.y() < resizeMargin)
            edges |= Qt::TopEdge;
        else if (position.y() > size.height() - resizeMargin)
            edges |= Qt::BottomEdge;
    }
    return edges;
}

QRectF resizedFrame(const QRectF& startFrame, Qt::Edges edges, QPointF delta, QSizeF minimum)
{
    double left = startFrame.left();
    double right = startFrame.right();
    double bottom = startFrame.top(); // model minY
    double top = startFrame.bottom(); // model maxY
    if (edges.testFlag(Qt::LeftEdge))
        left = std::min(left + delta.x(), right - minimum.width());
    else if (edges.testFlag(Qt::RightEdge))
        right = std::max(right + delta.x(), left + minimum.width());
    if (edges.testFlag(Qt::TopEdge))
        top = std::max(top + delta.y(), bottom + minimum.height());
    else if (edges.testFlag(Qt::BottomEdge))
        bottom = std::min(bottom + delta.y(), top - minimum.height());
    return {left, bottom, right - left, top - bottom};
}

Qt::CursorShape resizeCursor(Qt::Edges edges)
{
    const bool horizontal = edges & (Qt::LeftEdge | Qt::RightEdge);
    const bool vertical = edges & (Qt::TopEdge | Qt::BottomEdge);
    if (horizontal && vertical) {
        const bool falling = (edges.testFlag(Qt::LeftEdge) && edges.testFlag(Qt::TopEdge))
            || (edges.testFlag(Qt::RightEdge) && edges.testFlag(Qt::BottomEdge));
        return falling ? Qt::SizeFDiagCursor : Qt::SizeBDiagCursor;
    }
    if (horizontal)
        return Qt::SizeHorCursor;
    if (vertical)
        return Qt::SizeVerCursor;
    return Qt::ArrowCursor;
}

} // namespace quorrin::WindowFrameTracking
