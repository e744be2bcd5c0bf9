#include "Windows/NoteBackgroundGeometry.h"

#include <algorithm>

namespace quorrin::NoteBackgroundGeometry {

namespace {
constexpr double lineInset = 2;
constexpr double cornerGap = 10;
constexpr double pillHeight = 5;
constexpr double pillTopInset = 6;
} // namespace

std::optional<QLineF> feedbackLine(const QSizeF& bounds, std::optional<DockEdge> edge,
                                   double strength)
{
    if (!edge || !(strength > 0))
        return std::nullopt;
    const double w = bounds.width();
    const double h = bounds.height();
    switch (*edge) {
    case DockEdge::Left: return QLineF(lineInset, h - cornerGap, lineInset, cornerGap);
    case DockEdge::Right: return QLineF(w - lineInset, h - cornerGap, w - lineInset, cornerGap);
    case DockEdge::Above: return QLineF(cornerGap, lineInset, w - cornerGap, lineInset);
    case DockEdge::Below: return QLineF(cornerGap, h - lineInset, w - cornerGap, h - lineInset);
    }
    return std::nullopt;
}

QRectF primaryPill(const QSizeF& bounds)
{
    const double width = std::min(std::max(bounds.width() * 0.34, 84.0), 134.0);
    return {(bounds.width() - width) / 2, pillTopInset, width, pillHeight};
}

bool inDragStrip(const QPointF& point)
{
    return point.y() <= dragStripHeight;
}

} // namespace quorrin::NoteBackgroundGeometry
