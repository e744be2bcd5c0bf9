#include "Editor/ArchiveStrip.h"

#include <QEasingCurve>
#include <QPainter>
#include <QRandomGenerator>

#include <algorithm>
#include <cmath>

namespace quorrin {
namespace archivestrip {
namespace {

double bezier(double x1, double y1, double x2, double y2, double t)
{
    QEasingCurve curve(QEasingCurve::BezierSpline);
    curve.addCubicBezierSegment(QPointF(x1, y1), QPointF(x2, y2), QPointF(1, 1));
    return curve.valueForProgress(std::clamp(t, 0.0, 1.0));
}

} // namespace

Geometry geometry(const QRectF& row, double bottom, double width, double visibleBottom)
{
    const QRectF strip(0, row.top() - 2, width, bottom - row.top() + 11);
    const QRectF below(0, strip.bottom(), width, std::max(visibleBottom - strip.bottom(), 0.0));
    return Geometry{strip, below};
}

int sliverCount(double stripWidth)
{
    return std::clamp(int(stripWidth / 3), 20, 90);
}

QRectF sliverFrame(int index, int count, const QSizeF& strip)
{
    const double share = strip.width() / count;
    return QRectF(share * index, 0, share + 0.5, strip.height());
}

QRectF sliverSource(int index, int count, const QSizeF& snapshotPixels)
{
    const double share = snapshotPixels.width() / count;
    return QRectF(share * index, 0, share, snapshotPixels.height());
}

double easeInOut(double t)
{
    return bezier(0.42, 0, 0.58, 1, t);
}

double easeOut(double t)
{
    return bezier(0, 0, 0.58, 1, t);
}

} // namespace archivestrip

ArchiveStripView::ArchiveStripView(QWidget* parent, const archivestrip::Geometry& geometry, QPixmap stripSnapshot,
                                   QPixmap belowSnapshot, QColor paper)
    : QWidget(parent)
    , m_stripSnapshot(std::move(stripSnapshot))
    , m_belowSnapshot(std::move(belowSnapshot))
    , m_paper(paper)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    // The slivers fly a little beyond the strip: the view leaves room for them.
    const QRectF area = geometry.strip.united(geometry.below).adjusted(-20, -24, 20, 16);
    const QRect frame = area.toAlignedRect().intersected(parent ? parent->rect() : area.toAlignedRect());
    setGeometry(frame);
    m_strip = geometry.strip.translated(-frame.topLeft());
    m_below = geometry.below.translated(-frame.topLeft());

    const int count = archivestrip::sliverCount(geometry.strip.width());
    QRandomGenerator* random = QRandomGenerator::system();
    for (int i = 0; i < count; ++i)
        m_scatter.emplace_back(random->generateDouble() * 36 - 18, random->generateDouble() * 36 - 22);

    m_clock.start();
    m_frames.setInterval(1000 / 60);
    connect(&m_frames, &QTimer::timeout, this, qOverload<>(&QWidget::update));
    m_frames.start();
    QTimer::singleShot(archivestrip::cleanupMs, this, &QObject::deleteLater);
    raise();
    show();
}

double ArchiveStripView::elapsed() const
{
    return double(m_clock.nsecsElapsed()) / 1e9;
}

void ArchiveStripView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const double t = elapsed();
    if (t < archivestrip::belowShownFor) {
        // The paper hides the text that has already moved up underneath.
        const QRectF covered = m_strip.united(m_below);
        painter.fillRect(covered, m_paper);
        if (!m_belowSnapshot.isNull()) {
            const double moved = archivestrip::easeInOut(t / archivestrip::slideDuration) * m_strip.height();
            painter.save();
            painter.setClipRect(covered);
            painter.drawPixmap(m_below.translated(0, -moved), m_belowSnapshot, QRectF(m_belowSnapshot.rect()));
            painter.restore();
        }
    }
    if (m_stripSnapshot.isNull() || t >= archivestrip::sliverDuration)
        return;
    const double progress = archivestrip::easeOut(t / archivestrip::sliverDuration);
    painter.setOpacity(1 - progress);
    const int count = int(m_scatter.size());
    const QSizeF pixels = m_stripSnapshot.size();
    for (int i = 0; i < count; ++i) {
        const QRectF frame = archivestrip::sliverFrame(i, count, m_strip.size())
                                 .translated(m_strip.topLeft() + m_scatter[std::size_t(i)] * progress);
        painter.drawPixmap(frame, m_stripSnapshot, archivestrip::sliverSource(i, count, pixels));
    }
}

} // namespace quorrin
