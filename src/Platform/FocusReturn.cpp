#include "Platform/FocusReturn.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <vector>

namespace quorrin {

namespace focusreturn {

bool shouldReturn(const Closing& closing)
{
    if (!closing.ownerShown || closing.pressedElsewhere || closing.openedAnother)
        return false;
    const bool userActedInClosed = closing.closedWasActive || closing.closedWasModal;
    switch (closing.active) {
    case ActiveAfter::Owner: return false;
    case ActiveAfter::Other: return userActedInClosed;
    case ActiveAfter::None:
    case ActiveAfter::Closed:
        return closing.keyboard == KeyboardFocus::Nobody || userActedInClosed;
    }
    return false;
}

} // namespace focusreturn

namespace {

constexpr const char* watchName = "quorrinFocusReturn";
constexpr const char* historyName = "quorrinFocusHistory";

// The windows the focus falls back to, most recently active first. One per
// application, kept by the application object.
class FocusHistory final : public QObject {
public:
    static FocusHistory& instance()
    {
        auto* history = qApp->findChild<FocusHistory*>(QLatin1String(historyName), Qt::FindDirectChildrenOnly);
        return history ? *history : *new FocusHistory;
    }

    void add(QWidget& window)
    {
        if (std::find(m_windows.begin(), m_windows.end(), &window) != m_windows.end())
            return;
        m_windows.emplace_back(&window);
        window.installEventFilter(this);
    }

    void pressedElsewhere() { m_sincePressElsewhere.start(); }
    // Whether a press in another application came just now, in this turn of
    // the event loop or within an animated closing.
    bool justPressedElsewhere() const
    {
        return m_sincePressElsewhere.isValid() && m_sincePressElsewhere.elapsed() < pressElsewhereReach;
    }

    // A watched window that takes the keyboard was shown.
    void shown(QWidget& window)
    {
        m_lastShown = &window;
        const quint64 count = ++m_shownCount;
        m_lastShownThisTurn = true;
        QTimer::singleShot(0, this, [this, count] {
            if (m_shownCount == count)
                m_lastShownThisTurn = false;
        });
    }
    quint64 shownCount() const { return m_shownCount; }
    // The window shown last, when that was in this turn of the event loop.
    QWidget* shownThisTurn() const { return m_lastShownThisTurn ? m_lastShown.data() : nullptr; }
    // The window shown last, when any was shown after the `count`th.
    QWidget* shownSince(quint64 count) const { return m_shownCount != count ? m_lastShown.data() : nullptr; }

    // The most recently active of the shown windows.
    QWidget* mostRecent() const
    {
        for (const QPointer<QWidget>& window : m_windows) {
            if (window && window->isVisible())
                return window;
        }
        return nullptr;
    }
    // The windows, most recently active first.
    std::vector<QWidget*> byRecency() const
    {
        std::vector<QWidget*> windows;
        for (const QPointer<QWidget>& window : m_windows) {
            if (window)
                windows.push_back(window);
        }
        return windows;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::WindowActivate) {
            auto found = std::find(m_windows.begin(), m_windows.end(), watched);
            if (found != m_windows.end())
                std::rotate(m_windows.begin(), found, found + 1);
        }
        return false;
    }

private:
    FocusHistory()
        : QObject(qApp)
    {
        setObjectName(QLatin1String(historyName));
    }

