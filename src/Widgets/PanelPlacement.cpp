#include "Widgets/PanelPlacement.h"

#include <algorithm>

namespace quorrin::panelplacement {
namespace {

// Keeps [start, start + size) inside [low, high] less the margins; the low
// edge wins when both cannot hold.
double keptInside(double start, double size, double low, double high)
{
    return std::max(std::min(start, high - size - margin), low + margin);
}

} // namespace

QPointF blockMenuOrigin(const QRectF& noteWindow, const QRectF& anchor, const QSizeF& panel, const QRectF& visible)
{
    double x = noteWindow.left() - panel.width() - gap;
    if (x < visible.left())
        x = noteWindow.right() + gap;
    x = std::min(visible.right() - panel.width() - margin, std::max(x, visible.left() + margin));
    const double y = keptInside(anchor.top() - gap, panel.height(), visible.top(), visible.bottom());
    return {x, y};
}

FormatSides formatSides(const QRectF& noteWindow, const QRectF& visible)
{
    FormatSides sides;
    sides.onLeft = noteWindow.left() - visible.left() - 14 >= barWidth + margin;
    sides.rightEdge = noteWindow.left() - gap;
    sides.leftEdge = noteWindow.right() + gap;
    return sides;
}

double formatTop(const QRectF& anchor, const QRectF& visible)
{
    return keptInside(anchor.center().y() - barHeight / 2, barHeight, visible.top(), visible.bottom());
}

QRectF formatFrame(const FormatSides& sides, double top, double width)
{
    const double x = sides.onLeft ? sides.rightEdge - width : sides.leftEdge;
    return {x, top, width, barHeight};
}

QRectF parkedFormatFrame(const QRectF& noteWindow, const QRectF& visible)
{
    const double x = std::min(visible.right() - orbWidth - margin,
                              std::max(noteWindow.left() - gap - orbWidth, visible.left() + margin));
    const double y = keptInside(noteWindow.center().y() - barHeight / 2, barHeight, visible.top(), visible.bottom());
    return {x, y, orbWidth, barHeight};
}

QPointF cascadedOrigin(const QRectF& wanted, const std::vector<QPointF>& taken, const QRectF& visible)
{
    QRectF frame = wanted;
    while (std::find(taken.begin(), taken.end(), frame.topLeft()) != taken.end()) {
        const QRectF next = frame.translated(cascadeStep, cascadeStep);
        if (!visible.contains(next))
            break;
        frame = next;
    }
    return frame.topLeft();
}

} // namespace quorrin::panelplacement
