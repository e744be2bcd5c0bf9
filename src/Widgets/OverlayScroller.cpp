#include "Widgets/OverlayScroller.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>

#include <algorithm>

namespace quorrin {
namespace overlayscroller {

QRectF knobRect(double trackWidth, double trackHeight, double visibleHeight, double contentHeight, double offset,
                double minimumKnob)
{
    if (trackHeight <= 0 || visibleHeight <= 0 || contentHeight <= visibleHeight)
        return {};
    const double length = std::clamp(trackHeight * visibleHeight / contentHeight, std::min(minimumKnob, trackHeight),
                                     trackHeight);
    const double scrollable = contentHeight - visibleHeight;
    const double share = std::clamp(offset / scrollable, 0.0, 1.0);
    return QRectF(0, (trackHeight - length) * share, trackWidth, length);
}

double offsetForKnobTop(double knobTop, double trackHeight, double visibleHeight, double contentHeight,
                        double minimumKnob)
{
    const QRectF knob = knobRect(1, trackHeight, visibleHeight, contentHeight, 0, minimumKnob);
    const double travel = trackHeight - knob.height();
    if (knob.isEmpty() || travel <= 0)
        return 0;
    return std::clamp(knobTop / travel, 0.0, 1.0) * (contentHeight - visibleHeight);
}

} // namespace overlayscroller

OverlayScroller::OverlayScroller(QAbstractScrollArea* area)
    : QWidget(area)
    , m_area(area)
{
    setAttribute(Qt::WA_NoSystemBackground);
    setCursor(Qt::ArrowCursor);
    area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area->installEventFilter(this);
    // The view narrows when the area keeps margins around it.
    area->viewport()->installEventFilter(this);
    m_rest.setSingleShot(true);
    connect(&m_rest, &QTimer::timeout, this, [this] {
        if (!m_hovered && !m_dragOffset)
            hide();
    });
    connect(bar(), &QScrollBar::valueChanged, this, &OverlayScroller::flash);
    connect(bar(), &QScrollBar::rangeChanged, this, [this] {
        if (!isScrollable())
            hide();
        update();
    });
    hide();
    place();
}

QScrollBar* OverlayScroller::bar() const
{
    return m_area->verticalScrollBar();
}

void OverlayScroller::setKnobColor(const QColor& color)
{
    if (m_knobColor == color)
        return;
    m_knobColor = color;
    update();
}

bool OverlayScroller::isScrollable() const
{
    return m_area && bar()->maximum() > bar()->minimum();
}

void OverlayScroller::flash()
{
    if (!isScrollable()) {
        hide();
        return;
    }
    place();
    show();
    raise();
    update();
    restLater();
}

void OverlayScroller::restLater()
{
    m_rest.start(restDelayMs);
}

void OverlayScroller::place()
{
    if (!m_area)
        return;
    const QRect view = m_area->viewport()->geometry();
    setGeometry(view.right() + 1 - thickness, view.top(), thickness, view.height());
}

QRectF OverlayScroller::knob() const
{
    const QScrollBar* scrollBar = bar();
    const double visible = scrollBar->pageStep();
    const double content = visible + scrollBar->maximum() - scrollBar->minimum();
    return overlayscroller::knobRect(width(), height() - 4, visible, content, scrollBar->value() - scrollBar->minimum())
        .translated(0, 2);
}

bool OverlayScroller::eventFilter(QObject* watched, QEvent* event)
{
    // The area is looked at for geometry events only: the others include
    // those it sends while it is being destroyed, when it is no longer one.
    const QEvent::Type type = event->type();
    if (type != QEvent::Resize && type != QEvent::LayoutRequest && type != QEvent::Move)
        return QWidget::eventFilter(watched, event);
    const bool areaChanged = watched == m_area && type != QEvent::Move;
    const bool viewportChanged = m_area && watched == m_area->viewport() && type != QEvent::LayoutRequest;
    if (areaChanged || viewportChanged)
        place();
    return QWidget::eventFilter(watched, event);
}

void OverlayScroller::paintEvent(QPaintEvent*)
{
    const QRectF area = knob();
    if (area.isEmpty())
        return;
    const double inset = m_hovered || m_dragOffset ? 2 : 3;
    const QRectF shape = area.adjusted(inset, 0, -2, 0);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.addRoundedRect(shape, shape.width() / 2, shape.width() / 2);
    painter.fillPath(path, m_knobColor);
}

void OverlayScroller::mousePressEvent(QMouseEvent* event)
{
    const QRectF area = knob();
    const double y = event->position().y();
    if (area.isEmpty())
        return;
    if (area.contains(QPointF(area.center().x(), y))) {
        m_dragOffset = y - area.top();
    } else {
        // A click in the track pages towards the pointer.
        bar()->triggerAction(y < area.top() ? QAbstractSlider::SliderPageStepSub : QAbstractSlider::SliderPageStepAdd);
    }
    update();
}

void OverlayScroller::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_dragOffset)
        return;
    const QScrollBar* scrollBar = bar();
    const double visible = scrollBar->pageStep();
    const double content = visible + scrollBar->maximum() - scrollBar->minimum();
    const double offset =
        overlayscroller::offsetForKnobTop(event->position().y() - *m_dragOffset - 2, height() - 4, visible, content);
    bar()->setValue(scrollBar->minimum() + int(std::lround(offset)));
}

void OverlayScroller::mouseReleaseEvent(QMouseEvent*)
{
    m_dragOffset.reset();
    update();
    restLater();
}

void OverlayScroller::enterEvent(QEnterEvent*)
{
    m_hovered = true;
    m_rest.stop();
    update();
}

void OverlayScroller::leaveEvent(QEvent*)
{
    m_hovered = false;
    update();
    restLater();
}

} // namespace quorrin
