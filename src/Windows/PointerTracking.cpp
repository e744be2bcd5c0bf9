#include "Windows/PointerTracking.h"

#include "Windows/WindowDragCoordinates.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>

namespace quorrin {

PointerTracking::PointerTracking(QObject* parent)
    : QObject(parent)
{
}

PointerTracking::~PointerTracking()
{
    stop();
}

void PointerTracking::start(quint64 mouseDownTimestamp)
{
    m_mouseDown = mouseDownTimestamp;
    if (!m_active && QCoreApplication::instance())
        QCoreApplication::instance()->installEventFilter(this);
    m_active = true;
}

void PointerTracking::stop()
{
    if (m_active && QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
    m_active = false;
}

bool PointerTracking::eventFilter(QObject* watched, QEvent* event)
{
    if (!m_active)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->timestamp() < m_mouseDown)
            return true;
        const QPointF point = WindowDragCoordinates::screenPoint(*mouse);
        const bool released = event->type() == QEvent::MouseButtonRelease
            ? mouse->button() == Qt::LeftButton
            : !mouse->buttons().testFlag(Qt::LeftButton);
        if (released && event->type() == QEvent::MouseMove) {
            // The release never arrived: the session cannot know where it
            // was meant to end.
            stop();
            if (onCancel)
                onCancel();
        } else if (released) {
            stop();
            if (onRelease)
                onRelease(point);
        } else if (event->type() == QEvent::MouseMove && onMove) {
            onMove(point);
        }
        return true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        return true;
    case QEvent::UngrabMouse:
        // Another window took the pointer: the release will not come here.
        stop();
        if (onCancel)
            onCancel();
        return QObject::eventFilter(watched, event);
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride: {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (event->type() == QEvent::KeyPress && key->key() == Qt::Key_Escape) {
            stop();
            if (onCancel)
                onCancel();
        }
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}

} // namespace quorrin
