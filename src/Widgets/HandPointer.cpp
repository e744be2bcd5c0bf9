#include "Widgets/HandPointer.h"

#include "Widgets/ButtonCursorSupport.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QEvent>
#include <QWidget>

namespace quorrin {

HandPointer::HandPointer(QWidget* control)
    : QObject(control)
{
}

HandPointer* HandPointer::apply(QWidget* control)
{
    auto* pointer = new HandPointer(control);
    control->setAttribute(Qt::WA_Hover);
    control->installEventFilter(pointer);
    // A list shows its rows in its viewport, which takes the pointer.
    if (auto* area = qobject_cast<QAbstractScrollArea*>(control)) {
        area->viewport()->setAttribute(Qt::WA_Hover);
        area->viewport()->installEventFilter(pointer);
    }
    return pointer;
}

void HandPointer::keepArrow(QAbstractButton* button)
{
    button->setProperty(ButtonCursorSupport::arrowOnlyProperty, true);
    button->setCursor(Qt::ArrowCursor);
}

bool HandPointer::eventFilter(QObject* watched, QEvent* event)
{
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || !widget->isEnabled())
        return false;
    switch (event->type()) {
    case QEvent::Enter:
    case QEvent::HoverEnter:
    case QEvent::HoverMove:
        if (widget->cursor().shape() != Qt::PointingHandCursor)
            widget->setCursor(Qt::PointingHandCursor);
        break;
    case QEvent::Leave:
    case QEvent::HoverLeave:
        widget->setCursor(Qt::ArrowCursor);
        break;
    default:
        break;
    }
    return false;
}

} // namespace quorrin
