#include "Widgets/IdleBackingStoreRelease.h"

#include <QApplication>
#include <QBackingStore>
#include <QEvent>
#include <QRandomGenerator>
#include <QWidget>
#include <QWindow>

namespace quorrin {

IdleBackingStoreRelease::IdleBackingStoreRelease(QWidget& window, std::unique_ptr<RestartableTimer> timer,
                                                 std::chrono::milliseconds quietPeriod)
    : QObject(&window)
    , m_window(window)
    , m_timer(timer ? std::move(timer) : std::make_unique<QtRestartableTimer>())
    , m_quietPeriod(quietPeriod)
{
    m_window.installEventFilter(this);
    watchNativeWindow();
    if (m_window.isVisible())
        restartQuietPeriod();
}

void IdleBackingStoreRelease::install(QWidget& window)
{
    const std::chrono::milliseconds share(QRandomGenerator::global()->bounded(int(releaseSpread.count())));
    new IdleBackingStoreRelease(window, nullptr, defaultQuietPeriod + share);
}

bool IdleBackingStoreRelease::isReleased() const
{
    // The first paint after the release resizes the store to the window.
    const QBackingStore* store = m_window.backingStore();
    return m_released && store && store->size().isEmpty();
}

void IdleBackingStoreRelease::watchNativeWindow()
{
    QWindow* handle = m_window.windowHandle();
    if (!handle || handle == m_nativeWindow)
        return;
    if (m_nativeWindow)
        m_nativeWindow->removeEventFilter(this);
    m_nativeWindow = handle;
    handle->installEventFilter(this);
}

void IdleBackingStoreRelease::restartQuietPeriod()
{
    m_timer->start(m_quietPeriod, [this] { releaseIfIdle(); });
}

void IdleBackingStoreRelease::releaseIfIdle()
{
    QBackingStore* store = m_window.backingStore();
    const QWindow* handle = m_window.windowHandle();
    if (!store || !handle || !handle->handle() || isReleased())
        return;
    // The focused window blinks its caret and takes the typing; it is looked
    // at again when it loses the focus.
    if (QApplication::activeWindow() == &m_window || !m_window.updatesEnabled())
        return;
    // 0 x 0, never an invalid size: that frees the image and the server's
    // pixmap, and keeps the store's size unequal to any window size.
    store->resize(QSize(0, 0));
    m_released = true;
}

bool IdleBackingStoreRelease::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_window) {
        switch (event->type()) {
        case QEvent::WinIdChange:
            watchNativeWindow();
            break;
        case QEvent::Show:
            watchNativeWindow();
            restartQuietPeriod();
            break;
        case QEvent::UpdateRequest: // every paint of the window or of a child
        case QEvent::WindowDeactivate:
            restartQuietPeriod();
            break;
        default:
            break;
        }
    } else if (watched == m_nativeWindow && event->type() == QEvent::Expose) {
        // With nothing dirty, an expose is answered from the store alone;
        // a released store must be painted first, all of it.
        if (isReleased() && m_nativeWindow->isExposed())
            m_window.update();
        restartQuietPeriod();
    }
    return QObject::eventFilter(watched, event);
}

} // namespace quorrin
