#include "Widgets/NoteIcons.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPathStroker>
#include <QPixmap>
#include <QPixmapCache>

#include <initializer_list>

namespace quorrin::NoteIcons {

namespace {

// Strokes are described in a unit square and mapped onto the box.
class Sketch {
public:
    explicit Sketch(const QRectF& box) : box_(box) {}

    QPointF at(double x, double y) const
    {
        return {box_.x() + x * box_.width(), box_.y() + y * box_.height()};
    }

    void polyline(std::initializer_list<QPointF> unitPoints)
    {
        bool first = true;
        for (const QPointF& p : unitPoints) {
            if (first)
                strokes_.moveTo(at(p.x(), p.y()));
            else
                strokes_.lineTo(at(p.x(), p.y()));
            first = false;
        }
    }

    void roundedRect(double x, double y, double w, double h, double radius)
    {
        strokes_.addRoundedRect(QRectF(at(x, y), at(x + w, y + h)), radius * box_.width(),
                                radius * box_.height());
    }

    void dot(double x, double y, double radius)
    {
        fills_.addEllipse(at(x, y), radius * box_.width(), radius * box_.height());
    }

    QPainterPath outline(double lineWidth) const
    {
        QPainterPathStroker stroker;
        stroker.setWidth(lineWidth);
        stroker.setCapStyle(Qt::RoundCap);
        stroker.setJoinStyle(Qt::RoundJoin);
        QPainterPath result = stroker.createStroke(strokes_).united(fills_);
        result.setFillRule(Qt::WindingFill);
        return result;
    }

private:
    QRectF box_;
    QPainterPath strokes_;
    QPainterPath fills_;
};

class SymbolIconEngine final : public QIconEngine {
public:
    explicit SymbolIconEngine(NoteSymbol symbol) : symbol_(symbol) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override
    {
        const double side = std::min(rect.width(), rect.height());
        const QRectF box(rect.x() + (rect.width() - side) / 2, rect.y() + (rect.height() - side) / 2,
                         side, side);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(Qt::NoPen);
        painter->setBrush(Qt::black);
        // A medium-weight line: about a ninth of the symbol's size.
        const double inset = side * 0.08;
        painter->drawPath(path(symbol_, box.adjusted(inset, inset, -inset, -inset), side / 9));
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return scaledPixmap(size, mode, state, 1);
    }

    // Every note's header draws the same few symbols at the same sizes: each
    // is drawn once and kept in the toolkit's pixmap cache. The drawing
    // depends on nothing but the symbol, the size and the scale (it is black;
    // buttons tint a copy).
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override
    {
        const QString key = pixmapCacheKey(symbol_, size, scale);
        QPixmap pixmap;
        if (QPixmapCache::find(key, &pixmap))
            return pixmap;
        pixmap = draw(size, mode, state, scale);
        QPixmapCache::insert(key, pixmap);
        return pixmap;
    }

    QIconEngine* clone() const override { return new SymbolIconEngine(symbol_); }

private:
    QPixmap draw(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale)
    {
        QPixmap pixmap(size * scale);
        pixmap.setDevicePixelRatio(scale);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pixmap;
    }

    NoteSymbol symbol_;
};

} // namespace

QPainterPath path(NoteSymbol symbol, const QRectF& box, double lineWidth)
{
    Sketch s(box);
    switch (symbol) {
    case NoteSymbol::ArrowUpToLine:
        s.polyline({{0.15, 0.08}, {0.85, 0.08}});
        s.polyline({{0.5, 0.95}, {0.5, 0.3}});
        s.polyline({{0.24, 0.56}, {0.5, 0.3}, {0.76, 0.56}});
        break;
    case NoteSymbol::ArrowDownToLine:
        s.polyline({{0.15, 0.92}, {0.85, 0.92}});
        s.polyline({{0.5, 0.05}, {0.5, 0.7}});
        s.polyline({{0.24, 0.44}, {0.5, 0.7}, {0.76, 0.44}});
        break;
    case NoteSymbol::RectangleExpandVertical:
        s.roundedRect(0.08, 0.32, 0.84, 0.36, 0.08);
        s.polyline({{0.5, 0.22}, {0.5, 0.0}});
        s.polyline({{0.38, 0.11}, {0.5, 0.0}, {0.62, 0.11}});
        s.polyline({{0.5, 0.78}, {0.5, 1.0}});
        s.polyline({{0.38, 0.89}, {0.5, 1.0}, {0.62, 0.89}});
        break;
    case NoteSymbol::RectangleCompressVertical:
        s.roundedRect(0.08, 0.38, 0.84, 0.24, 0.06);
        s.polyline({{0.5, 0.0}, {0.5, 0.24}});
        s.polyline({{0.38, 0.13}, {0.5, 0.24}, {0.62, 0.13}});
        s.polyline({{0.5, 1.0}, {0.5, 0.76}});
        s.polyline({{0.38, 0.87}, {0.5, 0.76}, {0.62, 0.87}});
        break;
    case NoteSymbol::Ellipsis:
        s.dot(0.16, 0.5, 0.085);
        s.dot(0.5, 0.5, 0.085);
        s.dot(0.84, 0.5, 0.085);
        break;
    case NoteSymbol::NoteText:
        s.roundedRect(0.12, 0.06, 0.76, 0.88, 0.12);
        s.polyline({{0.3, 0.32}, {0.7, 0.32}});
        s.polyline({{0.3, 0.5}, {0.7, 0.5}});
        s.polyline({{0.3, 0.68}, {0.56, 0.68}});
        break;
    case NoteSymbol::XMark:
        s.polyline({{0.2, 0.2}, {0.8, 0.8}});
        s.polyline({{0.8, 0.2}, {0.2, 0.8}});
        break;
    }
    return s.outline(lineWidth);
}

QString pixmapCacheKey(NoteSymbol symbol, const QSize& size, qreal scale)
{
    return QStringLiteral("quorrin-symbol:%1:%2x%3@%4")
        .arg(int(symbol))
        .arg(size.width())
        .arg(size.height())
        .arg(scale);
}

QIcon icon(NoteSymbol symbol)
{
    return QIcon(new SymbolIconEngine(symbol));
}

} // namespace quorrin::NoteIcons