    static constexpr qint64 pressElsewhereReach = 1000; // ms
    std::vector<QPointer<QWidget>> m_windows;
    QElapsedTimer m_sincePressElsewhere;
    QPointer<QWidget> m_lastShown;
    quint64 m_shownCount = 0;
    bool m_lastShownThisTurn = false;
};

void giveFocusBack(QWidget& window, QWidget* focus, bool userClosed)
{
    // The user closed a window of ours: the window manager must not hold
    // this back as an application stealing the focus.
    if (QWindow* handle = window.windowHandle(); handle && userClosed) {
        X11WindowBehaviour::activateAsTheUsersChoice(*handle);
        X11WindowBehaviour::takeKeyboardFocus(*handle);
    }
    window.activateWindow();
    QWidget* target = focus && focus->window() == &window ? focus : window.focusWidget();
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

FocusReturn& FocusReturn::watching(QWidget& opened)
{
    auto* watch = opened.findChild<FocusReturn*>(QLatin1String(watchName), Qt::FindDirectChildrenOnly);
    if (!watch)
        watch = new FocusReturn(opened);
    watch->m_enabled = true;
    return *watch;
}

FocusReturn& FocusReturn::watch(QWidget& opened, QWidget& owner)
{
    FocusReturn& watch = watching(opened);
    QWidget* window = owner.window();
    watch.m_owner = window;
    watch.m_ownerFocus = window->focusWidget();
    return watch;
}

FocusReturn& FocusReturn::watch(QWidget& opened)
{
    FocusReturn& watch = watching(opened);
    watch.m_owner = nullptr;
    watch.m_ownerFocus = nullptr;
    return watch;
}

void FocusReturn::release(QWidget& opened)
{
    if (auto* watch = opened.findChild<FocusReturn*>(QLatin1String(watchName), Qt::FindDirectChildrenOnly))
        watch->m_enabled = false;
}

void FocusReturn::fallBackTo(QWidget& window)
{
    if (qApp)
        FocusHistory::instance().add(window);
}

std::vector<QWidget*> FocusReturn::recentFallBacks()
{
    return qApp ? FocusHistory::instance().byRecency() : std::vector<QWidget*>{};
}

void FocusReturn::pressedElsewhere()
{
    if (qApp)
        FocusHistory::instance().pressedElsewhere();
}

bool FocusReturn::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_opened)
        return false;
    switch (event->type()) {
    case QEvent::WindowDeactivate:
        // Some platforms take the activation away as the window hides,
        // before it reports the hiding.
        m_activeAsItHid = m_opened->isHidden();
        break;
    case QEvent::Show:
        if (qApp && !m_opened->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus))
            FocusHistory::instance().shown(*m_opened);
        break;
    case QEvent::Hide:
        // A hide the window system reports (spontaneous) is the window
        // manager hiding the window for a while, which closes nothing: KWin
        // hides a panel beside a note (a utility window) that maps while no
        // window or another window of ours is active, and shows it again when
        // it is activated.
        if (m_enabled && m_owner != m_opened && qApp && !event->spontaneous())
            closed();
        m_activeAsItHid = false;
        break;
    default:
        break;
    }
    return false;
}

void FocusReturn::closed()
{
    const bool wasActive = QApplication::activeWindow() == m_opened || m_activeAsItHid;
    const bool wasModal = m_opened->isModal();
    const bool pressedElsewhere = FocusHistory::instance().justPressedElsewhere();
    const QPointer<QWidget> opened = m_opened;
    // A window that opens as this one closes, in the same turn of the event
    // loop just before it hid, or after it.
    FocusHistory& history = FocusHistory::instance();
    const QPointer<QWidget> shownBefore = history.shownThisTurn();
    const quint64 shownCount = history.shownCount();
    // Decided two turns on: after the window manager has handled the unmap,
    // and after what the closing set off for the next turn (a row chosen in
    // a panel that opens a window of its own a turn later). The window may be
    // deleted right after it hides: nothing of it is needed then but its
    // address.
    const auto decide = [opened, wasActive, wasModal, pressedElsewhere, shownBefore, shownCount, owner = m_owner,
                         focus = m_ownerFocus] {
        FocusHistory& history = FocusHistory::instance();
        QWidget* target = owner && owner->isVisible() ? owner.data() : history.mostRecent();
        const auto isNewcomer = [&](const QWidget* shown) {
            return shown && shown != opened.data() && shown != target && shown->isVisible();
        };
        const QWidget* active = QApplication::activeWindow();
        focusreturn::Closing closing;
        closing.ownerShown = target != nullptr;
        closing.closedWasActive = wasActive;
        closing.closedWasModal = wasModal;
        closing.keyboard = X11WindowBehaviour::keyboardFocus();
        closing.pressedElsewhere = pressedElsewhere;
        closing.openedAnother = isNewcomer(shownBefore) || isNewcomer(history.shownSince(shownCount));
        closing.active = !active                        ? focusreturn::ActiveAfter::None
            : (opened && active == opened.data())       ? focusreturn::ActiveAfter::Closed
            : active == target                          ? focusreturn::ActiveAfter::Owner
                                                        : focusreturn::ActiveAfter::Other;
        if (const QWidget* modal = QApplication::activeModalWidget(); modal && modal != opened.data())
            return; // another dialog took over
        if (!focusreturn::shouldReturn(closing))
            return;
        giveFocusBack(*target, target == owner.data() ? focus.data() : nullptr, wasActive || wasModal);
    };
    QTimer::singleShot(0, &history, [decide] { QTimer::singleShot(0, &FocusHistory::instance(), decide); });
}

} // namespace quorrin
