#include "Widgets/MenuSurface.h"

namespace quorrin {

MenuSurface::MenuSurface(QWidget* parent)
    : ThemedSurfaceView(parent)
{
    setAttribute(Qt::WA_Hover);
}

void MenuSurface::enterEvent(QEnterEvent* event)
{
    ThemedSurfaceView::enterEvent(event);
    if (onEnter)
        onEnter();
}

void MenuSurface::leaveEvent(QEvent* event)
{
    ThemedSurfaceView::leaveEvent(event);
    if (onExit)
        onExit();
}

} // namespace quorrin
