#include "Widgets/FloatingPanel.h"

#include "Platform/FocusReturn.h"
#include "Platform/WindowLevel.h"

#include <QWindow>

namespace quorrin {

FloatingPanel::FloatingPanel(Focus focus)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint
                           | (focus == Focus::Never ? Qt::WindowDoesNotAcceptFocus : Qt::WindowFlags{}))
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_X11NetWmWindowTypeUtility);
    if (focus == Focus::Never)
        setFocusPolicy(Qt::NoFocus);
}

void FloatingPanel::attach(QWidget& noteWindow, int level)
{
    m_attachedTo = &noteWindow;
    // Closing the panel gives the note back the focus the panel may have
    // taken (or that the window manager took away on a click into it).
    FocusReturn::watch(*this, noteWindow);
    WindowLevelAdapter::apply(*this, level);
    linkTransientParent();
}

void FloatingPanel::detach()
{
    m_attachedTo = nullptr;
    if (QWindow* handle = windowHandle())
        handle->setTransientParent(nullptr);
}

void FloatingPanel::linkTransientParent()
{
    if (!m_attachedTo)
        return;
    // The native windows exist from here on; the link needs both.
    winId();
    m_attachedTo->winId();
    if (QWindow* handle = windowHandle())
        handle->setTransientParent(m_attachedTo->windowHandle());
}

void FloatingPanel::orderFront()
{
    linkTransientParent();
    show();
    raise();
}

void FloatingPanel::orderOut()
{
    hide();
}

} // namespace quorrin
