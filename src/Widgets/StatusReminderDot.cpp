#include "Widgets/StatusReminderDot.h"

#include <QColor>
#include <QPainter>
#include <QPen>
#include <QPixmap>

namespace quorrin {
namespace {

QColor toColor(const Rgba& rgba)
{
    return QColor::fromRgbF(float(rgba.red), float(rgba.green), float(rgba.blue), float(rgba.alpha));
}

} // namespace

QRectF StatusReminderDot::dotRect(const QRectF& bounds)
{
    const double scale = bounds.height() / referenceExtent;
    return QRectF(bounds.right() - 9 * scale, bounds.top() + 2 * scale, 7 * scale, 7 * scale);
}

void StatusReminderDot::draw(QPainter& painter, const QRectF& bounds, Appearance appearance) const
{
    if (!noteColor)
        return;
    const QColor fill = toColor(noteColor::theme(*noteColor).accent.resolved(appearance)).toRgb();
    if (!fill.isValid())
        return;
    const QRectF dot = dotRect(bounds);
    const double scale = bounds.height() / referenceExtent;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawEllipse(dot);
    const double inset = 0.4 * scale;
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(255, 255, 255, qRound(0.45 * 255)), 0.8 * scale));
    painter.drawEllipse(dot.adjusted(inset, inset, -inset, -inset));
    painter.restore();
}

QIcon StatusReminderDot::decorate(const QIcon& base, Appearance appearance) const
{
    if (!noteColor)
        return base;
    QIcon decorated;
    for (const int extent : {16, 22, 24, 32, 48, 64}) {
        QPixmap pixmap = base.pixmap(QSize(extent, extent));
        if (pixmap.isNull()) {
            pixmap = QPixmap(extent, extent);
            pixmap.fill(Qt::transparent);
        }
        QPainter painter(&pixmap);
        draw(painter, QRectF(QPointF(0, 0), pixmap.deviceIndependentSize()), appearance);
        painter.end();
        decorated.addPixmap(pixmap);
    }
    return decorated;
}

} // namespace quorrin
