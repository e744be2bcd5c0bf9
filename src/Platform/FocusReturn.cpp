#include "Platform/FocusReturn.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace quorrin {

namespace focusreturn {

bool shouldReturn(const Closing& closing)
{
    if (!closing.ownerShown)
        return false;
    const bool userActedInClosed = closing.closedWasActive || closing.closedWasModal;
    switch (closing.active) {
    case ActiveAfter::Owner: return false;
    case ActiveAfter::Other: return userActedInClosed;
    case ActiveAfter::None:
    case ActiveAfter::Closed:
        switch (closing.keyboard) {
        case KeyboardFocus::Foreign: return false;
        case KeyboardFocus::Nobody: return true;
        case KeyboardFocus::Ours:
        case KeyboardFocus::Unknown: return userActedInClosed;
        }
    }
    return false;
}

} // namespace focusreturn

namespace {

constexpr const char* watchName = "quorrinFocusReturn";

void giveFocusBack(QWidget& owner, QWidget* focus)
{
    owner.activateWindow();
    QWidget* target = focus && focus->window() == &owner ? focus : owner.focusWidget();
    if (target)
        target->setFocus(Qt::ActiveWindowFocusReason);
}

} // namespace

FocusReturn::FocusReturn(QWidget& opened)
    : QObject(&opened)
    , m_opened(&opened)
{
    setObjectName(QLatin1String(watchName));
    opened.installEventFilter(this);
}

FocusReturn& FocusReturn::watch(QWidget& opened, QWidget& owner)
{
    auto* watch = opened.findChild<FocusReturn*>(QLatin1String(watchName), Qt::FindDirectChildrenOnly);
    if (!watch)
        watch = new FocusReturn(opened);
    QWidget* window = owner.window();
    watch->m_owner = window;
    watch->m_ownerFocus = window->focusWidget();
    return *watch;
}

void FocusReturn::release(QWidget& opened)
{
    if (auto* watch = opened.findChild<FocusReturn*>(QLatin1String(watchName), Qt::FindDirectChildrenOnly))
        watch->m_owner = nullptr;
}

bool FocusReturn::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_opened && event->type() == QEvent::Hide && m_owner && m_owner != m_opened)
        closed();
    return false;
}

void FocusReturn::closed()
{
    const bool wasActive = QApplication::activeWindow() == m_opened;
    const bool wasModal = m_opened->isModal();
    const QPointer<QWidget> opened = m_opened;
    // The window may be deleted right after it hides: nothing of it is
    // needed on the next turn but its address.
    QTimer::singleShot(0, m_owner.data(), [opened, wasActive, wasModal, owner = m_owner, focus = m_ownerFocus] {
        if (!owner)
            return;
        const QWidget* active = QApplication::activeWindow();
        focusreturn::Closing closing;
        closing.ownerShown = owner->isVisible();
        closing.closedWasActive = wasActive;
        closing.closedWasModal = wasModal;
        closing.keyboard = X11WindowBehaviour::keyboardFocus();
        closing.active = !active                        ? focusreturn::ActiveAfter::None
            : (opened && active == opened.data())       ? focusreturn::ActiveAfter::Closed
            : active == owner.data()                    ? focusreturn::ActiveAfter::Owner
                                                        : focusreturn::ActiveAfter::Other;
        if (const QWidget* modal = QApplication::activeModalWidget(); modal && modal != opened.data())
            return; // another dialog took over
        if (!focusreturn::shouldReturn(closing))
            return;
        giveFocusBack(*owner, focus);
    });
}

} // namespace quorrin
