#include "Widgets/BusySpinner.h"

#include <QPainter>

namespace quorrin {

BusySpinner::BusySpinner(QWidget* parent)
    : QWidget(parent)
    , m_color(palette().color(QPalette::WindowText))
{
    setFixedSize(sizeHint());
    m_timer.setInterval(frameMs);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_angle = (m_angle + degreesPerFrame) % 360;
        update();
    });
}

void BusySpinner::setColor(const QColor& color)
{
    m_color = color;
    update();
}

void BusySpinner::start()
{
    m_timer.start();
}

void BusySpinner::stop()
{
    m_timer.stop();
}

void BusySpinner::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double line = 1.6;
    const QRectF box = QRectF(rect()).adjusted(line, line, -line, -line);
    QColor track = m_color;
    track.setAlphaF(0.2f);
    painter.setPen(QPen(track, line));
    painter.drawEllipse(box);
    painter.setPen(QPen(m_color, line, Qt::SolidLine, Qt::RoundCap));
    // Qt counts sixteenths of a degree, anticlockwise from three o'clock.
    painter.drawArc(box, -m_angle * 16, 100 * 16);
}

} // namespace quorrin
