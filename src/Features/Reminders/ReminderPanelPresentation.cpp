#include "Features/Reminders/ReminderPanel.h"

#include "Editor/BlockEditor.h"
#include "Editor/BlockTextView.h"
#include "Features/Reminders/ReminderPanelLayout.h"
#include "Platform/WindowLevel.h"
#include "Widgets/MenuActionButton.h"
#include "Widgets/Motion.h"
#include "Widgets/ThemedSurfaceView.h"
#include "Windows/DesktopWindowPolicy.h"

#include <QApplication>
#include <QDateTimeEdit>
#include <QGraphicsOpacityEffect>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QScreen>
#include <QTimer>
#include <QVariantAnimation>
#include <QWindow>

#include <cmath>

namespace quorrin {
namespace {

bool isEscape(const QEvent* event)
{
    return (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride)
        && static_cast<const QKeyEvent*>(event)->key() == Qt::Key_Escape;
}

bool isMousePress(const QEvent* event)
{
    if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonDblClick)
        return false;
    const auto button = static_cast<const QMouseEvent*>(event)->button();
    return button == Qt::LeftButton || button == Qt::RightButton;
}

int milliseconds(double seconds)
{
    return int(std::lround(seconds * 1000));
}

} // namespace

// ---------------------------------------------------------------- sizing and placement

QRectF ReminderPanel::visibleBounds() const
{
    const QWidget* window = m_noteWindow;
    const QScreen* screen = window && window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (screen)
        return QRectF(screen->availableGeometry());
    return window ? QRectF(window->frameGeometry()) : QRectF();
}

double ReminderPanel::contentHeight() const
{
    m_column->layout()->activate();
    return m_column->hasHeightForWidth() ? m_column->heightForWidth(contentWidth)
                                         : m_column->sizeHint().height();
}

void ReminderPanel::resizeToContent(bool animated)
{
    const QRectF frame = reminderPanelLayout::resized(QRectF(geometry()), contentHeight(), visibleBounds());
    const QRect target = frame.toAlignedRect();
    const double duration = animationDuration();
    if (animated && isVisible() && duration > 0) {
        animateFrame(target, windowOpacity(), duration, QEasingCurve(QEasingCurve::InOutQuad));
        return;
    }
    if (m_frameAnimation)
        m_frameAnimation->stop();
    setGeometry(target);
}

void ReminderPanel::resizeEvent(QResizeEvent* event)
{
    FloatingPanel::resizeEvent(event);
    m_surface->setGeometry(rect());
    m_column->setGeometry(14, 12, contentWidth, int(std::ceil(contentHeight())));
}

void ReminderPanel::show(const QRectF& rect, QWidget& view)
{
    QWidget* window = view.window();
    if (!window || isClosing() || !block())
        return;
    m_noteWindow = window;
    resizeToContent(false);

    const QRectF anchor(QPointF(view.mapToGlobal(rect.topLeft().toPoint())), rect.size());
    const QRectF final = reminderPanelLayout::placement(QRectF(window->frameGeometry()), anchor,
                                                         QSizeF(size()), visibleBounds());
    attach(*window, DesktopWindowPolicy::reminderPanelLevel(WindowLevelAdapter::levelOf(*window)));

    const double duration = animationDuration();
    const QRect target = final.toAlignedRect();
    setGeometry(duration > 0 ? target.translated(0, 6) : target);
    setWindowOpacity(duration > 0 ? 0 : 1);
    orderFront();
    activateWindow();
    focusTimeSegment();
    if (duration > 0)
        animateFrame(target, 1, duration, Motion::easeOut());
    startWatching();
}

void ReminderPanel::animateFrame(const QRect& frame, double opacity, double seconds, const QEasingCurve& curve,
                                 std::function<void()> done)
{
    if (!m_frameAnimation) {
        m_frameAnimation = new QVariantAnimation(this);
        m_frameAnimation->setStartValue(0.0);
        m_frameAnimation->setEndValue(1.0);
    }
    m_frameAnimation->stop();
    m_frameAnimation->disconnect(this);
    const QRect from = geometry();
    const double fromOpacity = windowOpacity();
    m_frameAnimation->setDuration(milliseconds(seconds));
    m_frameAnimation->setEasingCurve(curve);
    connect(m_frameAnimation, &QVariantAnimation::valueChanged, this, [=, this](const QVariant& value) {
        const double t = value.toDouble();
        setGeometry(QRect(int(std::lround(Motion::lerp(from.x(), frame.x(), t))),
                          int(std::lround(Motion::lerp(from.y(), frame.y(), t))), frame.width(),
                          int(std::lround(Motion::lerp(from.height(), frame.height(), t)))));
        setWindowOpacity(Motion::lerp(fromOpacity, opacity, t));
    });
    if (done)
        connect(m_frameAnimation, &QVariantAnimation::finished, this, std::move(done));
    m_frameAnimation->start();
}

// ---------------------------------------------------------------- feedback

