#include "Widgets/MenuActionButton.h"

#include "Widgets/Motion.h"

#include <QPainter>
#include <QPainterPath>

namespace quorrin {

MenuActionButton::MenuActionButton(QWidget* parent)
    : HandCursorButton(parent)
    , m_accent(palette().color(QPalette::Highlight))
{
    m_fade.setDuration(backgroundFadeMs);
    m_fade.setEasingCurve(Motion::easeOut());
    connect(&m_fade, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        m_background = value.value<QColor>();
        update();
    });
}

void MenuActionButton::setAccentColor(const QColor& color)
{
    m_accent = color;
    if (isHovered() && !m_hover)
        animateBackground(hoverColor());
}

void MenuActionButton::setRestingBackground(const QColor& color, bool animated)
{
    m_resting = color;
    if (animated) {
        animateBackground(color);
        return;
    }
    m_fade.stop();
    m_background = m_targetBackground = color;
    update();
}

QColor MenuActionButton::hoverColor() const
{
    if (m_hover)
        return *m_hover;
    QColor color = m_accent;
    color.setAlphaF(float(color.alphaF() * hoverAlpha));
    return color;
}

void MenuActionButton::enterEvent(QEnterEvent* event)
{
    HandCursorButton::enterEvent(event);
    animateBackground(hoverColor());
}

void MenuActionButton::leaveEvent(QEvent* event)
{
    HandCursorButton::leaveEvent(event);
    animateBackground(m_resting);
}

void MenuActionButton::focusInEvent(QFocusEvent* event)
{
    HandCursorButton::focusInEvent(event);
    animateBackground(hoverColor());
}

void MenuActionButton::focusOutEvent(QFocusEvent* event)
{
    HandCursorButton::focusOutEvent(event);
    if (!isHovered())
        animateBackground(m_resting);
}

void MenuActionButton::animateBackground(const QColor& color)
{
    m_fade.stop();
    m_targetBackground = color;
    m_fade.setStartValue(m_background);
    m_fade.setEndValue(color);
    m_fade.start();
}

void MenuActionButton::paintContent(QPainter& painter, const QRectF& rect)
{
    if (m_background.alpha() > 0) {
        QPainterPath shape;
        shape.addRoundedRect(rect, m_cornerRadius, m_cornerRadius);
        painter.fillPath(shape, m_background);
    }
    if (m_borderWidth > 0 && m_borderColor.alpha() > 0) {
        const double inset = m_borderWidth / 2;
        painter.setPen(QPen(m_borderColor, m_borderWidth));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(rect.adjusted(inset, inset, -inset, -inset), m_cornerRadius, m_cornerRadius);
    }
    if (!icon().isNull() || text().isEmpty() || (m_alignment == Qt::AlignCenter && !m_textColor)) {
        HandCursorButton::paintContent(painter, rect);
        return;
    }
    painter.setFont(font());
    painter.setPen(m_textColor.value_or(palette().color(QPalette::ButtonText)));
    // A row grown under the pointer reaches past its own edges, where it is
    // cut off: its title stays inside the part still shown, so that a title
    // starting at the edge keeps its first glyph whole.
    const QRectF shown = painter.worldTransform().inverted().mapRect(QRectF(QPointF(0, 0), QSizeF(size())));
    painter.drawText(rect.intersected(shown), int(m_alignment | Qt::AlignVCenter), text());
}

} // namespace quorrin
