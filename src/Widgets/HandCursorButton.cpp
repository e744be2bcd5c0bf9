#include "Widgets/HandCursorButton.h"

#include "Platform/SystemAppearance.h"
#include "Platform/TextStyleConversion.h"
#include "Widgets/Motion.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

namespace quorrin {

namespace {
constexpr double hoverScale = 1.05;
constexpr double pressScale = 0.94;
constexpr int scaleDurationMs = 100;

bool isMouseButtonEvent(QEvent::Type type)
{
    return type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease
        || type == QEvent::MouseButtonDblClick;
}

QPixmap tinted(const QPixmap& source, const QColor& tint)
{
    QPixmap result = source;
    QPainter painter(&result);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(result.rect(), tint);
    return result;
}
} // namespace

HandCursorButton::HandCursorButton(QWidget* parent)
    : QAbstractButton(parent)
{
    // A click on a button must not pull the focus out of the note's text.
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_Hover);
    updateCursor();
}

void HandCursorButton::setTintColor(std::optional<DynamicColor> color)
{
    tint_ = color;
    update();
}

QSize HandCursorButton::sizeHint() const
{
    return {26, 28};
}

bool HandCursorButton::event(QEvent* event)
{
    if (!isEnabled() && isMouseButtonEvent(event->type())) {
        event->accept();
        return true;
    }
    return QAbstractButton::event(event);
}

void HandCursorButton::enterEvent(QEnterEvent* event)
{
    hovered_ = true;
    if (isEnabled())
        animateScale(hoverScale);
    QAbstractButton::enterEvent(event);
}

void HandCursorButton::leaveEvent(QEvent* event)
{
    hovered_ = false;
    if (isEnabled())
        animateScale(1);
    QAbstractButton::leaveEvent(event);
}

void HandCursorButton::mousePressEvent(QMouseEvent* event)
{
    if (isEnabled() && event->button() == Qt::LeftButton)
        animateScale(pressScale);
    QAbstractButton::mousePressEvent(event);
}

void HandCursorButton::mouseReleaseEvent(QMouseEvent* event)
{
    QAbstractButton::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton)
        animateScale(hovered_ && isEnabled() ? hoverScale : 1);
}

void HandCursorButton::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange)
        update();
    if (event->type() == QEvent::EnabledChange) {
        updateCursor();
        if (!isEnabled()) {
            if (scaleAnimation_)
                scaleAnimation_->stop();
            scale_ = targetScale_ = 1;
            update();
        }
    }
    QAbstractButton::changeEvent(event);
}

void HandCursorButton::updateCursor()
{
    setCursor(isEnabled() ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void HandCursorButton::animateScale(double scale)
{
    targetScale_ = scale;
    if (!scaleAnimation_) {
        scaleAnimation_ = std::make_unique<QVariantAnimation>();
        scaleAnimation_->setDuration(scaleDurationMs);
        scaleAnimation_->setEasingCurve(Motion::easeOut());
        connect(scaleAnimation_.get(), &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
            scale_ = value.toDouble();
            update();
        });
    }
    scaleAnimation_->stop();
    scaleAnimation_->setStartValue(scale_);
    scaleAnimation_->setEndValue(scale);
    scaleAnimation_->start();
}

void HandCursorButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF bounds = rect();
    painter.translate(bounds.center());
    painter.scale(scale_, scale_);
    painter.translate(-bounds.center());
    if (!isEnabled())
        painter.setOpacity(0.4);
    paintContent(painter, bounds);
}

void HandCursorButton::paintContent(QPainter& painter, const QRectF& rect)
{
    if (!icon().isNull()) {
        const QSize size = iconSize();
        QPixmap pixmap = icon().pixmap(size, devicePixelRatioF());
        if (tint_)
            pixmap = tinted(pixmap, toQColor(*tint_, SystemAppearance::of(palette())));
        const QRectF target(rect.center() - QPointF(size.width() / 2.0, size.height() / 2.0),
                            QSizeF(size));
        painter.drawPixmap(target, pixmap, QRectF(pixmap.rect()));
        return;
    }
    if (!text().isEmpty()) {
        painter.setPen(tint_ ? toQColor(*tint_, SystemAppearance::of(palette()))
                             : palette().color(QPalette::ButtonText));
        painter.drawText(rect, Qt::AlignCenter, text());
    }
}

} // namespace quorrin
