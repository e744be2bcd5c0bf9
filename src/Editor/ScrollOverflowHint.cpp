#include "Editor/ScrollOverflowHint.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace quorrin {

ScrollOverflowHint::ScrollOverflowHint(QWidget* parent)
    : QWidget(parent)
    , m_paperColor(QColor::fromRgbF(1.0f, 0.97f, 0.82f)) // the cream paper
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAccessibleName(QStringLiteral("上方还有内容"));
    QFont small = font();
    small.setPointSizeF(9.5);
    small.setWeight(QFont::Medium);
    setFont(small);
    resize(sizeHint());
    hide();
}

QSize ScrollOverflowHint::sizeHint() const
{
    const QFontMetricsF metrics(font());
    return QSize(int(std::ceil(metrics.horizontalAdvance(text))) + 2 * horizontalPadding,
                 int(std::ceil(metrics.height())) + 2 * verticalPadding);
}

void ScrollOverflowHint::setPaperColor(const QColor& color)
{
    if (m_paperColor == color)
        return;
    m_paperColor = color;
    update();
}

void ScrollOverflowHint::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const double radius = std::min(9.0, r.height() / 2);
    QPainterPath shape;
    shape.addRoundedRect(r, radius, radius);
    QColor fill = m_paperColor;
    fill.setAlphaF(0.97f);
    painter.fillPath(shape, fill);
    QColor stroke = palette().color(QPalette::Mid);
    stroke.setAlphaF(0.45f);
    painter.setPen(QPen(stroke, 0.5));
    painter.drawPath(shape);

    painter.setFont(font());
    painter.setPen(palette().color(QPalette::PlaceholderText));
    painter.drawText(rect(), Qt::AlignCenter, text);
}

} // namespace quorrin
