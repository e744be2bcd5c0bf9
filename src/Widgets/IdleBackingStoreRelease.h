#pragma once

#include "Core/Time/RestartableTimer.h"

#include <QObject>
#include <QPointer>

#include <chrono>
#include <memory>

class QWidget;
class QWindow;

namespace quorrin {

// Gives back the pixel buffer (backing store) of a top-level window that has
// not been painted for a while, and has the whole window painted anew when it
// is needed again.
//
// On X11 every top-level window keeps a shared-memory image of its own size
// for its whole life, although a window that shows the same picture needs it
// only to answer the server's exposes. Resizing the store to 0 x 0 frees the
// image (and the server's pixmap); the next paint of any part of the window
// finds the store smaller than the window and repaints all of it, which
// recreates the store. The one path that would show a stale store without
// painting is an expose with nothing dirty, so an expose of a released window
// first marks the window dirty.
//
// The active window is never released (caret, typing); any paint restarts the
// quiet period, so an animation keeps its window's buffer until it ends.
class IdleBackingStoreRelease final : public QObject {
public:
    // Long enough that a hover sweep, a scroll burst or an alarm's pulse
    // (every half second) paints into the buffer it already has; short enough
    // that a few seconds after launch only the windows in use hold one. A
    // window released too early costs one full repaint on its next change.
    static constexpr std::chrono::milliseconds defaultQuietPeriod{3000};
    // Each release (and each store made again) is a round trip to the X
    // server, about a millisecond: windows painted together (a launch, a
    // change of appearance) wait a share of this on top, fixed per window, so
    // their releases spread out instead of freezing the interface at once.
    static constexpr std::chrono::milliseconds releaseSpread{2000};

    // Watches `window` (a top-level widget) from now on; lives as its child.
    explicit IdleBackingStoreRelease(QWidget& window, std::unique_ptr<RestartableTimer> timer = nullptr,
                                     std::chrono::milliseconds quietPeriod = defaultQuietPeriod);

    // Installs the release on `window` with the event-loop timer and a quiet
    // period between `defaultQuietPeriod` and that plus `releaseSpread`.
    static void install(QWidget& window);

    // Whether the window's store is released now (until its next paint).
    bool isReleased() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void watchNativeWindow();
    void restartQuietPeriod();
    void releaseIfIdle();

    QWidget& m_window;
    QPointer<QWindow> m_nativeWindow;
    std::unique_ptr<RestartableTimer> m_timer;
    std::chrono::milliseconds m_quietPeriod;
    bool m_released = false;
};

} // namespace quorrin
