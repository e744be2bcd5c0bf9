#include "Windows/NoteBackground.h"

#include "Platform/SystemAppearance.h"
#include "Platform/TextStyleConversion.h"
#include "Widgets/Motion.h"
#include "Windows/NoteBackgroundGeometry.h"

#include <QCursor>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace quorrin {

namespace {
constexpr int appearDurationMs = 220;
constexpr int disappearDurationMs = 160;
constexpr double appearScaleFrom = 0.68;
constexpr double disappearScaleTo = 0.62;
constexpr double shadowRadius = 3;
} // namespace

NoteBackground::NoteBackground(QWidget* parent)
    : QWidget(parent)
    , color_(noteColor::color(NoteColor::Cream))
    , accentColor_(noteColor::theme(NoteColor::Cream).accent)
{
    setAcceptDrops(true);
    pillAnimation_.setEasingCurve(Motion::easeOut());
    pillAnimation_.setStartValue(0.0);
    pillAnimation_.setEndValue(1.0);
}

void NoteBackground::setColor(const DynamicColor& color)
{
    color_ = color;
    update();
}

void NoteBackground::setAccentColor(const DynamicColor& color)
{
    accentColor_ = color;
    updatePrimaryAccent(false);
}

void NoteBackground::setOpacity(double opacity)
{
    opacity_ = opacity;
    update();
}

void NoteBackground::setSnapEdge(std::optional<DockEdge> edge)
{
    if (edge == snapEdge_)
        return;
    snapEdge_ = edge;
    update();
}

void NoteBackground::setSnapStrength(double strength)
{
    if (strength == snapStrength_)
        return;
    snapStrength_ = strength;
    update();
}

void NoteBackground::setPrimary(bool primary)
{
    if (primary == isPrimary_)
        return;
    isPrimary_ = primary;
    // A window not shown yet has no accent to animate from: it appears with
    // its role's accent in place, painted once.
    updatePrimaryAccent(isVisible());
}

bool NoteBackground::isPrimaryAccentAnimating() const
{
    return pillAnimation_.state() == QAbstractAnimation::Running;
}

void NoteBackground::updatePrimaryAccent(bool animated)
{
    const double target = isPrimary_ ? 1 : 0;
    pillAnimation_.stop();
    pillAnimation_.disconnect(this);
    const bool reduced = prefersReducedMotion && prefersReducedMotion();
    if (animated && !reduced) {
        const double fromOpacity = pillOpacity_;
        const double fromScale = isPrimary_ ? appearScaleFrom : 1;
        const double toScale = isPrimary_ ? 1 : disappearScaleTo;
        pillAnimation_.setDuration(isPrimary_ ? appearDurationMs : disappearDurationMs);
        connect(&pillAnimation_, &QVariantAnimation::valueChanged, this,
                [this, fromOpacity, target, fromScale, toScale](const QVariant& value) {
                    const double t = value.toDouble();
                    pillOpacity_ = Motion::lerp(fromOpacity, target, t);
                    pillScaleX_ = Motion::lerp(fromScale, toScale, t);
                    update();
                });
        connect(&pillAnimation_, &QVariantAnimation::finished, this, [this, target] {
            pillOpacity_ = target;
            pillScaleX_ = 1;
            update();
        });
        pillAnimation_.start();
        return;
    }
    pillOpacity_ = target;
    pillScaleX_ = 1;
    update();
}

void NoteBackground::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor paper = toQColor(color_, SystemAppearance::of(palette()));
    paper.setAlphaF(composited_ ? float(paper.alphaF() * opacity_) : 1.0f);
    // The paper is the bottom layer of a window that starts out clear:
    // copying it in gives the same pixels as blending it, at a fraction of
    // the cost.
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(rect(), paper);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (drawsEdge()) {
        // One device pixel wide, on the outermost pixels of the window.
        const double inset = 0.5 / devicePixelRatioF();
        QPen edge(edgeColor(paper), 0);
        painter.setPen(edge);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset));
    }
    paintFeedbackLine(painter);
    paintPrimaryPill(painter);
}

void NoteBackground::setComposited(bool composited)
{
    if (composited_ == composited)
        return;
    composited_ = composited;
    update();
}

QColor NoteBackground::edgeColor(const QColor& paper)
{
    QColor edge = paper.darker(118);
    edge.setAlphaF(paper.alphaF());
    return edge;
}

void NoteBackground::paintFeedbackLine(QPainter& painter)
{
    const auto line = NoteBackgroundGeometry::feedbackLine(size(), snapEdge_, snapStrength_);
    if (!line)
        return;
    const QColor accent = toQColor(SystemColor::controlAccent(), SystemAppearance::of(palette()));
    const double strength = std::min(snapStrength_, 1.0);
    // A soft glow under the line stands in for a shadow of radius 3.
    for (int ring = 3; ring >= 1; --ring) {
        QColor glow = accent;
        glow.setAlphaF(float(strength * 0.3 / 3));
        painter.setPen(QPen(glow, 2 + 2 * shadowRadius * ring / 3, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(*line);
    }
    QColor stroke = accent;
    stroke.setAlphaF(float(strength * 0.7));
    painter.setPen(QPen(stroke, 2, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(*line);
}

void NoteBackground::paintPrimaryPill(QPainter& painter)
{
    if (pillOpacity_ <= 0)
        return;
    QRectF pill = NoteBackgroundGeometry::primaryPill(size());
    const double scaledWidth = pill.width() * pillScaleX_;
    pill.setX(pill.center().x() - scaledWidth / 2);
    pill.setWidth(scaledWidth);
    QPainterPath path;
    path.addRoundedRect(pill, NoteBackgroundGeometry::primaryPillRadius,
                        NoteBackgroundGeometry::primaryPillRadius);
    painter.save();
    painter.setOpacity(pillOpacity_);
    painter.fillPath(path, toQColor(accentColor_, SystemAppearance::of(palette())));
    painter.restore();
}

void NoteBackground::mousePressEvent(QMouseEvent* event)
{
    if (NoteBackgroundGeometry::inDragStrip(event->position())) {
        if (onWindowDrag)
            onWindowDrag(event);
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void NoteBackground::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange)
        update();
    QWidget::changeEvent(event);
}

void NoteBackground::dragEnterEvent(QDragEnterEvent* event)
{
    if (FileDropRouter::files(*event->mimeData()).isEmpty()) {
        event->ignore();
        return;
    }
    FileDragRouting::answer(*event, FileDragRouting::enter(dropRouter, *event->mimeData()));
}

void NoteBackground::dragMoveEvent(QDragMoveEvent* event)
{
    if (FileDropRouter::files(*event->mimeData()).isEmpty()) {
        event->ignore();
        return;
    }
    FileDragRouting::answer(*event, FileDragRouting::move(dropRouter, *event->mimeData(), *this,
                                                          event->position()));
}

void NoteBackground::dragLeaveEvent(QDragLeaveEvent* event)
{
    FileDragRouting::leave(dropRouter, QCursor::pos());
    event->accept();
}

void NoteBackground::dropEvent(QDropEvent* event)
{
    const QList<QUrl> files = FileDropRouter::files(*event->mimeData());
    const bool accepted = !files.isEmpty()
        && FileDragRouting::perform(dropRouter, files, *this, event->position());
    FileDragRouting::answer(*event, accepted ? Qt::CopyAction : Qt::IgnoreAction);
}

} // namespace quorrin
