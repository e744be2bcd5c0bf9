#include "Widgets/ThemedSurfaceView.h"

#include "Platform/SystemAppearance.h"
#include "Platform/TextStyleConversion.h"

#include <QEvent>
#include <QPainter>
#include <QPainterPath>

namespace quorrin {

ThemedSurfaceView::ThemedSurfaceView(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
    applyTheme();
}

void ThemedSurfaceView::setTheme(const NoteTheme& theme)
{
    m_theme = theme;
    applyTheme();
}

void ThemedSurfaceView::setCornerRadius(double radius)
{
    m_cornerRadius = radius;
    if (m_drawnCornerRadius == radius)
        return;
    m_drawnCornerRadius = radius;
    update();
}

void ThemedSurfaceView::applyTheme()
{
    const Appearance appearance = SystemAppearance::of(palette());
    m_background = toQColor(m_theme.surface, appearance);
    m_border = toQColor(m_theme.surfaceBorder, appearance);
    update();
}

void ThemedSurfaceView::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        applyTheme();
}

void ThemedSurfaceView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF bounds = QRectF(rect()).adjusted(borderWidth / 2, borderWidth / 2, -borderWidth / 2, -borderWidth / 2);
    QPainterPath outline;
    outline.addRoundedRect(bounds, m_drawnCornerRadius, m_drawnCornerRadius);
    painter.fillPath(outline, m_background);
    painter.setPen(QPen(m_border, borderWidth));
    painter.drawPath(outline);
}

} // namespace quorrin
