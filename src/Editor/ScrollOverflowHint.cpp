#include "Editor/ScrollOverflowHint.h"

#include <QPainter>
#include <QPainterPath>

namespace quorrin {

ScrollOverflowHint::ScrollOverflowHint(QWidget* parent)
    : QWidget(parent)
    , m_paperColor(QColor::fromRgbF(1.0f, 0.97f, 0.82f)) // the cream paper
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAccessibleName(QStringLiteral("上方还有内容"));
    hide();
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
    QPainterPath shape;
    shape.addRoundedRect(r, 9, 9);
    QColor fill = m_paperColor;
    fill.setAlphaF(0.97f);
    painter.fillPath(shape, fill);
    QColor stroke = palette().color(QPalette::Mid);
    stroke.setAlphaF(0.45f);
    painter.setPen(QPen(stroke, 0.5));
    painter.drawPath(shape);

    QFont font = this->font();
    font.setPointSizeF(9.5);
    font.setWeight(QFont::Medium);
    painter.setFont(font);
    painter.setPen(palette().color(QPalette::PlaceholderText));
    painter.drawText(rect(), Qt::AlignCenter, text);
}

} // namespace quorrin
