#include "Editor/GutterSymbols.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace quorrin::gutterSymbols {
namespace {

// The symbol in a unit square: strokes (drawn with round caps) and fills.
struct Shape {
    QPainterPath strokes;
    QPainterPath fills;
    double lineWidth = 0.11; // of the square's side
};

Shape shape(GutterSymbol symbol)
{
    Shape s;
    switch (symbol) {
    case GutterSymbol::Checkmark:
        s.strokes.moveTo(0.18, 0.52);
        s.strokes.lineTo(0.42, 0.76);
        s.strokes.lineTo(0.84, 0.24);
        s.lineWidth = 0.14;
        break;
    case GutterSymbol::ChevronRight:
        s.strokes.moveTo(0.38, 0.18);
        s.strokes.lineTo(0.68, 0.5);
        s.strokes.lineTo(0.38, 0.82);
        s.lineWidth = 0.13;
        break;
    case GutterSymbol::ChevronDown:
        s.strokes.moveTo(0.18, 0.36);
        s.strokes.lineTo(0.5, 0.66);
        s.strokes.lineTo(0.82, 0.36);
        s.lineWidth = 0.13;
        break;
    case GutterSymbol::ArchiveBox:
        s.strokes.addRoundedRect(QRectF(0.1, 0.16, 0.8, 0.2), 0.04, 0.04);
        s.strokes.addRoundedRect(QRectF(0.16, 0.36, 0.68, 0.5), 0.05, 0.05);
        s.strokes.moveTo(0.4, 0.53);
        s.strokes.lineTo(0.6, 0.53);
        s.lineWidth = 0.09;
        break;
    case GutterSymbol::BellFill:
        s.fills.moveTo(0.5, 0.08);
        s.fills.cubicTo(0.3, 0.08, 0.22, 0.26, 0.22, 0.44);
        s.fills.lineTo(0.22, 0.64);
        s.fills.lineTo(0.1, 0.78);
        s.fills.lineTo(0.9, 0.78);
        s.fills.lineTo(0.78, 0.64);
        s.fills.lineTo(0.78, 0.44);
        s.fills.cubicTo(0.78, 0.26, 0.7, 0.08, 0.5, 0.08);
        s.fills.addEllipse(QPointF(0.5, 0.86), 0.1, 0.08);
        break;
    case GutterSymbol::ThreeLines:
        for (const double y : {0.25, 0.5, 0.75}) {
            s.strokes.moveTo(0.14, y);
            s.strokes.lineTo(0.86, y);
        }
        s.lineWidth = 0.1;
        break;
    }
    return s;
}

} // namespace

void draw(QPainter& painter, GutterSymbol symbol, const QRectF& box, const QColor& color, double opacity)
{
    if (box.width() < 1 || box.height() < 1)
        return;
    const Shape s = shape(symbol);
    const double side = std::min(box.width(), box.height());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(box.center().x() - side / 2, box.center().y() - side / 2);
    painter.scale(side, side);
    painter.setOpacity(painter.opacity() * opacity);
    if (!s.strokes.isEmpty()) {
        QPen pen(color, s.lineWidth);
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(s.strokes);
    }
    if (!s.fills.isEmpty()) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(color);
        painter.drawPath(s.fills);
    }
    painter.restore();
}

} // namespace quorrin::gutterSymbols
