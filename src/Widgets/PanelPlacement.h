#pragma once

#include <QPointF>
#include <QRectF>

#include <vector>

namespace quorrin {

// Where the floating panels stand beside a note window. All rectangles are
// in global Qt coordinates (y grows downwards); `visible` is the usable area
// of the note window's screen.
namespace panelplacement {

inline constexpr double gap = 8;    // between a panel and its note window
inline constexpr double margin = 6; // kept free along the screen's edges

// The block menu: left of the note window, or right of it when the left
// side leaves the screen; its top 8 above the top of `anchor`; kept 6 inside
// the visible area (its top edge winning when the panel is too tall).
QPointF blockMenuOrigin(const QRectF& noteWindow, const QRectF& anchor, const QSizeF& panel, const QRectF& visible);

// The format panel.
struct FormatSides {
    bool onLeft = true;     // left of the note window
    double rightEdge = 0;   // the panel's right edge while on the left
    double leftEdge = 0;    // its left edge while on the right
};
inline constexpr double orbWidth = 30;
inline constexpr double barWidth = 230;
inline constexpr double barHeight = 34;
// Left when 236 pt remain between the screen's left edge (with a margin of
// 14) and the note window.
FormatSides formatSides(const QRectF& noteWindow, const QRectF& visible);
// The top of the panel: centred on the anchor, kept 6 inside the visible area.
double formatTop(const QRectF& anchor, const QRectF& visible);
// The panel's frame at a width: it grows away from the note window.
QRectF formatFrame(const FormatSides& sides, double top, double width);
// The parked frame of a hidden panel: the orb's size, left of the window's
// middle, kept inside the visible area.
QRectF parkedFormatFrame(const QRectF& noteWindow, const QRectF& visible);

// A new window that would open exactly where one already stands (`taken`
// holds their origins) moves down and right by `cascadeStep` until it stands
// alone, as long as it stays inside `visible`: two panels never hide each
// other whole.
inline constexpr double cascadeStep = 28;
QPointF cascadedOrigin(const QRectF& wanted, const std::vector<QPointF>& taken, const QRectF& visible);

} // namespace panelplacement
} // namespace quorrin
