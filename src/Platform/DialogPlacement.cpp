#include "Platform/DialogPlacement.h"

#include "Platform/FocusReturn.h"
#include "Platform/WindowLevel.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace quorrin {

namespace {

constexpr const char* keeperName = "quorrinFrontKeeper";

// Brings its window to the front when it is shown, activated or pressed. The
// raise on activation waits a turn: whatever else the activation sets off
// (notes settling to their levels, which raises them) happens first.
class FrontKeeper final : public QObject {
public:
    explicit FrontKeeper(QWidget& window)
        : QObject(&window)
        , m_window(&window)
    {
        setObjectName(QLatin1String(keeperName));
        window.installEventFilter(this);
        watchNativeWindow();
        // Above the notes while the application is in use; among the other
        // applications' windows while another one is.
        connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
            WindowLevelAdapter::apply(*m_window, state == Qt::ApplicationActive ? windowLevel::modalPanel
                                                                               : windowLevel::normal);
        });
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_window) {
            switch (event->type()) {
            case QEvent::Show:
                watchNativeWindow();
                bringToFront(true);
                break;
            case QEvent::WindowActivate: bringToFront(false); break;
            case QEvent::WinIdChange: watchNativeWindow(); break;
            default: break;
            }
        } else if (event->type() == QEvent::MouseButtonPress) {
            // Presses reach the native window before any widget in it.
            bringToFront(!m_window->isActiveWindow());
        }
        return false;
    }

private:
    void watchNativeWindow()
    {
        QWindow* handle = m_window->windowHandle();
        if (handle && handle != m_watchedHandle) {
            handle->installEventFilter(this);
            m_watchedHandle = handle;
        }
    }

    void bringToFront(bool activate)
    {
        m_window->raise();
        if (activate)
            m_window->activateWindow();
        QTimer::singleShot(0, this, [this, activate] {
            if (!m_window->isVisible())
                return;
            m_window->raise();
            if (activate && !m_window->isActiveWindow())
                m_window->activateWindow();
        });
    }

    QWidget* m_window;
    QPointer<QWindow> m_watchedHandle;
};

} // namespace

void placeInFrontOfNotes(QWidget& window, QWidget* concernedWindow)
{
    if (concernedWindow && concernedWindow->window() != window.parentWidget())
        window.setParent(concernedWindow->window(), window.windowFlags() | Qt::Dialog);
    WindowLevelAdapter::apply(window, windowLevel::modalPanel);
    if (!window.findChild<QObject*>(QLatin1String(keeperName), Qt::FindDirectChildrenOnly))
        new FrontKeeper(window);
    // The window manager hands the focus of a closed dialog to any window:
    // the window it concerns gets it back.
    if (concernedWindow)
        FocusReturn::watch(window, *concernedWindow->window());
}

} // namespace quorrin