void ReminderPanel::fade(QWidget& view, double to, double seconds, std::function<void()> done)
{
    auto* effect = qobject_cast<QGraphicsOpacityEffect*>(view.graphicsEffect());
    if (!effect) {
        effect = new QGraphicsOpacityEffect(&view);
        view.setGraphicsEffect(effect);
    }
    auto* animation = view.findChild<QVariantAnimation*>(QStringLiteral("fade"), Qt::FindDirectChildrenOnly);
    if (animation) {
        animation->stop();
        animation->disconnect();
    } else {
        animation = new QVariantAnimation(&view);
        animation->setObjectName(QStringLiteral("fade"));
    }
    if (seconds <= 0) {
        effect->setOpacity(to);
        if (to >= 1)
            view.setGraphicsEffect(nullptr);
        if (done)
            done();
        return;
    }
    animation->setStartValue(effect->opacity());
    animation->setEndValue(to);
    animation->setDuration(milliseconds(seconds));
    const QPointer<QWidget> target(&view);
    connect(animation, &QVariantAnimation::valueChanged, effect,
            [effect](const QVariant& value) { effect->setOpacity(value.toDouble()); });
    connect(animation, &QVariantAnimation::finished, &view, [target, to, done = std::move(done)] {
        // A fully opaque view draws directly again.
        if (target && to >= 1)
            target->setGraphicsEffect(nullptr);
        if (done)
            done();
    });
    animation->start();
}

void ReminderPanel::pulse(QWidget& view)
{
    const double duration = animationDuration();
    if (duration <= 0 || !isVisible())
        return;
    fade(view, 0.35, 0);
    fade(view, 1, duration);
}

// ---------------------------------------------------------------- focus

void ReminderPanel::focusTimeSegment()
{
    // The picker selects its first field when it gains the focus, which may
    // come later than asked (once the desktop activated the panel): the hour
    // is selected after either.
    m_hourFocusPending = true;
    m_datePicker->setFocus(Qt::OtherFocusReason);
    selectHourLater();
}

void ReminderPanel::selectHourLater()
{
    const QPointer<ReminderPanel> self(this);
    QTimer::singleShot(0, this, [self] {
        if (!self || !self->isVisible() || self->isClosing())
            return;
        QDateTimeEdit& picker = *self->m_datePicker;
        const int hour = reminderPanelLayout::hourSegmentOffset(picker.displayFormat());
        if (hour < picker.sectionCount()) {
            picker.setCurrentSection(picker.sectionAt(hour));
            picker.setSelectedSection(picker.sectionAt(hour));
        }
    });
}

void ReminderPanel::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && m_saveButton->isEnabled()) {
        m_saveButton->click();
        return;
    }
    FloatingPanel::keyPressEvent(event);
}

// ---------------------------------------------------------------- closing

void ReminderPanel::startWatching()
{
    if (!m_watching) {
        qApp->installEventFilter(this);
        m_watching = true;
    }
}

void ReminderPanel::stopWatching()
{
    if (m_watching) {
        qApp->removeEventFilter(this);
        m_watching = false;
    }
}

bool ReminderPanel::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate && QApplication::activeWindow() == this && onActivated)
        onActivated();
    return FloatingPanel::event(event);
}

bool ReminderPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (!m_watching)
        return false;
    if (watched == m_datePicker && event->type() == QEvent::FocusIn && m_hourFocusPending) {
        m_hourFocusPending = false;
        selectHourLater();
    }
    // An alert in front (the store reporting a failed save, say) answers its
    // own keys and clicks; the panel stays with its message behind it.
    if (QApplication::activeModalWidget())
        return false;
    if (isEscape(event)) {
        // The date picker's calendar takes its own Escape.
        if (QApplication::activePopupWidget())
            return false;
        if (event->type() == QEvent::ShortcutOverride) {
            event->accept(); // a key press, not a shortcut: it comes here next
            return true;
        }
        dismiss(true, true, true);
        return true;
    }
    if (isMousePress(event) && !m_editing->isBusy()) {
        // Native windows see the press before their widgets; the widget decides.
        const auto* widget = qobject_cast<const QWidget*>(watched);
        if (!widget)
            return false;
        for (const QWidget* chain = widget; chain; chain = chain->parentWidget()) {
            if (chain == this)
                return false;
        }
        dismiss(true, false, true);
    }
    return false;
}

void ReminderPanel::dismiss(bool animated, bool restoreFocus, bool force)
{
    if (!m_editing->dismiss(force))
        return;
    stopWatching();
    const double duration = animationDuration();
    if (animated && isVisible() && duration > 0) {
        const QPointer<ReminderPanel> self(this);
        animateFrame(geometry().translated(0, 4), 0, 0.7 * duration, QEasingCurve(QEasingCurve::InOutQuad),
                     [self, restoreFocus] {
                         if (self)
                             self->finishDismiss(restoreFocus);
                     });
        return;
    }
    finishDismiss(restoreFocus);
}

void ReminderPanel::finishDismiss(bool restoreFocus)
{
    if (m_dismissNotified)
        return;
    m_dismissNotified = true;
    const bool wasActive = QGuiApplication::applicationState() == Qt::ApplicationActive;
    const QPointer<QWidget> parent = m_noteWindow;
    const QPointer<BlockEditor> editor = m_editor;
    detach();
    orderOut();
    close();
    if (onDismiss)
        onDismiss();
    if (restoreFocus && wasActive && parent && parent->isVisible()) {
        parent->activateWindow();
        if (editor && editor->textView())
            editor->textView()->setFocus(Qt::OtherFocusReason);
    }
}

} // namespace quorrin
