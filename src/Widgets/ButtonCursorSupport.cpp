#include "Widgets/ButtonCursorSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCursor>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <utility>

namespace quorrin {

namespace {
// Marks cursors this helper set, so they follow the button's enabled state.
constexpr const char* handCursorProperty = "quorrinHandCursor";
} // namespace

class ButtonCursorSupport::Monitor final : public QObject {
public:
    int seen = 0;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::Enter:
        case QEvent::MouseMove:
        case QEvent::HoverMove:
            if (auto* widget = qobject_cast<QWidget*>(watched); widget && widget->window()) {
                ++seen;
                scheduleCheck(widget->window(), event->isSinglePointEvent()
                                                    ? static_cast<QSinglePointEvent*>(event)->globalPosition()
                                                    : QPointF(QCursor::pos()));
            }
            break;
        case QEvent::EnabledChange:
            if (auto* button = qobject_cast<QAbstractButton*>(watched);
                button && button->property(handCursorProperty).toBool()) {
                button->setCursor(button->isEnabled() ? Qt::PointingHandCursor : Qt::ArrowCursor);
            }
            break;
        default:
            break;
        }
        return false; // every event goes on unchanged
    }

private:
    // The cursor is settled one event-loop turn later, when the widget under
    // the pointer has taken the event. The pointer is in one place: of the
    // events of one turn (a window shown under it sends one to each widget
    // there) only the last one's window and position are checked, so the
    // check costs the same however many windows appear.
    void scheduleCheck(QWidget* window, const QPointF& globalPosition)
    {
        m_window = window;
        m_globalPosition = globalPosition;
        if (m_checkPending)
            return;
        m_checkPending = true;
        QTimer::singleShot(0, this, [this] { check(); });
    }

    void check()
    {
        m_checkPending = false;
        const QPointer<QWidget> window = std::exchange(m_window, nullptr);
        if (!window)
            return;
        QAbstractButton* button =
            ButtonCursorSupport::buttonAt(window->mapFromGlobal(m_globalPosition).toPoint(), *window);
        if (button && button->cursor().shape() != Qt::PointingHandCursor) {
            button->setProperty(handCursorProperty, true);
            button->setCursor(Qt::PointingHandCursor);
        }
    }

    QPointer<QWidget> m_window;
    QPointF m_globalPosition;
    bool m_checkPending = false;
};

ButtonCursorSupport::ButtonCursorSupport() = default;

ButtonCursorSupport::~ButtonCursorSupport()
{
    if (monitor_ && qApp)
        qApp->removeEventFilter(monitor_.get());
}

void ButtonCursorSupport::install()
{
    if (monitor_ || !qApp)
        return;
    monitor_ = std::make_unique<Monitor>();
    qApp->installEventFilter(monitor_.get());
}

bool ButtonCursorSupport::isInstalled() const
{
    return monitor_ != nullptr;
}

int ButtonCursorSupport::monitoredEvents() const
{
    return monitor_ ? monitor_->seen : 0;
}

QAbstractButton* ButtonCursorSupport::buttonAt(const QPoint& point, QWidget& window)
{
    QWidget* hit = window.childAt(point);
    if (!hit && window.rect().contains(point))
        hit = &window;
    for (QWidget* widget = hit; widget; widget = widget->parentWidget()) {
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            return button->isEnabled() && !button->property(ButtonCursorSupport::arrowOnlyProperty).toBool()
                ? button
                : nullptr;
        if (widget == &window)
            break;
    }
    return nullptr;
}

} // namespace quorrin
